// The work behind CommonUIProp: loads the PPD model, refreshes the installed
// options from the driver and edits the flags of the driver's items.
#pragma once

#include "core/plugin_state.h"

namespace quorlix {

// Always S_OK: the driver never learns of a failure here.
HRESULT customizeDriverItems(DWORD mode, OEMCUIPPARAM *param, PluginState *state);

// Asks the driver for the current option of one installable feature.
// `keyword` is the PPD keyword with its asterisk; `option` receives the
// driver's answer (260 wide characters). The driver's own failure result is
// passed back unchanged; E_FAIL when a text does not convert or there is no
// driver interface, E_INVALIDARG without a keyword or output.
HRESULT queryInstalledOption(OEMUIOBJ *uiObj, const PluginState *state, const wchar_t *keyword,
                             wchar_t *option);

}  // namespace quorlix
