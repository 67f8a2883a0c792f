#include "core/plugin.h"

#include "core/module_state.h"
#include "core/private_devmode.h"
#include "docui/customize_items.h"
#include "layout/property_sheets.h"
#include "ppd/ppd_document.h"

namespace quorlix {

bool isLegacySystemVersion(const OSVERSIONINFOEXW &v) {
    if (v.dwMajorVersion < 5) return true;
    if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) return true;
    if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1 && v.wServicePackMajor < 3) return true;
    return false;
}

HRESULT OemUiPlugin::QueryInterface(REFIID iid, void **out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPrintOemUI2)) {
        *out = static_cast<IPrintOemUI2 *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG OemUiPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount)); }

ULONG OemUiPlugin::Release() {
    LONG count = InterlockedDecrement(&refCount);
    if (count > 0) return static_cast<ULONG>(refCount);
    if (state.driverUi) {
        state.driverUi->Release();
        state.driverUi = nullptr;
    }
    if (state.ppd) {
        delete state.ppd;
        state.ppd = nullptr;
    }
    InterlockedDecrement(&liveObjectCount);
    delete this;
    return 0;
}

HRESULT OemUiPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    return getPluginInfo(mode, buffer, size, needed);
}

HRESULT OemUiPlugin::DevMode(DWORD mode, OEMDMPARAM *param) { return devModeSection(mode, param); }

HRESULT OemUiPlugin::PublishDriverInterface(IUnknown *driver) {
    if (state.driverUi) return S_OK;
    if (!driver) return E_FAIL;
    HRESULT hr = driver->QueryInterface(IID_IPrintOemDriverUI,
                                        reinterpret_cast<void **>(&state.driverUi));
    if (FAILED(hr)) {
        state.driverUi = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT OemUiPlugin::CommonUIProp(DWORD mode, OEMCUIPPARAM *param) {
    state.legacySystem = 0;
    state.uiParam = param;
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW *>(&version)))
        state.legacySystem = isLegacySystemVersion(version) ? 1 : 0;
    return customizeDriverItems(mode, param, &state);
}

HRESULT OemUiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    return documentPropertySheets(&state, info, lParam);
}

HRESULT OemUiPlugin::QueryColorProfile(HANDLE, OEMUIOBJ *, DEVMODEW *, PVOID, ULONG queryMode,
                                       PVOID profile, ULONG *size, ULONG *flags) {
    static const wchar_t profileName[] = L"OEMPROFILE.icm";
    constexpr ULONG reportedSize = 32;  // the name takes 30 bytes; 32 is what is reported
    if (queryMode != QCP_DEVICEPROFILE) return E_FAIL;
    if (!size || !flags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (!profile || *size < reportedSize) {
        *size = reportedSize;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    // The size is in bytes but serves as the character limit; the buffer
    // holds at least 32 bytes, so the 15 characters always fit.
    lstrcpynW(static_cast<LPWSTR>(profile), profileName, static_cast<int>(*size / sizeof(wchar_t)));
    *size = reportedSize;
    *flags = QCP_PROFILEDISK;
    return S_OK;
}

// The methods below are not used by this plug-in: they touch none of their
// arguments and set no last-error code.
HRESULT OemUiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO, LPARAM) { return E_NOTIMPL; }
HRESULT OemUiPlugin::DevQueryPrintEx(OEMUIOBJ *, DEVQUERYPRINT_INFO *, DEVMODEW *, PVOID) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::DeviceCapabilities(OEMUIOBJ *, HANDLE, PWSTR, WORD, PVOID, DEVMODEW *, PVOID,
                                        DWORD, DWORD *) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }
HRESULT OemUiPlugin::PrinterEvent(PWSTR, INT, DWORD, LPARAM) { return E_NOTIMPL; }
HRESULT OemUiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return E_NOTIMPL; }
HRESULT OemUiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }
HRESULT OemUiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }
HRESULT OemUiPlugin::QueryJobAttributes(HANDLE, DEVMODEW *, DWORD, LPBYTE) { return E_NOTIMPL; }
HRESULT OemUiPlugin::HideStandardUI(DWORD) { return E_NOTIMPL; }
HRESULT OemUiPlugin::DocumentEvent(HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT) {
    return E_NOTIMPL;
}

}  // namespace quorlix
