// CommonUIProp through the built plug-in, with the fixture printer's PPD:
// which driver items are hidden, marked and disabled, and what the driver is
// asked.
#include <gtest/gtest.h>

#include "tests/docui/doc_sheet.h"
#include "tests/docui/item_table.h"

using namespace docui_test;

namespace {

constexpr DWORD H = OPTIF_HIDE;
constexpr DWORD D = OPTIF_DISABLED;
constexpr DWORD I = OPTIF_INITIAL_TVITEM;
constexpr BYTE W = OPTPF_OVERLAY_WARNING_ICON;
constexpr BYTE P = OPTPF_HIDE;
// Items the Layout page shows only in the newer-system configuration.
#if defined(QUORLIX_LEGACY)
constexpr DWORD HN = 0;
#else
constexpr DWORD HN = OPTIF_HIDE;
#endif

// The driver's document-properties items for the fixture PPD: its standard
// items (resource-id names, DMPUB ids), then one item per PPD feature named
// by the feature's translation, with one choice per option translation.
std::vector<ItemRow> documentItems(LONG colorSel) {
    return {
        {DMPUB_ORIENTATION, rid(64140), nullptr, 0, {rid(64141), rid(64142)}},
        {DMPUB_COLOR, rid(64150), nullptr, colorSel, {rid(64151), rid(64152)}},
        {DMPUB_DUPLEX, rid(64160), nullptr, 0, {L"None", L"Flip on Long Edge", L"Flip on Short Edge"}},
        {DMPUB_DEFSOURCE, rid(64170), nullptr, 0, {L"Tray 1", L"Tray 2"}},
        {DMPUB_NUP, rid(64180), nullptr, 0, {rid(64181), rid(64182)}},
        {DMPUB_PAGEORDER, rid(64190), nullptr, 0, {rid(64191), rid(64192)}},
        {DMPUB_NUP_DIRECTION, rid(64200), nullptr, 0, {rid(64201), rid(64202)}},
        {DMPUB_MANUAL_DUPLEX, rid(64210), nullptr, 0, {rid(64211), rid(64212)}},
        {DMPUB_STAPLE, rid(64220), nullptr, 0, {rid(64221), rid(64222)}},
        {DMPUB_BOOKLET_EDGE, rid(64230), nullptr, 0, {rid(64231), rid(64232)}},
        {DMPUB_NONE, L"Color Rendering", "ZQRendering", 1, {L"Grayscale", L"Color"}},
        {DMPUB_NONE, L"Toner Save", "ZQToner", 0, {L"Off", L"Save"}},
        {DMPUB_NONE, L"Print Density", "ZQDensity", 0, {L"Normal", L"Dark"}},
        {DMPUB_NONE, L"Output Tray", "OutputBin", 0, {L"Face Down", L"Stacker"}},
        {DMPUB_NONE, L"Finishing", "ZQFinish", 0, {L"None", L"Staple"}},
        // The input slot feature is shown only through its standard item.
        {DMPUB_NONE, L"Paper Source", "InputSlot", 0, {L"Tray 1", L"Tray 2"}},
    };
}

const std::vector<ExpectedCall> unitQueries = {
    {"DrvGetDriverSetting", "ZQDuplexOption", -1, 0, 0},
    {"DrvGetDriverSetting", "ZQTrayUnit", -1, 0, 0},
    {"DrvGetDriverSetting", "ZQStackerOption", -1, 0, 0},
};

}  // namespace

