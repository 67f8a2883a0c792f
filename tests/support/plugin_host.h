// Loads the built quorlix.dll the way the driver does and hands out plug-in
// objects created through its exports and class factory.
#pragma once

#include <windows.h>

#include "platform/oem_interfaces.h"

namespace quorlix_test {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE *)();

// The DLL under test: QUORLIX_DLL if set, else quorlix.dll in the folder
// above the test program (the build folder of its configuration).
class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    bool loaded() const { return module_ != nullptr; }
    HMODULE module() const { return module_; }
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;

    // Class factory for the plug-in's class id, or null.
    IClassFactory *factory();
    // A new plug-in object answering IPrintOemUI2, or null.
    IPrintOemUI2 *createPlugin();

private:
    HMODULE module_ = nullptr;
};

// One plug-in object of a freshly loaded DLL, released when the scope ends.
struct LoadedPlugin {
    PluginHost host;
    IPrintOemUI2 *ui = host.createPlugin();
    LoadedPlugin() = default;
    ~LoadedPlugin() {
        if (ui) ui->Release();
    }
    LoadedPlugin(const LoadedPlugin &) = delete;
    LoadedPlugin &operator=(const LoadedPlugin &) = delete;
};

}  // namespace quorlix_test
