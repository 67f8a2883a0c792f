#include "layout/property_sheets.h"

namespace quorlix {

HRESULT documentPropertySheets(PluginState *, PPROPSHEETUI_INFO info, LPARAM) {
    if (!info) return E_FAIL;
    return S_OK;
}

}  // namespace quorlix
