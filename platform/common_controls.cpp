#include "platform/common_controls.h"

#include "platform/activation_context.h"
#include "platform/kernel_binding.h"
#include "platform/proc_address.h"

namespace quorlix {

namespace {

// Loaded once inside the module context and never freed.
HMODULE commonControlsModule = nullptr;

using InitCommonControlsFn = void(WINAPI *)();
using ImageListCreateFn = HIMAGELIST(WINAPI *)(int, int, UINT, int, int);
using ImageListReplaceIconFn = int(WINAPI *)(HIMAGELIST, int, HICON);
using ImageListDestroyFn = BOOL(WINAPI *)(HIMAGELIST);

InitCommonControlsFn initCommonControls = nullptr;
ImageListCreateFn imageListCreate = nullptr;
ImageListReplaceIconFn imageListReplaceIcon = nullptr;
ImageListDestroyFn imageListDestroy = nullptr;

// The cached address of one export; resolved on first use, kept once found.
template <typename Fn>
Fn bound(Fn &cache, const char *name) {
    if (!cache) cache = functionCast<Fn>(resolveCommonControl(name));
    return cache;
}

}  // namespace

FARPROC resolveCommonControl(const char *name) {
    ModuleContextScope scope;
    if (!scope.ok()) return nullptr;
    if (!commonControlsModule)
        commonControlsModule = loadSystemLibrary(L"Comctl32.dll", "Comctl32.dll");
    FARPROC address = commonControlsModule ? GetProcAddress(commonControlsModule, name) : nullptr;
    scope.deactivate(address == nullptr);
    return address;
}

void lateInitCommonControls() {
    ModuleContextScope scope;
    if (!scope.ok()) return;
    if (auto fn = bound(initCommonControls, "InitCommonControls")) fn();
}

HIMAGELIST lateImageListCreate(int cx, int cy, UINT flags, int initial, int grow) {
    ModuleContextScope scope;
    if (!scope.ok()) return nullptr;
    HIMAGELIST list = nullptr;
    if (auto fn = bound(imageListCreate, "ImageList_Create")) list = fn(cx, cy, flags, initial, grow);
    scope.deactivate(list == nullptr);
    return list;
}

int lateImageListReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    ModuleContextScope scope;
    if (!scope.ok()) return -1;
    int result = -1;
    if (auto fn = bound(imageListReplaceIcon, "ImageList_ReplaceIcon"))
        result = fn(list, index, icon);
    scope.deactivate(result == -1);
    return result;
}

BOOL lateImageListDestroy(HIMAGELIST list) {
    ModuleContextScope scope;
    if (!scope.ok()) return FALSE;
    BOOL result = FALSE;
    if (auto fn = bound(imageListDestroy, "ImageList_Destroy")) result = fn(list);
    scope.deactivate(result == FALSE);
    return result;
}

HMODULE commonControlsModuleForTesting() { return commonControlsModule; }

}  // namespace quorlix