// Each first call asks the driver for every installable unit, in file order,
// and the second call marks the choices those settings rule out. A unit the
// driver does not answer for keeps the value it had.
TEST(DocumentItems, MarksFollowTheInstalledUnits) {
    HANDLE printer = fixturePrinter();
    if (!printer) GTEST_SKIP() << "the fixture printer could not be registered";
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());

    struct Scenario {
        const char *name;
        std::vector<quorlix_test::FakeDriverUi::Answer> answers;
        LONG colorSel;
        std::vector<ItemFlags> expected;
    } scenarios[] = {
        {"no duplex unit, no lower cassette, stacker",
         {{"ZQDuplexOption", "False"}, {"ZQTrayUnit", "None"}, {"ZQStackerOption", "True"}},
         0,
         {{H}, {0}, {H, {0, W, W}}, {0, {0, W}}, {H}, {H}, {HN}, {HN}, {HN}, {HN},
          {D}, {0, {0, W}}, {0, {0, 0}}, {0, {0, 0}}, {0, {0, 0}}, {0, {0, 0}}}},
        {"duplex unit, lower cassette, no stacker",
         {{"ZQDuplexOption", "True"}, {"ZQTrayUnit", "Cassette"}, {"ZQStackerOption", "False"}},
         1,
         {{H}, {0}, {H, {0, 0, 0}}, {0, {0, 0}}, {H}, {H}, {HN}, {HN}, {HN}, {HN},
          {0}, {0, {0, 0}}, {0, {0, 0}}, {0, {0, W}}, {0, {0, 0}}, {0, {0, 0}}}},
        {"only the cassette answered",
         {{"ZQTrayUnit", "None"}},
         1,
         {{H}, {0}, {H, {0, 0, 0}}, {0, {0, W}}, {H}, {H}, {HN}, {HN}, {HN}, {HN},
          {0}, {0, {0, 0}}, {0, {0, 0}}, {0, {0, W}}, {0, {0, 0}}, {0, {0, 0}}}},
    };
    for (Scenario &s : scenarios) {
        sheet.driver.calls.clear();
        sheet.driver.answers = s.answers;
        EXPECT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP)) << s.name;
        EXPECT_EQ(0u, sheet.param.cOEMOptItems) << s.name;
        expectCalls(sheet.driver, nullptr, unitQueries, s.name);
        EXPECT_EQ(256u, sheet.driver.lastOutputSize) << s.name;
        EXPECT_TRUE(sheet.driver.lastOutputZeroed) << s.name;

        ItemArray items(documentItems(s.colorSel));
        auto before = items.snapshot();
        sheet.driver.calls.clear();
        EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items)) << s.name;
        items.expectFlags(s.expected, s.name);
        EXPECT_TRUE(items.onlyFlagsAndSelChanged(before, false)) << s.name;
        expectCalls(sheet.driver, &items, {}, s.name);
        EXPECT_NE(nullptr, sheet.param.OEMCUIPCallback) << s.name;
        EXPECT_NE(nullptr, sheet.param.pOEMUserData) << s.name;
    }
}

// Without a PPD the document pass only hides the layout items and registers
// the callback; the driver is not asked about its units.
TEST(DocumentItems, WithoutAPrinterOnlyHides) {
    DocSheet sheet(nullptr);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "False", "None", "False");
    EXPECT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));
    EXPECT_EQ(0u, sheet.param.cOEMOptItems);
    ItemArray items(documentItems(0));
    EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items));
    items.expectFlags({{H}, {0}, {H}, {0}, {H}, {H}, {HN}, {HN}, {HN}, {HN},
                       {0}, {0}, {0}, {0}, {0}, {0}},
                      "no printer");
    expectCalls(sheet.driver, &items, {}, "no printer");
    EXPECT_NE(nullptr, sheet.param.OEMCUIPCallback);

    // A second call with no items still registers the callback.
    sheet.param.OEMCUIPCallback = nullptr;
    ItemArray none({});
    EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, none));
    EXPECT_NE(nullptr, sheet.param.OEMCUIPCallback);
}

