// The plug-in object's IPrintOemUI2 methods, through the built DLL.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/support/fake_driver_ui.h"
#include "tests/support/plugin_host.h"

using quorlix_test::FakeDriverUi;
using quorlix_test::PluginHost;
using Plugin = quorlix_test::LoadedPlugin;

namespace {

// Calls method `slot` of an interface with `count` pointer-sized arguments
// after `this`. On x86 the call is made in assembly and `stackDelta` gets how
// far the stack pointer moved: a __stdcall method that takes exactly `count`
// arguments pops them all and leaves 0. On x64 there is nothing to pop.
HRESULT callSlot(void *object, int slot, const uintptr_t *args, uint32_t count, int32_t *stackDelta);

#if defined(__i386__)
extern "C" uint32_t quorlixStdcallProbe(void *fn, const uint32_t *args, uint32_t n, int32_t *delta);
asm(R"(
    .text
    .globl _quorlixStdcallProbe
_quorlixStdcallProbe:
    push %ebp
    mov %esp, %ebp
    push %esi
    push %edi
    push %ebx
    mov 16(%ebp), %ecx
    mov 12(%ebp), %esi
    mov %esp, %edi
    lea -4(%esi,%ecx,4), %esi
1:  test %ecx, %ecx
    jz 2f
    pushl (%esi)
    sub $4, %esi
    dec %ecx
    jmp 1b
2:  call *8(%ebp)
    mov %esp, %ecx
    sub %edi, %ecx
    mov %edi, %esp
    mov 20(%ebp), %edx
    mov %ecx, (%edx)
    pop %ebx
    pop %edi
    pop %esi
    pop %ebp
    ret
)");

HRESULT callSlot(void *object, int slot, const uintptr_t *args, uint32_t count, int32_t *stackDelta) {
    void **vtable = *static_cast<void ***>(object);
    uint32_t all[16] = {reinterpret_cast<uint32_t>(object)};
    for (uint32_t i = 0; i < count; ++i) all[i + 1] = static_cast<uint32_t>(args[i]);
    return static_cast<HRESULT>(quorlixStdcallProbe(vtable[slot], all, count + 1, stackDelta));
}
#else
HRESULT callSlot(void *object, int slot, const uintptr_t *args, uint32_t count, int32_t *stackDelta) {
    using Fn = HRESULT (*)(void *, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                           uintptr_t, uintptr_t, uintptr_t);
    void **vtable = *static_cast<void ***>(object);
    uintptr_t a[9] = {};
    for (uint32_t i = 0; i < count && i < 9; ++i) a[i] = args[i];
    *stackDelta = 0;
    return reinterpret_cast<Fn>(vtable[slot])(object, a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                              a[7], a[8]);
}
#endif

}  // namespace

