// A test module built from the plug-in's own objects and manifest, so that
// the loader associates the manifest with it as with quorlix.dll. It exports
// the run-time binding functions for the platform tests.
#include <windows.h>

#include "platform/activation_context.h"
#include "platform/common_controls.h"

extern "C" {

__declspec(dllexport) void probeInitCommonControls() { quorlix::lateInitCommonControls(); }
__declspec(dllexport) HIMAGELIST probeImageListCreate(int cx, int cy, UINT flags, int initial,
                                                      int grow) {
    return quorlix::lateImageListCreate(cx, cy, flags, initial, grow);
}
__declspec(dllexport) int probeImageListReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    return quorlix::lateImageListReplaceIcon(list, index, icon);
}
__declspec(dllexport) BOOL probeImageListDestroy(HIMAGELIST list) {
    return quorlix::lateImageListDestroy(list);
}
__declspec(dllexport) FARPROC probeResolveCommonControl(const char *name) {
    return quorlix::resolveCommonControl(name);
}
__declspec(dllexport) HMODULE probeLoadLibraryInContext(const wchar_t *name) {
    return quorlix::loadLibraryInContext(name);
}
__declspec(dllexport) HANDLE probeModuleContext() { return quorlix::moduleContextForTesting(); }
__declspec(dllexport) HMODULE probeCommonControlsModule() {
    return quorlix::commonControlsModuleForTesting();
}
__declspec(dllexport) HANDLE probeCreatePageActivationContext() {
    return quorlix::createPageActivationContext();
}
__declspec(dllexport) void probeReleaseActivationContext(HANDLE context) {
    quorlix::releaseActivationContext(context);
}
}
