// Typed addresses of functions resolved by name at run time.
#pragma once

#include <windows.h>

namespace quorlix {

// GetProcAddress returns a generic function pointer; the cast goes through
// an object pointer so that the compiler accepts the change of signature.
template <typename Fn>
Fn functionCast(FARPROC address) {
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(address));
}

template <typename Fn>
Fn procAddress(HMODULE module, const char *name) {
    return module ? functionCast<Fn>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace quorlix