TEST(PluginMethods, QueryInterface) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    IUnknown *unk = nullptr;
    ASSERT_EQ(S_OK, p.ui->QueryInterface(IID_IPrintOemUI2, reinterpret_cast<void **>(&unk)));
    EXPECT_EQ(static_cast<IUnknown *>(p.ui), unk);
    EXPECT_EQ(1u, unk->Release());  // the query took one reference
    for (const GUID *iid : {&IID_IClassFactory, &IID_IPrintOemUI}) {
        void *out = reinterpret_cast<void *>(0x1234);
        EXPECT_EQ(E_NOINTERFACE, p.ui->QueryInterface(*iid, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_POINTER, p.ui->QueryInterface(IID_IUnknown, nullptr));
}

TEST(PluginMethods, PublishDriverInterfaceKeepsTheFirstDriver) {
    PluginHost host;
    IPrintOemUI2 *ui = host.createPlugin();
    ASSERT_NE(nullptr, ui);
    FakeDriverUi refusing, first, second;
    refusing.answerQueries = false;
    EXPECT_EQ(E_FAIL, ui->PublishDriverInterface(&refusing));
    EXPECT_EQ(1, refusing.refs);
    EXPECT_EQ(S_OK, ui->PublishDriverInterface(&first));  // tried again after a failure
    EXPECT_EQ(2, first.refs);
    EXPECT_EQ(S_OK, ui->PublishDriverInterface(&second));
    EXPECT_EQ(0, second.queryCount);
    EXPECT_EQ(1, second.refs);
    EXPECT_EQ(S_FALSE, host.canUnloadNow());
    EXPECT_EQ(0u, ui->Release());
    EXPECT_EQ(1, first.refs);  // released exactly once
    EXPECT_EQ(S_OK, host.canUnloadNow());
}

TEST(PluginMethods, GetInfo) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    struct Case {
        DWORD mode, size;
        bool buffer;
        HRESULT hr;
        DWORD needed, lastError, value;
    } cases[] = {
        {OEMGI_GETSIGNATURE, 4, true, S_OK, 4, 0, 0x5A515053},
        {OEMGI_GETVERSION, 4, true, S_OK, 4, 0, 2},
        {OEMGI_GETSIGNATURE, 3, true, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0xEEEEEEEE},
        {OEMGI_GETSIGNATURE, 4, false, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0xEEEEEEEE},
        {OEMGI_GETINTERFACEVERSION, 4, true, E_FAIL, 0, ERROR_NOT_SUPPORTED, 0xEEEEEEEE},
        {OEMGI_GETPUBLISHERINFO, 4, true, E_FAIL, 0, ERROR_NOT_SUPPORTED, 0xEEEEEEEE},
        {OEMGI_GETINTERFACEVERSION, 2, true, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0xEEEEEEEE},
    };
    for (const Case &c : cases) {
        DWORD value = 0xEEEEEEEE, needed = 0x77;
        SetLastError(0);
        EXPECT_EQ(c.hr, p.ui->GetInfo(c.mode, c.buffer ? &value : nullptr, c.size, &needed))
            << "mode " << c.mode << " size " << c.size;
        EXPECT_EQ(c.needed, needed) << "mode " << c.mode;
        EXPECT_EQ(c.value, value) << "mode " << c.mode;
        if (c.hr != S_OK) {
            EXPECT_EQ(c.lastError, GetLastError()) << "mode " << c.mode;
        }
    }
    DWORD value = 0;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, p.ui->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0u, value);
}

TEST(PluginMethods, DevModeModes) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    for (DWORD mode : {0u, 5u}) {
        OEMDMPARAM param{};
        SetLastError(0);
        EXPECT_EQ(E_FAIL, p.ui->DevMode(mode, &param));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    SetLastError(0);
    EXPECT_EQ(E_FAIL, p.ui->DevMode(OEMDM_SIZE, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    OEMDMPARAM param;
    memset(&param, 0, sizeof(param));
    param.cbBufSize = 1;
    OEMDMPARAM expected = param;
    expected.cbBufSize = 224;
    EXPECT_EQ(S_OK, p.ui->DevMode(OEMDM_SIZE, &param));
    EXPECT_EQ(0, memcmp(&expected, &param, sizeof(param)));

    // Null sections: success, nothing touched.
    for (DWORD mode : {OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_MERGE}) {
        OEMDMPARAM empty{};
        EXPECT_EQ(S_OK, p.ui->DevMode(mode, &empty));
    }
}

TEST(PluginMethods, QueryColorProfile) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    struct Case {
        ULONG mode, size;
        bool buffer;
        HRESULT hr;
        ULONG sizeAfter, flagsAfter;
        DWORD lastError;
    } cases[] = {
        {QCP_DEVICEPROFILE, 32, true, S_OK, 32, QCP_PROFILEDISK, 0},
        {QCP_DEVICEPROFILE, 1000, true, S_OK, 32, QCP_PROFILEDISK, 0},
        {QCP_DEVICEPROFILE, 30, true, E_FAIL, 32, 0x99, ERROR_INSUFFICIENT_BUFFER},
        {QCP_DEVICEPROFILE, 1000, false, E_FAIL, 32, 0x99, ERROR_INSUFFICIENT_BUFFER},
        {QCP_SOURCEPROFILE, 32, true, E_FAIL, 32, 0x99, 0},
    };
    for (const Case &c : cases) {
        wchar_t buffer[600];
        wmemset(buffer, L'#', 600);
        ULONG size = c.size, flags = 0x99;
        SetLastError(0);
        EXPECT_EQ(c.hr, p.ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, c.mode,
                                                c.buffer ? buffer : nullptr, &size, &flags))
            << "size " << c.size;
        EXPECT_EQ(c.sizeAfter, size);
        EXPECT_EQ(c.flagsAfter, flags);
        EXPECT_EQ(c.lastError, GetLastError());
        if (c.hr == S_OK) {
            EXPECT_STREQ(L"OEMPROFILE.icm", buffer);
            EXPECT_EQ(L'#', buffer[15]);  // nothing written past the terminator
        } else {
            EXPECT_EQ(L'#', buffer[0]);
        }
    }
    // Missing size or flags pointers: a failure, never a crash.
    wchar_t buffer[32];
    ULONG size = 64, flags = 0;
    EXPECT_EQ(E_FAIL, p.ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, buffer, nullptr, &flags));
    EXPECT_EQ(E_FAIL, p.ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, buffer, &size, nullptr));
}

