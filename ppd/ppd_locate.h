// Finding the printer's PPD file through the spooler and building the
// document from it (Windows only).
#pragma once

#ifdef _WIN32
#include <windows.h>

class PpdDocument;

constexpr DWORD kPpdPathUnits = 260;

// Asks the spooler for the printer's level-3 driver record and copies its
// data file path into `out` (260 units). False when the spooler gives no
// record, the heap has no room, or the path does not fit in 259 characters
// (then `out` holds an empty text).
bool locatePpdFile(HANDLE heap, HANDLE printer, wchar_t *out);

// A new document read from the printer's PPD file, or null when the file
// cannot be found or opened, or the document cannot be allocated. The caller
// owns the result.
PpdDocument *loadPrinterPpd(HANDLE heap, HANDLE printer);
#endif
