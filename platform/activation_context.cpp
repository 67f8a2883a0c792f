#include "platform/activation_context.h"

#include "core/module_state.h"
#include "platform/kernel_binding.h"

namespace quorlix {

namespace {

// Undetermined until the first late-bound call; null means the process's
// default context. Never released.
HANDLE moduleContext = INVALID_HANDLE_VALUE;

#ifndef _WIN64
// Set when the system has no activation-context functions: from then on
// nothing is activated and the late-bound functions are called directly.
bool contextsUnavailable = false;
#endif

// Any variable inside this module: its address identifies the module to the
// context query and to GetModuleHandleExW.
const int moduleAnchor = 0;

constexpr ULONG infoClassBasicInformation = 1;  // ActivationContextBasicInformation
constexpr ULONG dllRedirectionSection = 2;      // ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION
constexpr WORD pageManifestId = 2;
constexpr WORD moduleManifestId = 3;

// The module file name for the page context: the buffer doubles while the
// name fills it, at most 10 attempts, after which the truncated name is used.
wchar_t *moduleFileName() {
    HANDLE heap = GetProcessHeap();
    DWORD size = MAX_PATH;
    wchar_t *buffer = nullptr;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (buffer) HeapFree(heap, 0, buffer);
        buffer = static_cast<wchar_t *>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size * sizeof(wchar_t)));
        if (!buffer) return nullptr;
        DWORD length = GetModuleFileNameW(moduleHandle, buffer, size);
        if (length == 0) {
            HeapFree(heap, 0, buffer);
            return nullptr;
        }
        if (length < size) break;
        if (attempt < 9) size *= 2;
    }
    return buffer;
}

bool isMissingResourceError(DWORD error) {
    return error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_LANG_NOT_FOUND;
}

// Keeps the redirected common controls in the process: once loaded inside
// the module context, it stays for the life of the process.
void pinRedirectedCommonControls() {
    ULONG_PTR cookie = 0;
    if (!kernelActivateActCtx(moduleContext, &cookie)) return;
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    if (kernelFindActCtxSectionStringW(0, nullptr, dllRedirectionSection, L"Comctl32.dll", &data))
        loadSystemLibrary(L"Comctl32.dll", "Comctl32.dll");
    kernelDeactivateActCtx(0, cookie);
}

}  // namespace

HANDLE createPageActivationContext() {
    wchar_t *path = moduleFileName();
    if (!path) return INVALID_HANDLE_VALUE;
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(pageManifestId);
    HANDLE context = kernelCreateActCtxW(&request);
    DWORD error = GetLastError();
    HeapFree(GetProcessHeap(), 0, path);
    SetLastError(error);
    return context;
}

void releaseActivationContext(HANDLE context) {
    if (context && context != INVALID_HANDLE_VALUE) kernelReleaseActCtx(context);
}

bool ensureModuleContext() {
    if (moduleContext != INVALID_HANDLE_VALUE) return true;

    ACTIVATION_CONTEXT_BASIC_INFORMATION info{};
    if (!kernelQueryActCtxW(QUERY_ACTCTX_FLAG_ACTCTX_IS_ADDRESS | QUERY_ACTCTX_FLAG_NO_ADDREF,
                            const_cast<int *>(&moduleAnchor), nullptr, infoClassBasicInformation,
                            &info, sizeof(info), nullptr))
        return false;

    HANDLE context = info.hActCtx;
    if (!context) {
        // The loader associated no context with the module: build one from
        // a manifest with id 3, or run in the process's default context.
        HMODULE module = nullptr;
        if (!kernelGetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                          GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      reinterpret_cast<LPCWSTR>(&moduleAnchor), &module))
            return false;
        wchar_t path[MAX_PATH + 1];
        path[MAX_PATH] = 0;
        if (GetModuleFileNameW(module, path, MAX_PATH + 1) == 0) return false;
        if (path[MAX_PATH] != 0) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return false;
        }
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.lpSource = path;
        request.lpResourceName = MAKEINTRESOURCEW(moduleManifestId);
        request.hModule = module;
        context = kernelCreateActCtxW(&request);
        if (context == INVALID_HANDLE_VALUE) {
            if (!isMissingResourceError(GetLastError())) return false;
            context = nullptr;
        }
    }

    moduleContext = context;
    pinRedirectedCommonControls();
    return true;
}

bool activateModuleContext(ULONG_PTR *cookie) {
#ifndef _WIN64
    if (contextsUnavailable) {
        *cookie = 0;
        return true;
    }
    if (ensureModuleContext() && kernelActivateActCtx(moduleContext, cookie)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_MOD_NOT_FOUND ||
        error == ERROR_PROC_NOT_FOUND) {
        contextsUnavailable = true;
        *cookie = 0;
        return true;
    }
    return false;
#else
    if (!ensureModuleContext()) return false;
    return kernelActivateActCtx(moduleContext, cookie) != FALSE;
#endif
}

ModuleContextScope::ModuleContextScope() noexcept {
    ok_ = activateModuleContext(&cookie_);
#ifndef _WIN64
    active_ = ok_ && !contextsUnavailable;
#else
    active_ = ok_;
#endif
}

void ModuleContextScope::deactivate(bool keepLastError) noexcept {
    if (!active_) return;
    active_ = false;
    DWORD error = GetLastError();
    kernelDeactivateActCtx(0, cookie_);
    if (keepLastError) SetLastError(error);
}

HMODULE loadLibraryInContext(const wchar_t *name) {
    ModuleContextScope scope;
    if (!scope.ok()) return nullptr;
    HMODULE module = LoadLibraryW(name);
    scope.deactivate(module == nullptr);
    return module;
}

HANDLE moduleContextForTesting() { return moduleContext; }

bool contextsUnavailableForTesting() {
#ifndef _WIN64
    return contextsUnavailable;
#else
    return false;
#endif
}

}  // namespace quorlix
