#include "tests/docui/doc_sheet.h"

#include "tests/support/spooler_printer.h"

namespace docui_test {

HANDLE fixturePrinter() {
    static const wchar_t name[] = L"Quorlix docui test printer";
    static const bool registered =
        quorlix_test::registerTestPrinter(name, L"" QUORLIX_FIXTURES L"/docui/docui.ppd");
    if (!registered) return nullptr;
    static quorlix_test::TestPrinter printer(name);
    return printer.get();
}

DocSheet::DocSheet(HANDLE printer) {
    ui = host.createPlugin();
    if (!ui) return;
    ui->PublishDriverInterface(&driver);
    devmode.dmSize = sizeof(DEVMODEW);
    devmode.dmFields = DM_DUPLEX;
    devmode.dmDuplex = DMDUP_SIMPLEX;
    param.cbSize = sizeof(OEMCUIPPARAM);
    param.poemuiobj = &uiObj;
    param.hPrinter = printer;
    param.pPrinterName = const_cast<PWSTR>(L"quorlix docui");
    param.hModule = host.module();
    param.hOEMHeap = GetProcessHeap();
    param.pPublicDM = &devmode;
}

DocSheet::~DocSheet() {
    if (ui) ui->Release();
}

HRESULT DocSheet::firstCall(DWORD mode) {
    param.pDrvOptItems = nullptr;
    param.cDrvOptItems = 0;
    param.pOEMOptItems = nullptr;
    param.cOEMOptItems = 0xEEEE;
    return ui->CommonUIProp(mode, &param);
}

HRESULT DocSheet::secondCall(DWORD mode, ItemArray &items) {
    param.pDrvOptItems = items.items();
    param.cDrvOptItems = items.count();
    // The driver's room for the plug-in's own items follows its items; the
    // plug-in asked for none, so this is never read.
    param.pOEMOptItems = items.items() + items.count();
    param.cOEMOptItems = 0;
    return ui->CommonUIProp(mode, &param);
}

LONG DocSheet::callback(WORD reason, OPTITEM *current) {
    CPSUICBPARAM cb = {};
    cb.cbSize = sizeof(cb);
    cb.Reason = reason;
    cb.pOptItem = param.pDrvOptItems;
    cb.cOptItem = static_cast<WORD>(param.cDrvOptItems);
    cb.pCurItem = current;
    cb.OldSel = current ? current->Sel : 0;
    return param.OEMCUIPCallback(&cb, &param);
}

void answerUnits(quorlix_test::FakeDriverUi &driver, const char *duplexUnit, const char *trayUnit,
                 const char *stacker) {
    driver.answers = {{"ZQDuplexOption", duplexUnit}, {"ZQTrayUnit", trayUnit},
                      {"ZQStackerOption", stacker}};
}

}  // namespace docui_test
