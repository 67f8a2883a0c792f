// Module entry point and the two exports of the in-process server.
#include "core/module_state.h"

#include "core/class_factory.h"
#include "platform/oem_interfaces.h"
#include "platform/activation_context.h"

namespace quorlix {

HINSTANCE moduleHandle = nullptr;
HANDLE pageActivationContext = INVALID_HANDLE_VALUE;
volatile LONG serverLockCount = 0;
volatile LONG liveObjectCount = 0;

BOOL moduleEntry(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        moduleHandle = instance;
        break;
    case DLL_PROCESS_DETACH:
        // The page's context is the only thing the module itself keeps.
        if (pageActivationContext != INVALID_HANDLE_VALUE) {
            releaseActivationContext(pageActivationContext);
            pageActivationContext = INVALID_HANDLE_VALUE;
        }
        break;
    default:
        break;
    }
    return TRUE;
}

}  // namespace quorlix

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return quorlix::moduleEntry(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID *out) {
    if (!out) return E_POINTER;
    if (memcmp(&clsid, &CLSID_QuorlixPlugin, sizeof(GUID)) != 0) return CLASS_E_CLASSNOTAVAILABLE;
    return quorlix::PluginClassFactory::create(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return (quorlix::liveObjectCount != 0 || quorlix::serverLockCount != 0) ? S_FALSE : S_OK;
}
