// The common-controls functions the Layout page calls, bound by name from
// "Comctl32.dll" at first use and always called with the module's
// activation context active, so that version 6 serves them. Each returns
// the function's failure value when it cannot be called, with the last-error
// code of the failure, never one of the deactivation.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace quorlix {

void lateInitCommonControls();
HIMAGELIST lateImageListCreate(int cx, int cy, UINT flags, int initial, int grow);
int lateImageListReplaceIcon(HIMAGELIST list, int index, HICON icon);
BOOL lateImageListDestroy(HIMAGELIST list);

// The address of a Comctl32.dll export, looked up inside the module
// context; null with the lookup's last-error code when absent.
FARPROC resolveCommonControl(const char *name);

// The Comctl32.dll the functions come from; null until first loaded.
HMODULE commonControlsModuleForTesting();

}  // namespace quorlix
