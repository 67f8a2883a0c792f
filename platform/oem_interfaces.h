// Declarations of the PostScript driver's plug-in interfaces and records that
// the system headers of the cross toolchain do not carry.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <prsht.h>
#include <compstui.h>

// winspool.h maps DeviceCapabilities to DeviceCapabilitiesW; here it is the
// plug-in method's own name.
#undef DeviceCapabilities

struct _DEVQUERYPRINT_INFO;
typedef struct _DEVQUERYPRINT_INFO DEVQUERYPRINT_INFO;

// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}: the older interface, never answered.
inline constexpr GUID IID_IPrintOemUI = {
    0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {292515F9-B54B-489B-9275-BAB56821395E}
inline constexpr GUID IID_IPrintOemUI2 = {
    0x292515F9, 0xB54B, 0x489B, {0x92, 0x75, 0xBA, 0xB5, 0x68, 0x21, 0x39, 0x5E}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
inline constexpr GUID IID_IPrintOemDriverUI = {
    0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// The plug-in's class id {ABCE80D7-9F46-11D1-882A-00C04FB961EC}.
inline constexpr GUID CLSID_QuorlixPlugin = {
    0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

struct OEMUIOBJ {
    DWORD cbSize;
    PVOID pOemUIProcs;
};

struct OEMCUIPPARAM;
typedef LONG(CALLBACK *OEMCUIPCALLBACK)(CPSUICBPARAM *, OEMCUIPPARAM *);

struct OEMCUIPPARAM {
    DWORD cbSize;
    OEMUIOBJ *poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    DEVMODEW *pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    OPTITEM *pDrvOptItems;
    DWORD cDrvOptItems;
    OPTITEM *pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
};

struct OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    DEVMODEW *pPublicDMIn;
    DEVMODEW *pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
};

struct OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
};

// What the PostScript driver puts behind each property item's UserData.
struct USERDATA {
    DWORD dwSize;
    ULONG_PTR dwItemID;
    PSTR pKeyWordName;
    DWORD dwReserved[8];
};

enum : DWORD {
    OEMGI_GETSIGNATURE = 1,
    OEMGI_GETINTERFACEVERSION = 2,
    OEMGI_GETVERSION = 3,
    OEMGI_GETPUBLISHERINFO = 4,
    OEMDM_SIZE = 1,
    OEMDM_DEFAULT = 2,
    OEMDM_CONVERT = 3,
    OEMDM_MERGE = 4,
    OEMCUIP_DOCPROP = 1,
    OEMCUIP_PRNPROP = 2,
};

enum : ULONG {
    QCP_DEVICEPROFILE = 0,
    QCP_SOURCEPROFILE = 1,
    QCP_PROFILEMEMORY = 1,
    QCP_PROFILEDISK = 2,
};

// The full page record the plug-in hands to the sheet: the toolchain's
// PROPSHEETPAGEW stops at hActCtx, the platform's carries one more member.
struct PROPSHEETPAGEW_FULL {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    union {
        LPCWSTR pszTemplate;
        LPCDLGTEMPLATEW pResource;
    };
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszTitle;
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKW pfnCallback;
    UINT *pcRefParent;
    LPCWSTR pszHeaderTitle;
    LPCWSTR pszHeaderSubTitle;
    HANDLE hActCtx;
    union {
        HBITMAP hbmHeader;
        LPCWSTR pszbmHeader;
    };
};

#ifdef _WIN64
static_assert(sizeof(PROPSHEETPAGEW_FULL) == 104, "page record size");
#else
static_assert(sizeof(PROPSHEETPAGEW_FULL) == 56, "page record size");
#endif



// The driver's helper interface, used by the plug-in.
struct IPrintOemDriverUI : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID output,
                                                          DWORD size, PDWORD needed,
                                                          PDWORD optionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE printer, PCSTR feature,
                                                                PCSTR option) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID optItem,
                                                         DWORD previousSel, DWORD mode) = 0;
};

// The interface the plug-in implements; slot order is the platform's.
struct IPrintOemUI2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size,
                                              PDWORD needed) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, OEMDMPARAM *param) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *driver) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, OEMCUIPPARAM *param) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info,
                                                             LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ *uiObj, DEVQUERYPRINT_INFO *info,
                                                      DEVMODEW *publicDm, PVOID privateDm) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ *uiObj, HANDLE printer,
                                                         PWSTR deviceName, WORD capability,
                                                         PVOID output, DEVMODEW *publicDm,
                                                         PVOID privateDm, DWORD oldResult,
                                                         DWORD *result) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD level, PBYTE info) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR printerName, INT event, DWORD flags,
                                                   LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD event, DWORD level, LPBYTE driverInfo,
                                                  LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, OEMUIOBJ *uiObj,
                                                        DEVMODEW *publicDm, PVOID privateDm,
                                                        ULONG queryMode, PVOID profile,
                                                        ULONG *size, ULONG *flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hwnd, UINT message, WPARAM wParam,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE printer, HANDLE heap,
                                                          PWSTR cartridges) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE printer, DEVMODEW *devmode,
                                                         DWORD level, LPBYTE info) = 0;
    virtual HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE printer, HDC hdc, INT escape,
                                                    ULONG inSize, PVOID in, ULONG outSize,
                                                    PVOID out, PINT result) = 0;
};
