// The run-time-bound common-controls functions, called inside a module that
// carries the plug-in's manifest: they run in that module's context, leave
// the thread's context as it was, and keep the last-error code of the call.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

template <typename Fn>
Fn probeFunction(HMODULE probe, const char *name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(probe, name)));
}

struct Probe {
    HMODULE module = nullptr;
    void (*initCommonControls)() = nullptr;
    HIMAGELIST (*imageListCreate)(int, int, UINT, int, int) = nullptr;
    int (*imageListReplaceIcon)(HIMAGELIST, int, HICON) = nullptr;
    BOOL (*imageListDestroy)(HIMAGELIST) = nullptr;
    FARPROC (*resolve)(const char *) = nullptr;
    HMODULE (*loadLibraryInContext)(const wchar_t *) = nullptr;
    HANDLE (*moduleContext)() = nullptr;
    HMODULE (*commonControlsModule)() = nullptr;
    HANDLE (*createPageContext)() = nullptr;
    void (*releaseContext)(HANDLE) = nullptr;

    Probe() {
        module = LoadLibraryW(L"platform_probe.dll");
        if (!module) return;
        initCommonControls = probeFunction<decltype(initCommonControls)>(module, "probeInitCommonControls");
        imageListCreate = probeFunction<decltype(imageListCreate)>(module, "probeImageListCreate");
        imageListReplaceIcon =
            probeFunction<decltype(imageListReplaceIcon)>(module, "probeImageListReplaceIcon");
        imageListDestroy = probeFunction<decltype(imageListDestroy)>(module, "probeImageListDestroy");
        resolve = probeFunction<decltype(resolve)>(module, "probeResolveCommonControl");
        loadLibraryInContext =
            probeFunction<decltype(loadLibraryInContext)>(module, "probeLoadLibraryInContext");
        moduleContext = probeFunction<decltype(moduleContext)>(module, "probeModuleContext");
        commonControlsModule =
            probeFunction<decltype(commonControlsModule)>(module, "probeCommonControlsModule");
        createPageContext =
            probeFunction<decltype(createPageContext)>(module, "probeCreatePageActivationContext");
        releaseContext =
            probeFunction<decltype(releaseContext)>(module, "probeReleaseActivationContext");
    }
};

Probe &probe() {
    static Probe p;
    return p;
}

HANDLE currentContext() {
    HANDLE context = nullptr;
    GetCurrentActCtx(&context);
    if (context) ReleaseActCtx(context);  // only the identity matters
    return context;
}

std::wstring modulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring s(path);
    for (auto &c : s) c = towlower(c);
    return s;
}

HICON makeIcon() {
    BYTE andBits[20 * 4] = {};
    BYTE xorBits[20 * 4] = {};
    return CreateIcon(GetModuleHandleW(nullptr), 20, 20, 1, 1, andBits, xorBits);
}

TEST(LateBinding, CallsRunOnVersionSixAndLeaveTheContextAsItWas) {
    Probe &p = probe();
    ASSERT_NE(p.module, nullptr);
    HANDLE before = currentContext();

    p.initCommonControls();
    EXPECT_EQ(currentContext(), before);
    // The loader associated the manifest with the module; it is the context.
    EXPECT_NE(p.moduleContext(), nullptr);
    EXPECT_NE(p.moduleContext(), INVALID_HANDLE_VALUE);
    std::wstring path = modulePath(p.commonControlsModule());
    EXPECT_NE(path.find(L"winsxs"), std::wstring::npos);
    EXPECT_NE(path.find(L"common-controls"), std::wstring::npos);

    HIMAGELIST list = p.imageListCreate(20, 20, ILC_COLOR32 | ILC_MASK, 13, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(currentContext(), before);
    HICON icon = makeIcon();
    EXPECT_EQ(p.imageListReplaceIcon(list, -1, icon), 0);
    EXPECT_EQ(p.imageListReplaceIcon(list, -1, icon), 1);
    EXPECT_EQ(currentContext(), before);
    EXPECT_TRUE(p.imageListDestroy(list));
    EXPECT_EQ(currentContext(), before);
    DestroyIcon(icon);

    // Once resolved, nothing is resolved or loaded again.
    HMODULE first = p.commonControlsModule();
    p.initCommonControls();
    EXPECT_EQ(p.commonControlsModule(), first);
}

// The error a failing call leaves, seen by calling the same export inside
// the module context directly.
template <typename Fn, typename Call>
DWORD errorOfDirectCall(const char *name, Call call) {
    Probe &p = probe();
    ULONG_PTR cookie = 0;
    EXPECT_TRUE(ActivateActCtx(p.moduleContext(), &cookie));
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void *>(GetProcAddress(p.commonControlsModule(), name)));
    SetLastError(0xBEEF);
    call(fn);
    DWORD error = GetLastError();
    DeactivateActCtx(0, cookie);
    return error;
}