// The colour-mode item is disabled only when a colour item on its first
// choice comes before it, and only an item of the recognised feature whose
// keyword is exactly "ZQRendering" counts.
TEST(DocumentItems, ColourModeRule) {
    HANDLE printer = fixturePrinter();
    if (!printer) GTEST_SKIP() << "the fixture printer could not be registered";
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "True", "Cassette", "True");
    ASSERT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));

    const ItemRow mono = {DMPUB_COLOR, rid(64150), nullptr, 0, {rid(64151), rid(64152)}};
    const ItemRow colour = {DMPUB_COLOR, rid(64150), nullptr, 1, {rid(64151), rid(64152)}};
    auto rendering = [](const wchar_t *name, const char *keyword, unsigned quirks = 0) {
        return ItemRow{DMPUB_NONE, name, keyword, 1, {L"Grayscale", L"Color"}, 1, 0, quirks};
    };
    struct Case {
        const char *name;
        std::vector<ItemRow> rows;
        int renderingItem;
        DWORD flags;
    } cases[] = {
        {"monochrome before", {mono, rendering(L"Color Rendering", "ZQRendering")}, 1, D},
        {"monochrome after", {rendering(L"Color Rendering", "ZQRendering"), mono}, 0, 0},
        {"colour before", {colour, rendering(L"Color Rendering", "ZQRendering")}, 1, 0},
        {"no colour item", {rendering(L"Color Rendering", "ZQRendering")}, 0, 0},
        {"name of no feature", {mono, rendering(L"Colour Rendering", "ZQRendering")}, 1, 0},
        {"longer keyword", {mono, rendering(L"Color Rendering", "ZQRenderingX")}, 1, 0},
        {"shorter keyword", {mono, rendering(L"Color Rendering", "ZQRenderin")}, 1, 0},
        {"lower-case keyword", {mono, rendering(L"Color Rendering", "zqrendering")}, 1, 0},
        {"no keyword", {mono, rendering(L"Color Rendering", nullptr)}, 1, 0},
        {"no USERDATA", {mono, rendering(L"Color Rendering", "ZQRendering", NoUserData)}, 1, 0},
        {"USERDATA too small",
         {mono, rendering(L"Color Rendering", "ZQRendering", SmallUserData)}, 1, 0},
    };
    for (Case &c : cases) {
        ItemArray items(c.rows);
        EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items)) << c.name;
        EXPECT_EQ(c.flags, items[c.renderingItem].Flags) << c.name;
    }
}

// Printer properties: the subtree under the heading named 64798 is hidden up
// to the next item on the heading's level; the item named 400 becomes the
// tree's initial item. The driver is not asked anything.
TEST(PrinterItems, HideOneSubtree) {
    HANDLE printer = fixturePrinter();
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "False", "None", "False");
    EXPECT_EQ(S_OK, sheet.firstCall(OEMCUIP_PRNPROP));
    EXPECT_EQ(0u, sheet.param.cOEMOptItems);
    expectCalls(sheet.driver, nullptr, {}, "printer properties, first call");

    auto row = [](BYTE level, Text name) {
        return ItemRow{DMPUB_NONE, name, nullptr, 0, {L"On", L"Off"}, level};
    };
    struct Case {
        const char *name;
        std::vector<ItemRow> rows;
        std::vector<ItemFlags> expected;
    } cases[] = {
        {"levels 1 2 2 1 2",
         {row(1, rid(64798)), row(2, L"A"), row(2, L"B"), row(1, rid(400)), row(2, L"C")},
         {{H}, {H, {P, P}}, {H, {P, P}}, {I}, {0}}},
        {"levels 2 3 1 2",
         {row(2, rid(64798)), row(3, L"A"), row(1, L"B"), row(2, L"C")},
         {{H}, {H, {P, P}}, {H, {P, P}}, {0}}},
        {"a second heading starts again",
         {row(1, rid(64798)), row(2, L"A"), row(1, rid(64798)), row(2, L"B"), row(1, L"C")},
         {{H}, {H, {P, P}}, {H}, {H, {P, P}}, {0}}},
        {"initial item inside the subtree",
         {row(1, rid(64798)), row(2, rid(400)), row(1, L"B")},
         {{H}, {H | I, {P, P}}, {0}}},
        {"no heading", {row(1, L"A"), row(2, rid(64797)), row(1, rid(401))}, {{0}, {0}, {0}}},
    };
    for (Case &c : cases) {
        ItemArray items(c.rows);
        auto before = items.snapshot();
        EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_PRNPROP, items)) << c.name;
        items.expectFlags(c.expected, c.name);
        EXPECT_TRUE(items.onlyFlagsAndSelChanged(before, false)) << c.name;
        EXPECT_EQ(nullptr, sheet.param.OEMCUIPCallback) << c.name;
    }
    expectCalls(sheet.driver, nullptr, {}, "printer properties");
}
