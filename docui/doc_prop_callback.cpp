#include "docui/doc_prop_callback.h"

#include <cstddef>

#include "core/plugin_state.h"
#include "docui/item_records.h"

namespace quorlix {

namespace {

IPrintOemDriverUI *driverOf(const OEMCUIPPARAM &param) {
    const PluginState *state = static_cast<const PluginState *>(param.pOEMUserData);
    return isResourceId(state) ? nullptr : state->driverUi;
}

// The colour-mode item follows the colour item: disabled on its first choice
// (monochrome), and on the same choice index, since their options correspond.
LONG colorChanged(const OPTITEM &colorItem, OEMCUIPPARAM &param) {
    if (colorItem.DMPubID != DMPUB_COLOR || isResourceId(param.pDrvOptItems))
        return CPSUICB_ACTION_OPTIF_CHANGED;
    for (DWORD i = 0; i < param.cDrvOptItems; ++i) {
        OPTITEM &item = param.pDrvOptItems[i];
        if (!isUsableItem(&item) || !itemHasKeyword(item, renderingKeyword)) continue;
        if (colorItem.Sel == 0) item.Flags |= OPTIF_DISABLED;
        else item.Flags &= ~OPTIF_DISABLED;
        item.Sel = colorItem.Sel;
        if (IPrintOemDriverUI *driver = driverOf(param))
            driver->DrvUpdateUISetting(param.poemuiobj, &item, 0, OEMCUIP_DOCPROP);
        break;
    }
    return CPSUICB_ACTION_OPTIF_CHANGED;
}

// dmDuplex of the public DEVMODE from the duplex item's choice.
void writeDuplex(DEVMODEW *dm, LONG sel) {
    constexpr size_t needed = offsetof(DEVMODEW, dmDuplex) + sizeof(dm->dmDuplex);
    if (isResourceId(dm) || dm->dmSize < needed) return;
    dm->dmDuplex = sel == 1 ? DMDUP_HORIZONTAL : sel == 2 ? DMDUP_VERTICAL : DMDUP_SIMPLEX;
}

// Reports each layout item that the Layout page changed, unless its choice is
// one the installed options rule out.
LONG applyNow(OEMCUIPPARAM &param) {
    IPrintOemDriverUI *driver = driverOf(param);
    if (!driver || isResourceId(param.pDrvOptItems)) return CPSUICB_ACTION_ITEMS_APPLIED;
    for (DWORD i = 0; i < param.cDrvOptItems; ++i) {
        OPTITEM &item = param.pDrvOptItems[i];
        if (!isUsableItem(&item) || !inSet(appliedLayoutItems, item.DMPubID)) continue;
        if (!(item.Flags & OPTIF_CHANGEONCE)) continue;
        const OPTTYPE *type = optTypeOf(item);
        if (!type) continue;
        // A selection outside the choice list, or one whose choice cannot be
        // read, is not reported.
        const OPTPARAM *choice = choiceAt(*type, item.Sel);
        if (!choice || (choice->Flags & OPTPF_OVERLAY_WARNING_ICON)) continue;
        HRESULT hr = driver->DrvUpdateUISetting(param.poemuiobj, &item,
                                                static_cast<DWORD>(item.Sel), OEMCUIP_DOCPROP);
        if (hr == S_OK && item.DMPubID == DMPUB_DUPLEX) writeDuplex(param.pPublicDM, item.Sel);
    }
    return CPSUICB_ACTION_ITEMS_APPLIED;
}

}  // namespace

LONG CALLBACK docPropCallback(CPSUICBPARAM *cbParam, OEMCUIPPARAM *param) {
    if (isResourceId(cbParam) || cbParam->cbSize < sizeof(CPSUICBPARAM) || !isUsableParam(param))
        return CPSUICB_ACTION_OPTIF_CHANGED;
    switch (cbParam->Reason) {
    case CPSUICB_REASON_SEL_CHANGED:
        if (!isUsableItem(cbParam->pCurItem)) return CPSUICB_ACTION_OPTIF_CHANGED;
        return colorChanged(*cbParam->pCurItem, *param);
    case CPSUICB_REASON_APPLYNOW:
        return applyNow(*param);
    default:
        return CPSUICB_ACTION_OPTIF_CHANGED;
    }
}

}  // namespace quorlix
