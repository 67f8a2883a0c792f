#include "tests/support/fake_driver_ui.h"

#include <cstring>

namespace quorlix_test {

HRESULT FakeDriverUi::QueryInterface(REFIID iid, void **out) {
    ++queryCount;
    if (answerQueries && (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPrintOemDriverUI))) {
        *out = static_cast<IPrintOemDriverUI *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeDriverUi::DrvGetDriverSetting(PVOID, PCSTR feature, PVOID output, DWORD size,
                                          PDWORD needed, PDWORD returned) {
    calls.push_back({"DrvGetDriverSetting", feature ? feature : "", nullptr, 0, 0});
    lastOutputSize = size;
    lastOutputZeroed = output != nullptr;
    for (DWORD i = 0; output && i < size; ++i)
        if (static_cast<const char *>(output)[i]) lastOutputZeroed = false;
    for (const Answer &a : answers) {
        if (!feature || a.keyword != feature) continue;
        DWORD length = static_cast<DWORD>(a.value.size() + (a.terminate ? 1 : 0));
        if (needed) *needed = length;
        if (returned) *returned = 1;
        if (!output || size < length) return E_OUTOFMEMORY;
        memcpy(output, a.value.data(), a.value.size());
        if (a.terminate) static_cast<char *>(output)[a.value.size()] = 0;
        return S_OK;
    }
    return E_INVALIDARG;
}

}  // namespace quorlix_test