TEST(LateBinding, FailuresKeepTheCallsOwnLastError) {
    Probe &p = probe();
    ASSERT_NE(p.module, nullptr);
    p.initCommonControls();
    ASSERT_NE(p.commonControlsModule(), nullptr);
    HANDLE before = currentContext();

    // A missing export: null, with the error of the failed lookup.
    SetLastError(0);
    EXPECT_EQ(p.resolve("ImageList_NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // A library that does not exist: null, with the error of the load.
    SetLastError(0);
    EXPECT_EQ(p.loadLibraryInContext(L"quorlix-no-such-library.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(currentContext(), before);

    using ReplaceFn = int(WINAPI *)(HIMAGELIST, int, HICON);
    using DestroyFn = BOOL(WINAPI *)(HIMAGELIST);
    using CreateFn = HIMAGELIST(WINAPI *)(int, int, UINT, int, int);
    DWORD replaceError = errorOfDirectCall<ReplaceFn>(
        "ImageList_ReplaceIcon", [](ReplaceFn f) { f(nullptr, -1, nullptr); });
    DWORD destroyError =
        errorOfDirectCall<DestroyFn>("ImageList_Destroy", [](DestroyFn f) { f(nullptr); });
    DWORD createError = errorOfDirectCall<CreateFn>(
        "ImageList_Create", [](CreateFn f) { f(-1, -1, ILC_COLOR32, 1, 0); });

    SetLastError(0xBEEF);
    EXPECT_EQ(p.imageListReplaceIcon(nullptr, -1, nullptr), -1);
    EXPECT_EQ(GetLastError(), replaceError);
    SetLastError(0xBEEF);
    EXPECT_FALSE(p.imageListDestroy(nullptr));
    EXPECT_EQ(GetLastError(), destroyError);
    SetLastError(0xBEEF);
    EXPECT_EQ(p.imageListCreate(-1, -1, ILC_COLOR32, 1, 0), nullptr);
    EXPECT_EQ(GetLastError(), createError);
    EXPECT_EQ(currentContext(), before);
}

TEST(LateBinding, TheImageBlendingLibraryLoadsAndFrees) {
    Probe &p = probe();
    ASSERT_NE(p.module, nullptr);
    HMODULE library = p.loadLibraryInContext(L"Msimg32.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(GetProcAddress(library, "TransparentBlt"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST(LateBinding, PageContextComesFromTheModuleManifest) {
    Probe &p = probe();
    ASSERT_NE(p.module, nullptr);
    HANDLE context = p.createPageContext();
    ASSERT_NE(context, INVALID_HANDLE_VALUE);
    ASSERT_NE(context, nullptr);
    // Inside it, the common controls resolve to the side-by-side version.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"Comctl32.dll", &data));
    DeactivateActCtx(0, cookie);
    p.releaseContext(context);
}

// A module whose path is longer than the first name buffer: the buffer
// grows until the whole name fits, and the context is made from it.
TEST(LateBinding, PageContextFromAModuleWithALongPath) {
    wchar_t here[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, here, MAX_PATH);
    std::wstring folder(here);
    folder.resize(folder.find_last_of(L'\\'));
    std::wstring source = folder + L"\\platform_probe.dll";
    folder += L"\\long-path-for-the-module-name";
    CreateDirectoryW(folder.c_str(), nullptr);
    while (folder.size() < 300) {
        folder += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
        CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    std::wstring copy = folder + L"\\platform_probe.dll";
    ASSERT_TRUE(CopyFileW((L"\\\\?\\" + source).c_str(), (L"\\\\?\\" + copy).c_str(), FALSE));
    HMODULE module = LoadLibraryW((L"\\\\?\\" + copy).c_str());
    if (!module) GTEST_SKIP() << "this system loads no module from a path that long";
    wchar_t name[1024] = {};
    ASSERT_GT(GetModuleFileNameW(module, name, 1024), 259u);

    auto create = probeFunction<HANDLE (*)()>(module, "probeCreatePageActivationContext");
    auto release = probeFunction<void (*)(HANDLE)>(module, "probeReleaseActivationContext");
    HANDLE context = create();
    EXPECT_NE(context, INVALID_HANDLE_VALUE);
    EXPECT_NE(context, nullptr);
    release(context);
    FreeLibrary(module);
    DeleteFileW((L"\\\\?\\" + copy).c_str());
}

}  // namespace
