#include "layout/heap_string.h"

namespace quorlix {

wchar_t *loadHeapString(HANDLE module, HANDLE heap, UINT id) {
    if (!heap) return nullptr;  // nothing to allocate from
    HINSTANCE instance = static_cast<HINSTANCE>(module);
    // First try: room for 256 characters and the terminator.
    DWORD capacity = 256;
    auto *buffer = static_cast<wchar_t *>(
        HeapAlloc(heap, HEAP_ZERO_MEMORY, (capacity + 1) * sizeof(wchar_t)));
    if (!buffer) return nullptr;
    int count = LoadStringW(instance, id, buffer, static_cast<int>(capacity + 1));
    // A text that fills the room may have been cut: double and load again.
    // String resources hold at most 65535 characters, so this ends.
    while (count == static_cast<int>(capacity)) {
        HeapFree(heap, 0, buffer);
        capacity *= 2;
        buffer = static_cast<wchar_t *>(
            HeapAlloc(heap, HEAP_ZERO_MEMORY, (capacity + 1) * sizeof(wchar_t)));
        if (!buffer) return nullptr;
        count = LoadStringW(instance, id, buffer, static_cast<int>(capacity + 1));
    }
    return buffer;
}

}  // namespace quorlix
