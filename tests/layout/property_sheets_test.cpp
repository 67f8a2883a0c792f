// DocumentPropertySheets against a recording common property sheet: every
// reason, the version check, and the page description it hands over.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/module_state.h"
#include "layout/layout_page.h"
#include "layout/property_sheets.h"

namespace {

struct SheetCall {
    UINT function;
    LPARAM param1;  // for an added page: 1 (the description is kept apart)
    LPARAM param2;
    bool operator==(const SheetCall &o) const {
        return function == o.function && param1 == o.param1 && param2 == o.param2;
    }
};

std::vector<SheetCall> calls;
std::vector<PROPSHEETPAGEW_FULL> pages;
HANDLE expectedSheet = reinterpret_cast<HANDLE>(0x5EE7);
LONG_PTR addResult = 0;

LONG_PTR CALLBACK recordSheetCall(HANDLE sheet, UINT function, LPARAM p1, LPARAM p2) {
    EXPECT_EQ(sheet, expectedSheet);
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
        PROPSHEETPAGEW_FULL page{};
        memcpy(&page, reinterpret_cast<const void *>(p1), sizeof(page));
        pages.push_back(page);
        calls.push_back({function, 1, p2});
        return addResult;
    }
    calls.push_back({function, p1, p2});
    return 0;
}

PROPSHEETUI_INFO sheetInfo(DWORD reason) {
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = expectedSheet;
    info.pfnComPropSheet = recordSheetCall;
    info.Result = 0x7777;
    return info;
}

class PropertySheets : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        pages.clear();
        addResult = 0x1234;
        heap = HeapCreate(0, 0, 0);
        param.cbSize = sizeof(param);
        param.hModule = GetModuleHandleW(nullptr);
        param.hOEMHeap = heap;
        state = {nullptr, &param, nullptr, 0};
        // This program carries the plug-in's manifest and string tables.
        quorlix::moduleHandle = GetModuleHandleW(nullptr);
    }
    void TearDown() override { HeapDestroy(heap); }

    HANDLE heap = nullptr;
    OEMCUIPPARAM param{};
    quorlix::PluginState state{};
};

const SheetCall addPage = {CPSFUNC_ADD_PROPSHEETPAGEW, 1, 0};
const SheetCall startOnSecondStandardPage = {CPSFUNC_SET_HSTARTPAGE, 0, SSP_STDPAGE2};

TEST_F(PropertySheets, InitAddsThePageUnlessLegacyAndAlwaysSetsTheStartPage) {
    struct Case {
        const char *name;
        LONG legacy;
        LONG_PTR addResult;
        std::vector<SheetCall> expected;
    } cases[] = {
        {"supported system", 0, 0x1234, {addPage, startOnSecondStandardPage}},
        {"sheet refuses the page", 0, 0, {addPage, startOnSecondStandardPage}},
        {"legacy system", 1, 0x1234, {startOnSecondStandardPage}},
    };
    for (const auto &c : cases) {
        calls.clear();
        addResult = c.addResult;
        state.legacySystem = c.legacy;
        PROPSHEETUI_INFO info = sheetInfo(PROPSHEETUI_REASON_INIT);
        EXPECT_EQ(quorlix::documentPropertySheets(&state, &info, 0), S_OK) << c.name;
        EXPECT_EQ(info.Result, 0) << c.name;
        ASSERT_EQ(calls.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < calls.size(); ++i)
            EXPECT_TRUE(calls[i] == c.expected[i]) << c.name << ": call " << i;
    }
}

