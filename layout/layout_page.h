// The Layout page's dialog procedure and its setup steps.
#pragma once

#include "core/plugin_state.h"

namespace quorlix {

INT_PTR CALLBACK layoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the localized texts of the labels; nothing when either is null.
void setLayoutLabels(HWND page, const OEMCUIPPARAM *uiParam);
// Builds the page's image list from the icons and hands it to the icon
// lists; nothing when either is null.
void buildLayoutImageList(HWND page, const OEMCUIPPARAM *uiParam);

}  // namespace quorlix
