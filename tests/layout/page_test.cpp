// The Layout page created for real by a property sheet, from the page
// description that the plug-in hands to the sheet, with the plug-in's
// activation context. The test saves a picture of it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/fake_driver_ui.h"
#include "tests/support/plugin_host.h"

namespace {

std::vector<PROPSHEETPAGEW_FULL> handedPages;

LONG_PTR CALLBACK keepPages(HANDLE, UINT function, LPARAM p1, LPARAM) {
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
        PROPSHEETPAGEW_FULL page{};
        memcpy(&page, reinterpret_cast<const void *>(p1), sizeof(page));
        handedPages.push_back(page);
        return 1;
    }
    return 0;
}

void pumpMessages(DWORD milliseconds) {
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

std::wstring lower(std::wstring s) {
    for (auto &c : s) c = towlower(c);
    return s;
}

// The module whose code runs the control: the one that holds its window
// procedure.
std::wstring classModulePath(HWND control) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(control, GWLP_WNDPROC)),
                       &module);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return lower(path);
}

std::wstring controlText(HWND page, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(page, id, text, 256);
    return text;
}

// Saves what the window shows as a 24-bit BMP.
bool saveWindowPicture(HWND window, const char *path) {
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    DWORD stride = (w * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * h);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO *>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE *f = fopen(path, "wb");
    if (!f) return false;
    fwrite(&file, sizeof(file), 1, f);
    fwrite(&info, sizeof(info), 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
    return true;
}

TEST(LayoutPage, SheetCreatesThePageUnderThePluginsContext) {
    quorlix_test::PluginHost host;
    ASSERT_TRUE(host.loaded());
    IPrintOemUI2 *plugin = host.createPlugin();
    ASSERT_NE(plugin, nullptr);
    quorlix_test::FakeDriverUi driver;
    plugin->PublishDriverInterface(&driver);

    HANDLE heap = HeapCreate(0, 0, 0);
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), nullptr};
    OEMCUIPPARAM param{};
    param.cbSize = sizeof(param);
    param.poemuiobj = &uiObject;
    param.hModule = host.module();
    param.hOEMHeap = heap;
    plugin->CommonUIProp(OEMCUIP_DOCPROP, &param);

    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.pfnComPropSheet = keepPages;
    handedPages.clear();
    ASSERT_EQ(plugin->DocumentPropertySheets(&info, 0), S_OK);
    ASSERT_EQ(handedPages.size(), 1u);
    PROPSHEETPAGEW_FULL description = handedPages[0];
    EXPECT_EQ(description.hInstance, host.module());
    EXPECT_TRUE(description.dwFlags & PSP_USEFUSIONCONTEXT);
    ASSERT_NE(description.hActCtx, nullptr);
    ASSERT_NE(description.hActCtx, INVALID_HANDLE_VALUE);

    // The sheet is a version 6 one, as the driver's is: its functions come
    // from the side-by-side library, loaded inside the page's context, and
    // it honours PSP_USEFUSIONCONTEXT. (This program loads no other common
    // controls: Wine would hand out an already loaded classic library for
    // the name, whatever the context says.)
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(description.hActCtx, &cookie));
    HMODULE sheetLibrary = LoadLibraryW(L"comctl32.dll");
    DeactivateActCtx(0, cookie);
    ASSERT_NE(sheetLibrary, nullptr);
    using CreatePageFn = HPROPSHEETPAGE(WINAPI *)(LPCPROPSHEETPAGEW);
    using PropertySheetFn = INT_PTR(WINAPI *)(LPCPROPSHEETHEADERW);
    auto createPage = reinterpret_cast<CreatePageFn>(
        reinterpret_cast<void *>(GetProcAddress(sheetLibrary, "CreatePropertySheetPageW")));
    auto propertySheet = reinterpret_cast<PropertySheetFn>(
        reinterpret_cast<void *>(GetProcAddress(sheetLibrary, "PropertySheetW")));
    using ImageCountFn = int(WINAPI *)(HIMAGELIST);
    auto imageCount = reinterpret_cast<ImageCountFn>(
        reinterpret_cast<void *>(GetProcAddress(sheetLibrary, "ImageList_GetImageCount")));
    ASSERT_NE(createPage, nullptr);
    ASSERT_NE(propertySheet, nullptr);
    ASSERT_NE(imageCount, nullptr);

    HANDLE contextBefore = nullptr;
    GetCurrentActCtx(&contextBefore);

    // What the common property sheet does with the description.
    HPROPSHEETPAGE page = createPage(reinterpret_cast<LPCPROPSHEETPAGEW>(&description));
    ASSERT_NE(page, nullptr);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = L"quorlix layout page";
    header.nPages = 1;
    header.phpage = &page;
    HWND sheet = reinterpret_cast<HWND>(propertySheet(&header));
    ASSERT_NE(sheet, nullptr);
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpMessages(700);
    HWND pageWindow = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(pageWindow, nullptr);

    // Every control of the template exists.
    for (int id = 11003; id <= 11018; ++id) EXPECT_NE(GetDlgItem(pageWindow, id), nullptr) << id;

    // The icon lists are version 6 extended combo boxes: their class comes
    // from the side-by-side common controls, not from the system folder.
    for (int id : {11004, 11006, 11008}) {
        std::wstring path = classModulePath(GetDlgItem(pageWindow, id));
        EXPECT_NE(path.find(L"winsxs"), std::wstring::npos)
            << id << ": " << std::string(path.begin(), path.end());
        EXPECT_NE(path.find(L"common-controls"), std::wstring::npos) << id;
        // All 17 icons went into the list the three icon lists share.
        auto list = reinterpret_cast<HIMAGELIST>(
            SendDlgItemMessageW(pageWindow, id, CBEM_GETIMAGELIST, 0, 0));
        ASSERT_NE(list, nullptr) << id;
        EXPECT_EQ(imageCount(list), 17) << id;
    }
    // The creation left the thread's context as it was.
    HANDLE contextAfter = nullptr;
    GetCurrentActCtx(&contextAfter);
    EXPECT_EQ(contextAfter, contextBefore);
    if (contextBefore) ReleaseActCtx(contextBefore);
    if (contextAfter) ReleaseActCtx(contextAfter);

    // The page's own texts replace the template's placeholders: the page
    // shows the strings of the user's interface language. A run under a
    // Japanese interface (QUORLIX_PAGE_LANGUAGE=ja) checks that they are
    // the Japanese ones.
    bool japanese = getenv("QUORLIX_PAGE_LANGUAGE") && !strcmp(getenv("QUORLIX_PAGE_LANGUAGE"), "ja");
    struct Label {
        int control;
        const wchar_t *english;
        const wchar_t *japanese;
    };
    const Label labels[] = {
        {11003, L"&Orientation:", L"印刷の向き(&O):"},
        {11009, L"Page Format", L"ページ形式"},
        {11010, L"Page&s per Sheet", L"シートごとのページ数(&S)"},
        {11011, L"Boo&klet", L"小冊子(&K)"},
#ifdef QUORLIX_LEGACY
        // The reduced page leaves these with the template's texts.
        {11013, L"Pages per Sheet &Layout:", L"Pages per Sheet &Layout:"},
        {11017, L"Dra&w Borders:", L"Dra&w Borders:"},
#else
        {11013, L"Pages per Sheet &Layout:", L"シートごとのページレイアウト(&L):"},
        {11017, L"Dra&w Borders", L"境界線を引く(&W)"},
#endif
    };
    for (const auto &label : labels)
        EXPECT_EQ(controlText(pageWindow, label.control), japanese ? label.japanese : label.english)
            << label.control;
    for (int id : {11013, 11014, 11015, 11016, 11017}) {
#ifdef QUORLIX_LEGACY
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(pageWindow, id))) << id;
#else
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(pageWindow, id))) << id;
#endif
    }
    wchar_t title[64] = {};
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = title;
    tab.cchTextMax = 64;
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)),
                 TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(title, japanese ? L"レイアウト" : L"Layout");

    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages(300);
    CreateDirectoryA(QUORLIX_SCREENSHOT_DIR, nullptr);
    std::string picture = std::string(QUORLIX_SCREENSHOT_DIR) +
                          (japanese ? "/layout-page-ja.bmp" : "/layout-page.bmp");
    EXPECT_TRUE(saveWindowPicture(sheet, picture.c_str()));

    DestroyWindow(sheet);
    pumpMessages(100);
    FreeLibrary(sheetLibrary);
    plugin->Release();
    HeapDestroy(heap);
}

}  // namespace
