// Plays the PostScript driver's part for one property sheet: loads the built
// plug-in, publishes a fake driver interface, and makes the two CommonUIProp
// calls and the item callback the way the driver makes them.
#pragma once

#include "tests/docui/item_table.h"
#include "tests/support/fake_driver_ui.h"
#include "tests/support/plugin_host.h"

namespace docui_test {

// The printer registered in the spooler with the fixture PPD (opened once
// per process), or null when it cannot be registered.
HANDLE fixturePrinter();

class DocSheet {
public:
    explicit DocSheet(HANDLE printer);
    ~DocSheet();
    DocSheet(const DocSheet &) = delete;
    DocSheet &operator=(const DocSheet &) = delete;

    bool ready() const { return ui != nullptr; }

    // CommonUIProp without item arrays (the driver's first call).
    HRESULT firstCall(DWORD mode);
    // CommonUIProp with the driver's items (the second call).
    HRESULT secondCall(DWORD mode, ItemArray &items);
    // The item callback the second call registered.
    LONG callback(WORD reason, OPTITEM *current);

    quorlix_test::PluginHost host;
    quorlix_test::FakeDriverUi driver;
    IPrintOemUI2 *ui = nullptr;
    OEMUIOBJ uiObj = {sizeof(OEMUIOBJ), nullptr};
    DEVMODEW devmode = {};
    OEMCUIPPARAM param = {};
};

// Driver answers for the three installable units of the fixture PPD.
void answerUnits(quorlix_test::FakeDriverUi &driver, const char *duplexUnit, const char *trayUnit,
                 const char *stacker);

}  // namespace docui_test
