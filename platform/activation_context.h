// Activation contexts that put common controls version 6 in force for the
// Layout page.
#pragma once

#include <windows.h>

namespace quorlix {

void releaseActivationContext(HANDLE context);

}  // namespace quorlix
