// The activation-context functions of the system. The 64-bit builds import
// them; the 32-bit builds resolve each by name at first use, because the
// older systems they also run on may lack them.
#pragma once

#include <windows.h>

namespace quorlix {

HANDLE kernelCreateActCtxW(const ACTCTXW *context);
BOOL kernelActivateActCtx(HANDLE context, ULONG_PTR *cookie);
BOOL kernelDeactivateActCtx(DWORD flags, ULONG_PTR cookie);
void kernelReleaseActCtx(HANDLE context);
BOOL kernelQueryActCtxW(DWORD flags, HANDLE context, PVOID subInstance, ULONG infoClass,
                        PVOID buffer, SIZE_T bufferSize, SIZE_T *written);
BOOL kernelFindActCtxSectionStringW(DWORD flags, const GUID *extension, ULONG section,
                                    LPCWSTR text, PACTCTX_SECTION_KEYED_DATA data);
BOOL kernelGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE *module);

// Loads a system library by its plain name: LoadLibraryW, or LoadLibraryA on
// the systems whose GetVersion sets the top bit (they have no wide loader).
HMODULE loadSystemLibrary(const wchar_t *wideName, const char *ansiName);

#ifndef _WIN64
// The address of a kernel function, from an already loaded Unicows.dll on
// the top-bit systems, otherwise from Kernel32.dll. Null when absent.
FARPROC resolveKernelFunction(const char *name);
#endif

}  // namespace quorlix
