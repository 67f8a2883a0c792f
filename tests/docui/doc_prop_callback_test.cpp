// The item callback that CommonUIProp registers, called the way the common
// property sheet UI calls it: on a selection change and on apply.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/docui/doc_sheet.h"
#include "tests/docui/item_table.h"

using namespace docui_test;

namespace {

constexpr DWORD C = OPTIF_CHANGEONCE;
constexpr DWORD D = OPTIF_DISABLED;
constexpr BYTE W = OPTPF_OVERLAY_WARNING_ICON;
constexpr DWORD kUpdate = OEMCUIP_DOCPROP;
#if defined(QUORLIX_LEGACY)
constexpr bool newer = false;
#else
constexpr bool newer = true;
#endif

// A sheet whose callback is registered (no printer is needed for it).
struct RegisteredSheet : DocSheet {
    explicit RegisteredSheet(ItemArray &items) : DocSheet(nullptr) {
        if (!ready()) return;
        firstCall(OEMCUIP_DOCPROP);
        secondCall(OEMCUIP_DOCPROP, items);
        driver.calls.clear();
    }
};

ItemRow item(BYTE dmPubId, DWORD flags, LONG sel, std::vector<BYTE> choiceFlags = {},
             int choices = 3) {
    ItemRow row{dmPubId, rid(64100 + dmPubId), nullptr, sel, {}, 1, flags};
    for (int c = 0; c < choices; ++c) row.choices.push_back(rid(64300 + c));
    row.choiceFlags = choiceFlags;
    return row;
}

ItemRow renderingItem(DWORD flags, LONG sel) {
    return {DMPUB_NONE, L"Color Rendering", "ZQRendering", sel, {L"Grayscale", L"Color"}, 1, flags};
}

}  // namespace

// A change of the colour item moves the colour-mode item to the same choice,
// disables it on the first (monochrome) choice and enables it otherwise, and
// tells the driver with selection number 0.
TEST(DocPropCallback, ColourChangeKeepsColourModeInStep) {
    struct Case {
        LONG colorSel;
        DWORD renderingFlagsBefore;
        DWORD renderingFlagsAfter;
    } cases[] = {{0, 0, D}, {1, D, 0}, {1, 0, 0}, {0, D, D}};
    for (const Case &c : cases) {
        ItemArray items({item(DMPUB_COLOR, 0, c.colorSel, {}, 2), item(DMPUB_NONE, 0, 0),
                         renderingItem(c.renderingFlagsBefore, 1 - c.colorSel)});
        RegisteredSheet sheet(items);
        ASSERT_TRUE(sheet.ready());
        auto before = items.snapshot();
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[0]));
        EXPECT_EQ(c.renderingFlagsAfter, items[2].Flags) << "colour choice " << c.colorSel;
        EXPECT_EQ(c.colorSel, items[2].Sel);
        EXPECT_TRUE(items.onlyFlagsAndSelChanged(before));
        expectCalls(sheet.driver, &items, {{"DrvUpdateUISetting", "", 2, 0, kUpdate}},
                    "colour change");
    }
}

// Selection changes that do not concern the colour-mode item change nothing
// and tell the driver nothing; without the plug-in's state the item still
// follows, but the driver is not told; a failing driver changes nothing.
TEST(DocPropCallback, SelectionChangesThatChangeNothing) {
    {
        ItemArray items({item(DMPUB_COLOR, 0, 0, {}, 2), renderingItem(0, 1), item(DMPUB_DUPLEX, 0, 2)});
        RegisteredSheet sheet(items);
        ASSERT_TRUE(sheet.ready());
        auto before = items.snapshot();
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[2]));
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[1]));
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_ITEMS_REVERTED, &items[0]));
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, nullptr));
        EXPECT_EQ(before, items.snapshot());
        expectCalls(sheet.driver, &items, {}, "other items and reasons");
    }
    {
        ItemArray items({item(DMPUB_COLOR, 0, 0, {}, 2), item(DMPUB_NONE, 0, 1)});
        RegisteredSheet sheet(items);
        ASSERT_TRUE(sheet.ready());
        auto before = items.snapshot();
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[0]));
        EXPECT_EQ(before, items.snapshot());
        expectCalls(sheet.driver, &items, {}, "no colour-mode item");
    }
    {
        ItemArray items({item(DMPUB_COLOR, 0, 0, {}, 2), renderingItem(0, 1)});
        RegisteredSheet sheet(items);
        ASSERT_TRUE(sheet.ready());
        sheet.param.pOEMUserData = nullptr;
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[0]));
        EXPECT_EQ(D, items[1].Flags);
        EXPECT_EQ(0, items[1].Sel);
        expectCalls(sheet.driver, &items, {}, "no plug-in state");
    }
}