TEST_F(PropertySheets, PageDescriptionCarriesTitleProcedureStateAndContext) {
    PROPSHEETUI_INFO info = sheetInfo(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(quorlix::documentPropertySheets(&state, &info, 0), S_OK);
    ASSERT_EQ(pages.size(), 1u);
    const PROPSHEETPAGEW_FULL &page = pages[0];
#ifdef _WIN64
    EXPECT_EQ(page.dwSize, 104u);
#else
    EXPECT_EQ(page.dwSize, 56u);
#endif
    EXPECT_EQ(page.dwFlags, static_cast<DWORD>(PSP_USETITLE | PSP_USEFUSIONCONTEXT));
    EXPECT_EQ(page.hInstance, quorlix::moduleHandle);
    EXPECT_EQ(page.pszTemplate, MAKEINTRESOURCEW(11001));
    ASSERT_NE(page.pszTitle, nullptr);
    EXPECT_STREQ(page.pszTitle, L"Layout");
    EXPECT_EQ(page.pfnDlgProc, quorlix::layoutPageProc);
    EXPECT_EQ(page.lParam, reinterpret_cast<LPARAM>(&state));
    EXPECT_NE(page.hActCtx, nullptr);
    EXPECT_NE(page.hActCtx, INVALID_HANDLE_VALUE);
    EXPECT_EQ(page.hActCtx, quorlix::pageActivationContext);
    EXPECT_EQ(page.hIcon, nullptr);
    EXPECT_EQ(page.pfnCallback, nullptr);
    EXPECT_EQ(page.pcRefParent, nullptr);
    EXPECT_EQ(page.hbmHeader, nullptr);

    // The context is made once and reused by the next sheet.
    HANDLE first = page.hActCtx;
    info = sheetInfo(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(quorlix::documentPropertySheets(&state, &info, 0), S_OK);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].hActCtx, first);
}

TEST_F(PropertySheets, WithoutParameterBlockOrContextThePageIsPlainer) {
    state.uiParam = nullptr;
    HANDLE saved = quorlix::pageActivationContext;
    // A module without the manifest: the context cannot be made.
    quorlix::pageActivationContext = INVALID_HANDLE_VALUE;
    quorlix::moduleHandle = GetModuleHandleW(L"kernel32.dll");
    PROPSHEETUI_INFO info = sheetInfo(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(quorlix::documentPropertySheets(&state, &info, 0), S_OK);
    quorlix::pageActivationContext = saved;
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].pszTitle, nullptr);
    EXPECT_EQ(pages[0].dwFlags, static_cast<DWORD>(PSP_USETITLE));
    EXPECT_EQ(pages[0].hActCtx, nullptr);
}

TEST_F(PropertySheets, OtherReasonsSetTheirResults) {
    PROPSHEETUI_INFO_HEADER header{};
    header.cbSize = sizeof(header);
    struct Case {
        const char *name;
        DWORD reason;
        LPARAM lParam;
        LONG_PTR expected;
    };
    SETRESULT_INFO zero{sizeof(SETRESULT_INFO), 0, nullptr, 0};
    SETRESULT_INFO negative{sizeof(SETRESULT_INFO), 0, nullptr, -5};
    SETRESULT_INFO one{sizeof(SETRESULT_INFO), 0, nullptr, 1};
    const Case cases[] = {
        {"info header", PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header), 1},
        {"destroy", PROPSHEETUI_REASON_DESTROY, 0, 1},
        {"set result 0", PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&zero), 0},
        {"set result -5", PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&negative), -5},
        {"set result 1", PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&one), 1},
        {"set result without record", PROPSHEETUI_REASON_SET_RESULT, 0, 0x7777},
        {"unknown reason", 99, 0, 0},
    };
    for (const auto &c : cases) {
        PROPSHEETUI_INFO info = sheetInfo(c.reason);
        EXPECT_EQ(quorlix::documentPropertySheets(&state, &info, c.lParam), S_OK) << c.name;
        EXPECT_EQ(info.Result, c.expected) << c.name;
    }
    ASSERT_NE(header.pTitle, nullptr);
    EXPECT_STREQ(header.pTitle, L"OEM UI Page");
    EXPECT_TRUE(calls.empty());
}

TEST_F(PropertySheets, WrongVersionOrNoRecordFailsWithInvalidParameter) {
    PROPSHEETUI_INFO info = sheetInfo(PROPSHEETUI_REASON_INIT);
    info.Version = 0x0101;
    SetLastError(0);
    EXPECT_EQ(quorlix::documentPropertySheets(&state, &info, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(info.Result, 0x7777);
    SetLastError(0);
    EXPECT_EQ(quorlix::documentPropertySheets(&state, nullptr, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(calls.empty());
}

}  // namespace
