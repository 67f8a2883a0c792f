// A stand-in for the driver's IPrintOemDriverUI: counts its references,
// records every call, and answers DrvGetDriverSetting from a table the test
// fills in.
#pragma once

#include <string>
#include <vector>

#include "platform/oem_interfaces.h"

namespace quorlix_test {

struct DriverCall {
    std::string method;   // "DrvGetDriverSetting" or "DrvUpdateUISetting"
    std::string feature;  // keyword asked for (get)
    const void *item;     // OPTITEM passed (update)
    DWORD previousSel;
    DWORD mode;
};

class FakeDriverUi final : public IPrintOemDriverUI {
public:
    LONG refs = 1;
    int queryCount = 0;
    bool answerQueries = true;  // false: QueryInterface refuses IPrintOemDriverUI
    std::vector<DriverCall> calls;

    // Answers for DrvGetDriverSetting: keyword (no asterisk) -> value bytes.
    // An answer may be given as raw bytes without a terminator.
    struct Answer {
        std::string keyword;
        std::string value;
        bool terminate = true;
    };
    std::vector<Answer> answers;
    // Result of DrvUpdateUISetting (the call is recorded either way).
    HRESULT updateResult = S_OK;
    // Output size of the latest DrvGetDriverSetting call, and whether its
    // output buffer was all zero when the call came in.
    DWORD lastOutputSize = 0;
    bool lastOutputZeroed = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR feature, PVOID output, DWORD size,
                                                  PDWORD needed, PDWORD returned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        calls.push_back({"DrvUpgradeRegistrySetting", "", nullptr, 0, 0});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID item, DWORD previousSel,
                                                 DWORD mode) override {
        calls.push_back({"DrvUpdateUISetting", "", item, previousSel, mode});
        return updateResult;
    }
};

}  // namespace quorlix_test
