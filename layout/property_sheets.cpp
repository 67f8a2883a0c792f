#include "layout/property_sheets.h"

#include "core/module_state.h"
#include "layout/heap_string.h"
#include "layout/layout_page.h"
#include "platform/activation_context.h"
#include "res/layout_ids.h"

namespace quorlix {

namespace {

// The title the sheet shows for the plug-in's group of pages; not localized.
const wchar_t infoHeaderTitle[] = L"OEM UI Page";

// Describes the Layout page and hands it to the sheet. The sheet copies the
// description; its title stays on the driver's heap until the driver frees
// that heap.
void addLayoutPage(PluginState *state, PPROPSHEETUI_INFO info) {
    PROPSHEETPAGEW_FULL page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = moduleHandle;
    page.pszTemplate = MAKEINTRESOURCEW(IDD_LAYOUT_PAGE);
    if (state->uiParam)
        page.pszTitle = loadHeapString(state->uiParam->hModule, state->uiParam->hOEMHeap,
                                       IDS_LAYOUT_TITLE);
    page.pfnDlgProc = layoutPageProc;
    page.lParam = reinterpret_cast<LPARAM>(state);

    // A failed creation is tried again the next time the page is added.
    if (pageActivationContext == INVALID_HANDLE_VALUE)
        pageActivationContext = createPageActivationContext();
    if (pageActivationContext && pageActivationContext != INVALID_HANDLE_VALUE) {
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
        page.hActCtx = pageActivationContext;
    }

    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                          reinterpret_cast<LPARAM>(&page), 0);
}

}  // namespace

HRESULT documentPropertySheets(PluginState *state, PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }

    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        if (info->pfnComPropSheet) {
            if (state && !state->legacySystem) addLayoutPage(state, info);
            // The sheet opens on its second standard page, not on ours.
            info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_SET_HSTARTPAGE, 0, SSP_STDPAGE2);
        }
        info->Result = 0;
        break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        if (lParam)
            reinterpret_cast<PROPSHEETUI_INFO_HEADER *>(lParam)->pTitle =
                const_cast<LPWSTR>(infoHeaderTitle);
        info->Result = 1;
        break;
    case PROPSHEETUI_REASON_DESTROY:
        // The page frees its own resources when its window goes.
        info->Result = 1;
        break;
    case PROPSHEETUI_REASON_SET_RESULT:
        if (lParam) info->Result = reinterpret_cast<SETRESULT_INFO *>(lParam)->Result;
        break;
    default:
        info->Result = 0;
        break;
    }
    return S_OK;
}

}  // namespace quorlix
