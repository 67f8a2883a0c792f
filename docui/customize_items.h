// The work behind CommonUIProp: loads the PPD model, refreshes the installed
// options from the driver and edits the flags of the driver's items.
#pragma once

#include "core/plugin_state.h"

namespace quorlix {

HRESULT customizeDriverItems(DWORD mode, OEMCUIPPARAM *param, PluginState *state);

}  // namespace quorlix
