// Module-wide state shared by the entry point, the class factory and the
// Layout page's registration.
#pragma once

#include <windows.h>

namespace quorlix {

extern HINSTANCE moduleHandle;
extern HANDLE pageActivationContext;  // INVALID_HANDLE_VALUE until created
extern volatile LONG serverLockCount;
extern volatile LONG liveObjectCount;

// The entry point's work, callable from tests without a real load.
BOOL moduleEntry(HINSTANCE instance, DWORD reason, LPVOID reserved);

}  // namespace quorlix
