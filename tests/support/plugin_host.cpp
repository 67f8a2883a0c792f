#include "tests/support/plugin_host.h"

#include <cwchar>

namespace quorlix_test {

static void defaultDllPath(wchar_t *path, DWORD capacity) {
    DWORD n = GetEnvironmentVariableW(L"QUORLIX_DLL", path, capacity);
    if (n > 0 && n < capacity) return;
    n = GetModuleFileNameW(nullptr, path, capacity);
    // Strip the program name and its folder: tests live one level below.
    for (int cut = 0; cut < 2; ++cut) {
        wchar_t *slash = wcsrchr(path, L'\\');
        if (slash) *slash = 0;
    }
    wcsncat(path, L"\\quorlix.dll", capacity - wcslen(path) - 1);
}

PluginHost::PluginHost() {
    wchar_t path[MAX_PATH * 2] = {};
    defaultDllPath(path, MAX_PATH * 2);
    module_ = LoadLibraryW(path);
    if (!module_) return;
    getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void *>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void *>(GetProcAddress(module_, "DllCanUnloadNow")));
}

PluginHost::~PluginHost() {
    if (module_) FreeLibrary(module_);
}

IClassFactory *PluginHost::factory() {
    if (!getClassObject) return nullptr;
    IClassFactory *f = nullptr;
    if (FAILED(getClassObject(CLSID_QuorlixPlugin, IID_IClassFactory, reinterpret_cast<void **>(&f))))
        return nullptr;
    return f;
}

IPrintOemUI2 *PluginHost::createPlugin() {
    IClassFactory *f = factory();
    if (!f) return nullptr;
    IPrintOemUI2 *plugin = nullptr;
    f->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void **>(&plugin));
    f->Release();
    return plugin;
}

}  // namespace quorlix_test
