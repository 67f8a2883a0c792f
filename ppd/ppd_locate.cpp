// Finding the printer's PPD file through the spooler and reading it.
#ifdef _WIN32
#include "ppd/ppd_locate.h"

#include <stdio.h>
#include <winspool.h>

#include <new>

#include "platform/owners.h"
#include "ppd/byte_source.h"
#include "ppd/ppd_document.h"

namespace {

// Copies a zero-terminated path into room for `capacity` units. A path that
// does not fit is refused (and the output left empty) rather than cut: a cut
// path would name another file.
bool copyPath(wchar_t *out, DWORD capacity, const wchar_t *path) {
    out[0] = 0;
    if (!path) return false;
    DWORD n = 0;
    while (path[n] != 0) {
        if (n + 1 >= capacity) return false;
        ++n;
    }
    for (DWORD i = 0; i < n; ++i) out[i] = path[i];
    out[n] = 0;
    return true;
}

}  // namespace

bool locatePpdFile(HANDLE heap, HANDLE printer, wchar_t *out) {
    if (!out) return false;
    out[0] = 0;
    if (!heap) return false;

    // Only the needed size of the first call matters; it reports failure
    // (insufficient buffer) by design.
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed == 0 || needed < sizeof(DRIVER_INFO_3W)) return false;

    quorlix::unique_heap_ptr<BYTE> buffer(heap, static_cast<BYTE *>(HeapAlloc(heap, HEAP_ZERO_MEMORY, needed)));
    if (!buffer) return false;
    DWORD written = 0;
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.get(), needed, &written)) return false;
    const DRIVER_INFO_3W *info = reinterpret_cast<const DRIVER_INFO_3W *>(buffer.get());
    return copyPath(out, kPpdPathUnits, info->pDataFile);
}

PpdDocument *loadPrinterPpd(HANDLE heap, HANDLE printer) {
    wchar_t path[kPpdPathUnits];
    if (!locatePpdFile(heap, printer, path)) return nullptr;
    // Binary mode: the tokenizer handles CR, LF and CR LF itself, and text
    // mode would end the file at a stray 0x1A byte and rewrite the line ends
    // inside quoted values.
    FILE *file = _wfopen(path, L"rb");
    if (!file) return nullptr;
    PpdDocument *document = new (std::nothrow) PpdDocument(fileReadByte, file);
    fclose(file);
    return document;
}
#endif
