#include "docui/feature_map.h"

#include <compstui.h>

namespace quorlix {

const FeatureMapRow FeatureMap[] = {
    {DMPUB_DEFSOURCE, 0x01, 10001, L"*InputSlot"},
    {DMPUB_PRINTQUALITY, 0x02, 10002, L"*Resolution"},
    {DMPUB_MEDIATYPE, 0x03, 10003, L"*MediaType"},
    {DMPUB_FORMNAME, 0x04, 10007, L"*PageSize"},
    {DMPUB_DUPLEX, 0x05, 10025, L"*Duplex"},
    {0, 0x20, 10004, L"*InstalledMemory"},
    {0, 0x21, 10005, L"*ZQTrayUnit"},
    {0, 0x22, 10006, L"*ZQDuplexOption"},
    {0, 0x23, 10024, L"*ZQStackerOption"},
    {0, 0x24, 10028, L"*ZQCompactFlash"},
    {0, 0x40, 10008, L"*ZQScreens"},
    {0, 0x41, 10009, L"*ZQPureBlack"},
    {0, 0x42, 10010, L"*ZQCrispel"},
    {0, 0x43, 10011, L"*ZQToner"},
    {0, 0x44, 10012, L"*ZQImageProtect"},
    {0, 0x45, 10013, L"*ZQRendering"},
    {0, 0x46, 10014, L"*ZQPressSimulation"},
    {0, 0x47, 10017, L"*ZQCMYKMethod"},
    {0, 0x48, 10015, L"*ZQRGBSource"},
    {0, 0x49, 10016, L"*ZQRGBIntent"},
    {0, 0x4A, 10018, L"*ZQSeparations"},
    // The output bin is an ordinary PPD item here, found by its keyword.
    {0, 0x4B, 10019, L"*OutputBin"},
    {0, 0x4C, 10020, L"*ZQDensity"},
    {0, 0x4D, 10021, L"*ZQRotate180Degrees"},
    {0, 0x4E, 10022, L"*ZQRotate90Degrees"},
    {0, 0x4F, 10023, L"*ZQStartSide"},
    {0, 0x50, 10026, L"*ZQAutoMonoMode"},
    {0, 0x51, 10027, L"*ZQOUTPUTID"},
    {0, 0, 0, L""},
};

static bool sameText(const wchar_t *a, const wchar_t *b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

HRESULT lookupFeature(HMODULE module, FeatureLabel *label, const wchar_t *keyword, DWORD dmPubId) {
    if (!label) return E_INVALIDARG;
    if (!keyword && dmPubId == 0) return E_INVALIDARG;

    const FeatureMapRow *found = nullptr;
    for (const FeatureMapRow *row = FeatureMap; row->featureCode != 0; ++row) {
        if (row->dmPubId != dmPubId) continue;
        if (dmPubId != 0 || sameText(keyword, row->ppdKeyword)) {
            found = row;
            break;
        }
    }
    if (!found) return E_FAIL;

    label->featureCode = found->featureCode;
    // A null module would make the loader search the host program's own
    // resources; the names live only in the plug-in's string table.
    if (!module) return E_FAIL;
    int copied = LoadStringW(module, found->nameId, label->displayName, 256);
    return copied > 0 ? S_OK : E_FAIL;
}

const wchar_t *keywordForCode(DWORD featureCode) {
    for (const FeatureMapRow *row = FeatureMap; row->featureCode != 0; ++row)
        if (row->featureCode == featureCode) return row->ppdKeyword;
    return nullptr;
}

}  // namespace quorlix
