// Registers printers with the (Wine) spooler for tests: a printer whose
// driver data file is a given PPD, so that GetPrinterDriverW level 3 reports
// that file as pDataFile.
#pragma once

#include <windows.h>

namespace quorlix_test {

// Copies the PPD (a Unix path such as /work/.../x.ppd, or a Windows path)
// into the spooler's driver folder of this process's environment under its
// own file name, and registers a driver of the printer's name (driver and
// configuration file wineps.drv, data file the PPD) and the printer itself
// (port "FILE:", processor "WinPrint", data type "RAW"). Safe to call again
// in later runs: an existing driver or printer is kept, and the copies of the
// PPD are refreshed. Returns false when any step fails.
bool registerTestPrinter(const wchar_t *printerName, const wchar_t *ppdUnixPath);

// OpenPrinterW on the printer; null on failure.
HANDLE openTestPrinter(const wchar_t *printerName);
void closeTestPrinter(HANDLE printer);

// Deletes the printer and its driver (true when both are gone).
bool removeTestPrinter(const wchar_t *printerName);

// An open printer handle, closed on scope exit.
class TestPrinter {
public:
    explicit TestPrinter(const wchar_t *printerName) : handle_(openTestPrinter(printerName)) {}
    ~TestPrinter() { closeTestPrinter(handle_); }
    TestPrinter(const TestPrinter &) = delete;
    TestPrinter &operator=(const TestPrinter &) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace quorlix_test
