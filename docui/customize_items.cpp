#include "docui/customize_items.h"

#include <cwchar>

#include "docui/doc_prop_callback.h"
#include "docui/feature_map.h"
#include "docui/item_records.h"
#include "ppd/ppd_document.h"
#include "ppd/ppd_locate.h"

namespace quorlix {

namespace {

constexpr int kTextUnits = 260;
// The driver is told the buffer holds 256 bytes; the four bytes behind them
// stay zero, so its answer is terminated even when it fills all 256.
constexpr DWORD kAnswerBytes = 256;
constexpr ULONG_PTR kInitialItemName = 400;   // printer properties: the tree's first item
constexpr ULONG_PTR kHiddenHeadingName = 64798;  // printer properties: the hidden subtree

const wchar_t kInstallableGroup[] = L"InstallableOptions";

// The first call: make sure the document exists and, for document
// properties, bring its installed options in line with the driver's settings.
void loadAndRefresh(DWORD mode, OEMCUIPPARAM *param, PluginState *state) {
    if (!state->ppd) state->ppd = loadPrinterPpd(param->hOEMHeap, param->hPrinter);
    PpdDocument *ppd = state->ppd;
    if (mode != OEMCUIP_DOCPROP || !ppd) return;

    for (int32_t i = 0; i < ppd->featureCount; ++i) {
        const PpdFeature *feature = ppd->featureAt(i);
        if (!feature || !feature->groupKeyword.equals(kInstallableGroup)) continue;
        wchar_t option[kTextUnits] = {};
        if (queryInstalledOption(param->poemuiobj, state, feature->keyword.text, option) == S_OK)
            ppd->setInstalledOption(feature->keyword.text, option, false);
    }
    ppd->applyInstalledConstraints();
}

// The PPD feature behind one document-properties item, and whether the
// plug-in recognises it (S_OK). Standard items are found through their
// DMPUB id, PPD items through their name, which is the feature's translation.
HRESULT matchItemFeature(const OPTITEM &item, HMODULE module, const PpdDocument &ppd,
                         const PpdFeature **feature) {
    *feature = nullptr;
    FeatureLabel label;
    switch (item.DMPubID) {
    case DMPUB_DEFSOURCE:
    case DMPUB_PRINTQUALITY:
    case DMPUB_DUPLEX:
    case DMPUB_FORMNAME:
    case DMPUB_MEDIATYPE: {
        if (!module) return E_INVALIDARG;
        HRESULT status = lookupFeature(module, &label, nullptr, item.DMPubID);
        if (status == S_OK) {
            const wchar_t *keyword = keywordForCode(label.featureCode);
            if (keyword) *feature = ppd.featureAt(ppd.findFeatureByKeyword(keyword));
        }
        return status;
    }
    default: {
        if (isResourceId(item.pName)) return E_FAIL;
        const wchar_t *keyword = ppd.keywordForTranslation(item.pName);
        if (!keyword || !module) return E_INVALIDARG;
        HRESULT status = lookupFeature(module, &label, keyword, 0);
        *feature = ppd.featureAt(ppd.findFeatureByTranslation(item.pName));
        return status;
    }
    }
}

// Puts the warning overlay on each choice whose option the installed options
// rule out. Of several options with the same translation the first decides.
void markConstrainedChoices(const OPTITEM &item, const PpdFeature &feature) {
    const OPTTYPE *type = optTypeOf(item);
    if (!type || !feature.options) return;
    for (LONG c = 0; c < static_cast<LONG>(type->Count); ++c) {
        OPTPARAM *choice = choiceAt(*type, c);
        if (!choice || isResourceId(choice->pData)) continue;
        for (int32_t o = 0; o < feature.optionCount; ++o) {
            const PpdOption *option = feature.options[o];
            if (!option || !option->translation.equals(choice->pData)) continue;
            if (option->constrained) choice->Flags |= OPTPF_OVERLAY_WARNING_ICON;
            break;
        }
    }
}

void customizeDocumentItems(OEMCUIPPARAM *param, PluginState *state) {
    param->OEMCUIPCallback = docPropCallback;
    param->pOEMUserData = state;
    if (isResourceId(param->pDrvOptItems)) return;

    HMODULE module = static_cast<HMODULE>(param->hModule);
    LONG colorSel = 1;
    for (DWORD i = 0; i < param->cDrvOptItems; ++i) {
        OPTITEM &item = param->pDrvOptItems[i];
        if (!isUsableItem(&item)) continue;
        if (!state->legacySystem && inSet(hiddenLayoutItems, item.DMPubID)) item.Flags |= OPTIF_HIDE;
        if (item.DMPubID == DMPUB_COLOR) {
            colorSel = item.Sel;
            continue;
        }
        if (!state->ppd) continue;

        const PpdFeature *feature = nullptr;
        if (matchItemFeature(item, module, *state->ppd, &feature) != S_OK) continue;
        if (feature) markConstrainedChoices(item, *feature);
        // The colour-mode feature only makes sense while the colour item
        // prints in colour; its first choice is monochrome.
        if (colorSel == 0 && itemHasKeyword(item, renderingKeyword)) item.Flags |= OPTIF_DISABLED;
    }
}

// Hides the subtree under the heading named by resource id 64798: every item
// after it up to the next item on the heading's level, choices included.
void customizePrinterItems(OEMCUIPPARAM *param) {
    if (isResourceId(param->pDrvOptItems)) return;
    bool hiding = false;
    BYTE headingLevel = 0;
    for (DWORD i = 0; i < param->cDrvOptItems; ++i) {
        OPTITEM &item = param->pDrvOptItems[i];
        if (!isUsableItem(&item)) continue;
        if (hiding && item.Level == headingLevel) {
            hiding = false;
        } else if (hiding) {
            if (const OPTTYPE *type = optTypeOf(item)) {
                for (LONG c = 0; c < static_cast<LONG>(type->Count); ++c)
                    if (OPTPARAM *choice = choiceAt(*type, c)) choice->Flags |= OPTPF_HIDE;
            }
            item.Flags |= OPTIF_HIDE;
        }
        ULONG_PTR name = reinterpret_cast<ULONG_PTR>(item.pName);
        if (name == kInitialItemName) item.Flags |= OPTIF_INITIAL_TVITEM;
        if (name == kHiddenHeadingName) {
            item.Flags |= OPTIF_HIDE;
            headingLevel = item.Level;
            hiding = true;
        }
    }
}

}  // namespace

HRESULT queryInstalledOption(OEMUIOBJ *uiObj, const PluginState *state, const wchar_t *keyword,
                             wchar_t *option) {
    if (!keyword || !keyword[0] || !option) return E_INVALIDARG;
    if (!state || !state->driverUi) return E_FAIL;

    char ansiKeyword[kTextUnits] = {};
    if (WideCharToMultiByte(CP_ACP, 0, keyword + 1, -1, ansiKeyword, kTextUnits, nullptr,
                            nullptr) == 0)
        return E_FAIL;

    char answer[kTextUnits] = {};
    DWORD needed = 0;
    DWORD returned = 0;
    HRESULT hr = state->driverUi->DrvGetDriverSetting(uiObj, ansiKeyword, answer, kAnswerBytes,
                                                      &needed, &returned);
    if (hr != S_OK) return hr;

    // Only the bytes the driver was allowed to write are taken, up to the
    // first NUL.
    int length = 0;
    while (length < static_cast<int>(kAnswerBytes) && answer[length]) ++length;
    if (length == 0) {
        option[0] = 0;
        return S_OK;
    }
    int written = MultiByteToWideChar(CP_ACP, 0, answer, length, option, kTextUnits - 1);
    if (written == 0) return E_FAIL;
    option[written] = 0;
    return S_OK;
}

HRESULT customizeDriverItems(DWORD mode, OEMCUIPPARAM *param, PluginState *state) {
    // A block too small for the fields used is left untouched.
    if (!isUsableParam(param) || isResourceId(state)) return S_OK;

    if (!param->pOEMOptItems) {
        param->cOEMOptItems = 0;
        loadAndRefresh(mode, param, state);
        return S_OK;
    }
    if (mode == OEMCUIP_DOCPROP) customizeDocumentItems(param, state);
    else if (mode == OEMCUIP_PRNPROP) customizePrinterItems(param);
    return S_OK;
}

}  // namespace quorlix
