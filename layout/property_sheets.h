// Adds the Layout page to the document-properties sheet.
#pragma once

#include "core/plugin_state.h"

namespace quorlix {

HRESULT documentPropertySheets(PluginState *state, PPROPSHEETUI_INFO info, LPARAM lParam);

}  // namespace quorlix