// Every method the plug-in does not implement, called through the method
// table with exactly the platform's arguments: E_NOTIMPL, no argument
// touched, no last-error code set, and (on x86) the stack as it was.
TEST(PluginMethods, NotImplementedMethodsThroughTheTable) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    struct Slot {
        int slot;
        uint32_t args;
        const char *name;
    } slots[] = {
        {8, 2, "DevicePropertySheets"}, {9, 4, "DevQueryPrintEx"},
        {10, 9, "DeviceCapabilities"},  {11, 2, "UpgradePrinter"},
        {12, 4, "PrinterEvent"},        {13, 4, "DriverEvent"},
        {15, 4, "FontInstallerDlgProc"}, {16, 3, "UpdateExternalFonts"},
        {17, 4, "QueryJobAttributes"},  {18, 1, "HideStandardUI"},
        {19, 8, "DocumentEvent"},
    };
    for (const Slot &s : slots) {
        uint8_t guard[9][64];
        memset(guard, 0xA5, sizeof(guard));
        uintptr_t args[9];
        for (int i = 0; i < 9; ++i) args[i] = reinterpret_cast<uintptr_t>(guard[i]);
        int32_t delta = -1;
        SetLastError(0xBEEF);
        EXPECT_EQ(E_NOTIMPL, callSlot(p.ui, s.slot, args, s.args, &delta)) << s.name;
        EXPECT_EQ(0, delta) << s.name << ": the method popped the wrong number of arguments";
        EXPECT_EQ(0xBEEFu, GetLastError()) << s.name;
        for (int i = 0; i < 9; ++i)
            for (int b = 0; b < 64; ++b) ASSERT_EQ(0xA5, guard[i][b]) << s.name;
    }
}

// The implemented methods take the platform's argument counts as well.
TEST(PluginMethods, ImplementedMethodsPopTheirArguments) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    DWORD needed = 0, value = 0;
    ULONG size = 0, flags = 0;
    OEMDMPARAM dm{};
    FakeDriverUi driver;
    struct Call {
        int slot;
        uint32_t count;
        uintptr_t args[8];
        const char *name;
    } calls[] = {
        {3, 4, {OEMGI_GETVERSION, reinterpret_cast<uintptr_t>(&value), 4, reinterpret_cast<uintptr_t>(&needed)}, "GetInfo"},
        {4, 2, {OEMDM_SIZE, reinterpret_cast<uintptr_t>(&dm)}, "DevMode"},
        {5, 1, {reinterpret_cast<uintptr_t>(&driver)}, "PublishDriverInterface"},
        {14, 8, {0, 0, 0, 0, QCP_SOURCEPROFILE, 0, reinterpret_cast<uintptr_t>(&size), reinterpret_cast<uintptr_t>(&flags)}, "QueryColorProfile"},
    };
    for (const Call &c : calls) {
        int32_t delta = -1;
        callSlot(p.ui, c.slot, c.args, c.count, &delta);
        EXPECT_EQ(0, delta) << c.name;
    }
    EXPECT_EQ(2u, value);
    EXPECT_EQ(224u, dm.cbBufSize);
    EXPECT_EQ(2, driver.refs);
}
