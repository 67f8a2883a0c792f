// The class factory that makes plug-in objects.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace quorlix {

class PluginClassFactory final : public IClassFactory {
public:
    // Makes a factory and queries it for iid; the caller owns the result.
    static HRESULT create(REFIID iid, void **out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    PluginClassFactory() = default;
    ~PluginClassFactory() = default;

    volatile LONG refCount = 1;
};

}  // namespace quorlix