// On apply the driver hears of each changed layout item of the apply set
// whose current choice is not ruled out, with the item's selection.
TEST(DocPropCallback, ApplyReportsChangedLayoutItems) {
    ItemArray items({
        item(DMPUB_ORIENTATION, C, 1, {}, 2),   // 0 reported
        item(DMPUB_DUPLEX, C, 2),               // 1 reported, dmDuplex 2
        item(DMPUB_NUP, 0, 3, {}, 7),           // 2 unchanged
        item(DMPUB_PAGEORDER, C, 1, {0, W}, 2), // 3 choice ruled out
        item(DMPUB_NUP_DIRECTION, C, 2, {}, 4), // 4 newer systems only
        item(DMPUB_MANUAL_DUPLEX, C, 1, {}, 2), // 5 never
        item(DMPUB_STAPLE, C, 1, {}, 2),        // 6 never
        item(DMPUB_BOOKLET_EDGE, C, 1, {}, 2),  // 7 newer systems only
        item(DMPUB_COLOR, C, 1, {}, 2),         // 8 not a layout item
        item(DMPUB_NONE, C, 1),                 // 9 a PPD item
        item(DMPUB_PAGEORDER, C, 0, {0, W}, 2), // 10 reported: its choice is allowed
    });
    RegisteredSheet sheet(items);
    ASSERT_TRUE(sheet.ready());
    DEVMODEW expectedDm = sheet.devmode;
    expectedDm.dmDuplex = DMDUP_VERTICAL;
    auto before = items.snapshot();

    EXPECT_EQ(CPSUICB_ACTION_ITEMS_APPLIED, sheet.callback(CPSUICB_REASON_APPLYNOW, nullptr));
    std::vector<ExpectedCall> expected = {
        {"DrvUpdateUISetting", "", 0, 1, kUpdate},
        {"DrvUpdateUISetting", "", 1, 2, kUpdate},
    };
    if (newer) expected.push_back({"DrvUpdateUISetting", "", 4, 2, kUpdate});
    if (newer) expected.push_back({"DrvUpdateUISetting", "", 7, 1, kUpdate});
    expected.push_back({"DrvUpdateUISetting", "", 10, 0, kUpdate});
    expectCalls(sheet.driver, &items, expected, "apply");
    EXPECT_EQ(0, memcmp(&expectedDm, &sheet.devmode, sizeof(DEVMODEW)));
    EXPECT_EQ(before, items.snapshot());

    // No plug-in state: nothing is reported, and the result is the same.
    sheet.driver.calls.clear();
    sheet.param.pOEMUserData = nullptr;
    EXPECT_EQ(CPSUICB_ACTION_ITEMS_APPLIED, sheet.callback(CPSUICB_REASON_APPLYNOW, nullptr));
    expectCalls(sheet.driver, &items, {}, "apply without state");
}

// The duplex choice goes into the public DEVMODE only when the driver took
// it: None and anything past the two flips give simplex.
TEST(DocPropCallback, ApplyWritesDuplexIntoTheDevmode) {
    struct Case {
        LONG sel;
        BYTE choiceFlag;
        HRESULT driverResult;
        WORD dmSize;
        short dmDuplex;  // 0x77: untouched
        bool reported;
    } cases[] = {
        {0, 0, S_OK, sizeof(DEVMODEW), DMDUP_SIMPLEX, true},
        {1, 0, S_OK, sizeof(DEVMODEW), DMDUP_HORIZONTAL, true},
        {2, 0, S_OK, sizeof(DEVMODEW), DMDUP_VERTICAL, true},
        {3, 0, S_OK, sizeof(DEVMODEW), DMDUP_SIMPLEX, true},
        {1, W, S_OK, sizeof(DEVMODEW), 0x77, false},
        {2, 0, E_FAIL, sizeof(DEVMODEW), 0x77, true},
        {2, 0, S_FALSE, sizeof(DEVMODEW), 0x77, true},
        // A public DEVMODE too small to hold dmDuplex is not written.
        {2, 0, S_OK, offsetof(DEVMODEW, dmDuplex), 0x77, true},
    };
    for (const Case &c : cases) {
        std::vector<BYTE> flags(4, 0);
        flags[c.sel] = c.choiceFlag;
        ItemArray items({item(DMPUB_DUPLEX, C, c.sel, flags, 4), item(DMPUB_ORIENTATION, C, 1, {}, 2)});
        RegisteredSheet sheet(items);
        ASSERT_TRUE(sheet.ready());
        sheet.driver.updateResult = c.driverResult;
        sheet.devmode.dmSize = c.dmSize;
        sheet.devmode.dmDuplex = 0x77;
        DEVMODEW expectedDm = sheet.devmode;
        expectedDm.dmDuplex = c.dmDuplex;

        EXPECT_EQ(CPSUICB_ACTION_ITEMS_APPLIED, sheet.callback(CPSUICB_REASON_APPLYNOW, nullptr));
        std::vector<ExpectedCall> expected;
        if (c.reported) expected.push_back({"DrvUpdateUISetting", "", 0, DWORD(c.sel), kUpdate});
        expected.push_back({"DrvUpdateUISetting", "", 1, 1, kUpdate});
        expectCalls(sheet.driver, &items, expected, "duplex apply");
        EXPECT_EQ(0, memcmp(&expectedDm, &sheet.devmode, sizeof(DEVMODEW)))
            << "choice " << c.sel << " dmDuplex " << sheet.devmode.dmDuplex;
    }
}
