// Activation contexts that put common controls version 6 in force for the
// Layout page and for the system functions the plug-in binds at run time.
#pragma once

#include <windows.h>

namespace quorlix {

// A new context from the module's own manifest (resource 2), for the page
// description; INVALID_HANDLE_VALUE when it cannot be made.
HANDLE createPageActivationContext();

// Releases a context made by createPageActivationContext (process detach).
void releaseActivationContext(HANDLE context);

// Determines, once, the context that is active around the run-time-bound
// calls: the one the loader associated with this module, else the
// process's default (null). False when it cannot be determined yet.
bool ensureModuleContext();

// Activates the module context; false when it cannot be. In the 32-bit
// builds on a system without activation contexts this succeeds without
// activating anything.
bool activateModuleContext(ULONG_PTR *cookie);

// One activation of the module context, undone when the scope ends.
class ModuleContextScope {
public:
    ModuleContextScope() noexcept;
    ~ModuleContextScope() { deactivate(false); }
    ModuleContextScope(const ModuleContextScope &) = delete;
    ModuleContextScope &operator=(const ModuleContextScope &) = delete;

    bool ok() const noexcept { return ok_; }
    // Deactivates now. With keepLastError the caller's last-error code
    // survives the deactivation.
    void deactivate(bool keepLastError) noexcept;

private:
    bool ok_ = false;
    bool active_ = false;
    ULONG_PTR cookie_ = 0;
};

// LoadLibraryW inside the module context; the caller frees the result.
// A failed load leaves its own last-error code.
HMODULE loadLibraryInContext(const wchar_t *name);

// Observations for tests of the module: the module context (INVALID while
// undetermined) and, in the 32-bit builds, whether contexts are unavailable.
HANDLE moduleContextForTesting();
bool contextsUnavailableForTesting();

}  // namespace quorlix
