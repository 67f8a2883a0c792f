#include "platform/kernel_binding.h"

#include "platform/proc_address.h"

namespace quorlix {

#ifdef _WIN64

HANDLE kernelCreateActCtxW(const ACTCTXW *context) { return CreateActCtxW(context); }
BOOL kernelActivateActCtx(HANDLE context, ULONG_PTR *cookie) {
    return ActivateActCtx(context, cookie);
}
BOOL kernelDeactivateActCtx(DWORD flags, ULONG_PTR cookie) {
    return DeactivateActCtx(flags, cookie);
}
void kernelReleaseActCtx(HANDLE context) { ReleaseActCtx(context); }
BOOL kernelQueryActCtxW(DWORD flags, HANDLE context, PVOID subInstance, ULONG infoClass,
                        PVOID buffer, SIZE_T bufferSize, SIZE_T *written) {
    return QueryActCtxW(flags, context, subInstance, infoClass, buffer, bufferSize, written);
}
BOOL kernelFindActCtxSectionStringW(DWORD flags, const GUID *extension, ULONG section,
                                    LPCWSTR text, PACTCTX_SECTION_KEYED_DATA data) {
    return FindActCtxSectionStringW(flags, extension, section, text, data);
}
BOOL kernelGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE *module) {
    return GetModuleHandleExW(flags, name, module);
}
HMODULE loadSystemLibrary(const wchar_t *wideName, const char *) {
    return LoadLibraryW(wideName);
}

#else  // 32-bit builds: everything by name

namespace {

// The systems of the older family report themselves with the top bit of
// GetVersion set; they have no wide-character loader functions.
bool topBitSystem() { return (GetVersion() & 0x80000000u) != 0; }

HMODULE unicowsModule = nullptr;
bool unicowsLooked = false;
HMODULE kernelModule = nullptr;

template <typename Fn>
Fn kernelFunction(Fn &cache, const char *name) {
    if (!cache) cache = functionCast<Fn>(resolveKernelFunction(name));
    return cache;
}

using CreateActCtxWFn = HANDLE(WINAPI *)(const ACTCTXW *);
using ActivateActCtxFn = BOOL(WINAPI *)(HANDLE, ULONG_PTR *);
using DeactivateActCtxFn = BOOL(WINAPI *)(DWORD, ULONG_PTR);
using ReleaseActCtxFn = void(WINAPI *)(HANDLE);
using QueryActCtxWFn = BOOL(WINAPI *)(DWORD, HANDLE, PVOID, ULONG, PVOID, SIZE_T, SIZE_T *);
using FindActCtxSectionStringWFn = BOOL(WINAPI *)(DWORD, const GUID *, ULONG, LPCWSTR,
                                                  PACTCTX_SECTION_KEYED_DATA);
using GetModuleHandleExWFn = BOOL(WINAPI *)(DWORD, LPCWSTR, HMODULE *);

CreateActCtxWFn createActCtxW = nullptr;
ActivateActCtxFn activateActCtx = nullptr;
DeactivateActCtxFn deactivateActCtx = nullptr;
ReleaseActCtxFn releaseActCtx = nullptr;
QueryActCtxWFn queryActCtxW = nullptr;
FindActCtxSectionStringWFn findActCtxSectionStringW = nullptr;
GetModuleHandleExWFn getModuleHandleExW = nullptr;

}  // namespace

FARPROC resolveKernelFunction(const char *name) {
    if (!unicowsLooked) {
        unicowsLooked = true;
        if (topBitSystem()) {
            // A harmless call into the wide layer, so that a Unicode layer
            // that is linked but not yet loaded gets loaded now.
            GetFileAttributesW(L"???.???");
            unicowsModule = GetModuleHandleA("Unicows.dll");
        }
    }
    if (unicowsModule) {
        if (FARPROC p = GetProcAddress(unicowsModule, name)) return p;
    }
    if (!kernelModule) {
        kernelModule = topBitSystem() ? GetModuleHandleA("Kernel32.dll")
                                      : GetModuleHandleW(L"Kernel32.dll");
        if (!kernelModule) return nullptr;
    }
    return GetProcAddress(kernelModule, name);
}

HANDLE kernelCreateActCtxW(const ACTCTXW *context) {
    auto fn = kernelFunction(createActCtxW, "CreateActCtxW");
    return fn ? fn(context) : INVALID_HANDLE_VALUE;
}
BOOL kernelActivateActCtx(HANDLE context, ULONG_PTR *cookie) {
    auto fn = kernelFunction(activateActCtx, "ActivateActCtx");
    return fn ? fn(context, cookie) : FALSE;
}
BOOL kernelDeactivateActCtx(DWORD flags, ULONG_PTR cookie) {
    auto fn = kernelFunction(deactivateActCtx, "DeactivateActCtx");
    return fn ? fn(flags, cookie) : FALSE;
}
void kernelReleaseActCtx(HANDLE context) {
    if (auto fn = kernelFunction(releaseActCtx, "ReleaseActCtx")) fn(context);
}
BOOL kernelQueryActCtxW(DWORD flags, HANDLE context, PVOID subInstance, ULONG infoClass,
                        PVOID buffer, SIZE_T bufferSize, SIZE_T *written) {
    auto fn = kernelFunction(queryActCtxW, "QueryActCtxW");
    return fn ? fn(flags, context, subInstance, infoClass, buffer, bufferSize, written) : FALSE;
}
BOOL kernelFindActCtxSectionStringW(DWORD flags, const GUID *extension, ULONG section,
                                    LPCWSTR text, PACTCTX_SECTION_KEYED_DATA data) {
    auto fn = kernelFunction(findActCtxSectionStringW, "FindActCtxSectionStringW");
    return fn ? fn(flags, extension, section, text, data) : FALSE;
}
BOOL kernelGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE *module) {
    auto fn = kernelFunction(getModuleHandleExW, "GetModuleHandleExW");
    return fn ? fn(flags, name, module) : FALSE;
}
HMODULE loadSystemLibrary(const wchar_t *wideName, const char *ansiName) {
    return topBitSystem() ? LoadLibraryA(ansiName) : LoadLibraryW(wideName);
}

#endif

}  // namespace quorlix
