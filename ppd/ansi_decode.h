// Decoding of PPD bytes into 16-bit text through the system's ANSI code page.
// Windows: MultiByteToWideChar with CP_ACP. Native build: a fixed
// Windows-1252 table (what a Western-European system's ANSI page gives).
#pragma once

#include "ppd/ppd_char.h"

// Decodes the zero-terminated byte string `bytes` into `out`, which has room
// for 260 units. Writes at most 259 characters and a zero unit; a longer text
// is cut at 259 units (never in the middle of a surrogate pair). Returns the
// number of characters written, terminator not counted (0 to 259). A byte
// string the code page cannot decode gives an empty text.
int32_t ppdDecodeAnsi(const unsigned char *bytes, PpdChar *out);

// The same for a zero-terminated text of 16-bit units: the low 8 bits of
// each unit up to the first zero unit, taken as a byte string (which ends at
// its first zero byte) and decoded as ppdDecodeAnsi does. `out` must be
// given; no units (null) give an empty text. `readable` is a number of units
// from the start that may all be read (the text's length when the caller
// knows it, else 0); it only lets the decoding take several units at once.
int32_t ppdDecodeAnsiUnits(const PpdChar *units, int32_t readable, PpdChar *out);

// The fixed Windows-1252 decoding the native build uses as its ANSI page,
// with the same contract as ppdDecodeAnsi. Built everywhere, so that the
// Windows tests can hold it against the system's conversion.
int32_t ppdDecodeWindows1252(const unsigned char *bytes, PpdChar *out);

// The number of bytes ppdDecodeAnsi may need to see to produce 259 units in
// any code page the system can have as its ANSI page (at most four bytes make
// one character). Callers may cut their byte strings to this length.
constexpr int32_t kPpdDecodeByteLimit = 260 * 4;
