// The one place where the Windows build and the native build of the PPD
// reader differ in types: the 16-bit character unit of every text and token.
// Windows uses wchar_t (so texts pass straight to the wide system calls);
// the native build uses char16_t, which has the same size and range.
#pragma once

#include <stdint.h>

#ifdef _WIN32
typedef wchar_t PpdChar;
#define PPD_TEXT(s) L##s
#else
typedef char16_t PpdChar;
#define PPD_TEXT(s) u##s
#endif

static_assert(sizeof(PpdChar) == 2, "PPD texts are 16-bit units");
