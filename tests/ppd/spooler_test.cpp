// The PPD found through the spooler: a printer registered with the fixture
// PPD as its driver data file gives a document; no printer, a data file that
// is gone, or a path too long for 259 characters gives none.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <memory>
#include <string>

#include "ppd/ppd_constraints.h"
#include "ppd/ppd_locate.h"
#include "tests/ppd/ppd_test_util.h"
#include "tests/support/spooler_printer.h"

using quorlix_test::registerTestPrinter;
using quorlix_test::TestPrinter;

namespace {

std::wstring fixture(const char *name) {
    std::string path = std::string(QUORLIX_FIXTURES) + "/ppd/" + name;
    return std::wstring(path.begin(), path.end());
}

// A private heap, as the driver lends one.
struct Heap {
    HANDLE handle = HeapCreate(0, 0, 0);
    ~Heap() { HeapDestroy(handle); }
};

// A copy of the fixture under the given file name in the Windows temp folder.
std::wstring tempCopy(const std::wstring &name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + name;
    std::wstring source = L"Z:" + fixture("spooler.ppd");
    for (wchar_t &c : source) {
        if (c == L'/') c = L'\\';
    }
    return CopyFileW(source.c_str(), path.c_str(), FALSE) ? path : std::wstring();
}

bool endsWith(const std::wstring &text, const std::wstring &suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(PpdSpooler, LoadsThePpdOfARegisteredPrinter) {
    const wchar_t *name = L"Quorlix PPD Test";
    ASSERT_TRUE(registerTestPrinter(name, fixture("spooler.ppd").c_str())) << GetLastError();
    TestPrinter printer(name);
    ASSERT_NE(printer.get(), nullptr);
    Heap heap;

    wchar_t path[kPpdPathUnits];
    ASSERT_TRUE(locatePpdFile(heap.handle, printer.get(), path));
    EXPECT_TRUE(endsWith(path, L"\\3\\spooler.ppd")) << ppd_test::show(path);

    std::unique_ptr<PpdDocument> doc(loadPrinterPpd(heap.handle, printer.get()));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->modelName.equals(L"Quorlix Test Laser"));
    // The feature after the 0x1A byte is read: the file is read as bytes.
    ASSERT_EQ(doc->featureCount, 3);
    EXPECT_TRUE(doc->featureAt(2)->translation.equals(L"Papier \u00E9pais"));
    EXPECT_EQ(doc->installedCount, 1);
    EXPECT_EQ(doc->constraintCount, 2);
    EXPECT_EQ(ppd_test::flags(*doc, "*Duplex"), "011");
    doc->setInstalledOption(L"*Option1", L"True", true);
    EXPECT_EQ(ppd_test::flags(*doc, "*Duplex"), "000");
}

TEST(PpdSpooler, NoPrinterGivesNoDocument) {
    Heap heap;
    wchar_t path[kPpdPathUnits] = L"untouched";
    EXPECT_FALSE(locatePpdFile(heap.handle, nullptr, path));
    EXPECT_EQ(path[0], 0);
    EXPECT_EQ(loadPrinterPpd(heap.handle, nullptr), nullptr);
    EXPECT_FALSE(locatePpdFile(heap.handle, nullptr, nullptr));
}

TEST(PpdSpooler, DataFileThatCannotBeOpenedGivesNoDocument) {
    const wchar_t *name = L"Quorlix PPD Gone";
    std::wstring copy = tempCopy(L"quorlix-gone.ppd");
    ASSERT_FALSE(copy.empty());
    ASSERT_TRUE(registerTestPrinter(name, copy.c_str())) << GetLastError();
    TestPrinter printer(name);
    ASSERT_NE(printer.get(), nullptr);
    Heap heap;
    wchar_t path[kPpdPathUnits];
    ASSERT_TRUE(locatePpdFile(heap.handle, printer.get(), path));
    ASSERT_TRUE(DeleteFileW(path));
    EXPECT_EQ(loadPrinterPpd(heap.handle, printer.get()), nullptr);
}

TEST(PpdSpooler, PathLongerThan259CharactersGivesNoDocument) {
    const wchar_t *name = L"Quorlix PPD Long Path";
    std::wstring copy = tempCopy(std::wstring(230, L'q') + L".ppd");
    if (copy.empty() || !registerTestPrinter(name, copy.c_str())) {
        GTEST_SKIP() << "the spooler here takes no data file with so long a path";
    }
    TestPrinter printer(name);
    ASSERT_NE(printer.get(), nullptr);
    DWORD needed = 0;
    GetPrinterDriverW(printer.get(), nullptr, 3, nullptr, 0, &needed);
    ASSERT_GT(needed, 0u);
    Heap heap;
    wchar_t path[kPpdPathUnits] = L"untouched";
    EXPECT_FALSE(locatePpdFile(heap.handle, printer.get(), path));
    EXPECT_EQ(path[0], 0);
    EXPECT_EQ(loadPrinterPpd(heap.handle, printer.get()), nullptr);
}

}  // namespace
