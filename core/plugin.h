// The plug-in object the PostScript driver's user-interface module talks to.
#pragma once

#include "core/plugin_state.h"
#include "platform/oem_interfaces.h"

namespace quorlix {

// Decides from a filled version record whether the system is older than
// version 5.1 with service pack 3, the first the Layout page supports.
bool isLegacySystemVersion(const OSVERSIONINFOEXW &version);

class OemUiPlugin final : public IPrintOemUI2 {
public:
    OemUiPlugin() = default;

    PluginState *pluginState() { return &state; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size,
                                      PDWORD needed) override;
    HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, OEMDMPARAM *param) override;
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *driver) override;
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, OEMCUIPPARAM *param) override;
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info,
                                                     LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info,
                                                   LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ *uiObj, DEVQUERYPRINT_INFO *info,
                                              DEVMODEW *publicDm, PVOID privateDm) override;
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ *uiObj, HANDLE printer,
                                                 PWSTR deviceName, WORD capability, PVOID output,
                                                 DEVMODEW *publicDm, PVOID privateDm,
                                                 DWORD oldResult, DWORD *result) override;
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD level, PBYTE info) override;
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR printerName, INT event, DWORD flags,
                                           LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD event, DWORD level, LPBYTE driverInfo,
                                          LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, OEMUIOBJ *uiObj,
                                                DEVMODEW *publicDm, PVOID privateDm,
                                                ULONG queryMode, PVOID profile, ULONG *size,
                                                ULONG *flags) override;
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE printer, HANDLE heap,
                                                  PWSTR cartridges) override;
    HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE printer, DEVMODEW *devmode, DWORD level,
                                                 LPBYTE info) override;
    HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD mode) override;
    HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE printer, HDC hdc, INT escape, ULONG inSize,
                                            PVOID in, ULONG outSize, PVOID out,
                                            PINT result) override;

private:
    ~OemUiPlugin() = default;

    volatile LONG refCount = 1;
    PluginState state{};
};

}  // namespace quorlix
