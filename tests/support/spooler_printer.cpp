#include "tests/support/spooler_printer.h"

#include <winspool.h>

#include <string>

namespace quorlix_test {

namespace {

// Z: is the root of the Unix file system in a Wine prefix.
std::wstring windowsPath(const wchar_t *path) {
    std::wstring p(path);
    if (p.size() >= 2 && p[1] == L':') return p;
    for (wchar_t &c : p) {
        if (c == L'/') c = L'\\';
    }
    return L"Z:" + p;
}

std::wstring fileName(const std::wstring &path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring driverDirectory() {
    wchar_t dir[MAX_PATH * 2] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(dir), sizeof(dir), &needed)) {
        return std::wstring();
    }
    return dir;
}

}  // namespace

bool registerTestPrinter(const wchar_t *printerName, const wchar_t *ppdUnixPath) {
    if (!printerName || !ppdUnixPath) return false;
    const std::wstring source = windowsPath(ppdUnixPath);
    const std::wstring dataFile = fileName(source);
    const std::wstring dir = driverDirectory();
    if (dir.empty()) return false;

    // The driver's files are taken from the driver folder; the copy in the
    // version-3 folder is refreshed too, so that a driver registered by an
    // earlier run reads the current PPD.
    if (!CopyFileW(source.c_str(), (dir + L"\\" + dataFile).c_str(), FALSE)) return false;
    CreateDirectoryW((dir + L"\\3").c_str(), nullptr);

    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t *>(printerName);
    driver.pDriverPath = const_cast<wchar_t *>(L"wineps.drv");
    driver.pConfigFile = const_cast<wchar_t *>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t *>(dataFile.c_str());
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE *>(&driver), APD_COPY_ALL_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        return false;
    }
    if (!CopyFileW(source.c_str(), (dir + L"\\3\\" + dataFile).c_str(), FALSE)) return false;

    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t *>(printerName);
    info.pPortName = const_cast<wchar_t *>(L"FILE:");
    info.pDriverName = const_cast<wchar_t *>(printerName);
    info.pPrintProcessor = const_cast<wchar_t *>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t *>(L"RAW");
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (added) {
        ClosePrinter(added);
        return true;
    }
    return GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
}

HANDLE openTestPrinter(const wchar_t *printerName) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t *>(printerName), &printer, nullptr)) return nullptr;
    return printer;
}

void closeTestPrinter(HANDLE printer) {
    if (printer) ClosePrinter(printer);
}

bool removeTestPrinter(const wchar_t *printerName) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    bool printerGone = true;
    if (OpenPrinterW(const_cast<wchar_t *>(printerName), &printer, &defaults)) {
        printerGone = DeletePrinter(printer) != FALSE;
        ClosePrinter(printer);
    }
    bool driverGone = DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t *>(printerName)) != FALSE ||
                      GetLastError() == ERROR_UNKNOWN_PRINTER_DRIVER;
    return printerGone && driverGone;
}

}  // namespace quorlix_test
