#include "core/class_factory.h"

#include <new>

#include "core/module_state.h"
#include "core/plugin.h"

namespace quorlix {

HRESULT PluginClassFactory::create(REFIID iid, void **out) {
    auto *factory = new (std::nothrow) PluginClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();  // a failed query destroys the factory here
    return hr;
}

HRESULT PluginClassFactory::QueryInterface(REFIID iid, void **out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG PluginClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount)); }

ULONG PluginClassFactory::Release() {
    LONG count = InterlockedDecrement(&refCount);
    if (count > 0) return static_cast<ULONG>(refCount);
    delete this;
    return 0;
}

HRESULT PluginClassFactory::CreateInstance(IUnknown *outer, REFIID iid, void **out) {
    if (!out) return E_POINTER;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto *plugin = new (std::nothrow) OemUiPlugin();
    if (!plugin) return E_OUTOFMEMORY;
    InterlockedIncrement(&liveObjectCount);
    HRESULT hr = plugin->QueryInterface(iid, out);
    plugin->Release();  // on failure this destroys the object at once
    return hr;
}

HRESULT PluginClassFactory::LockServer(BOOL lock) {
    if (lock)
        InterlockedIncrement(&serverLockCount);
    else
        InterlockedDecrement(&serverLockCount);
    return S_OK;
}

}  // namespace quorlix
