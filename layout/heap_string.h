// String resources on the heap the driver lends the plug-in.
#pragma once

#include <windows.h>

namespace quorlix {

// Loads string `id` of `module` into a zero-filled block of `heap`, as large
// as the text needs. A missing string gives an empty text; null only when
// an allocation fails or there is no heap. The caller frees the block with HeapFree on `heap`.
wchar_t *loadHeapString(HANDLE module, HANDLE heap, UINT id);

}  // namespace quorlix
