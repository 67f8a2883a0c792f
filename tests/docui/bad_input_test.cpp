// Records that break the driver's usual shape get a defined, harmless
// outcome: every record sits at the end of its page, so a read or write past
// it faults, and nothing but the named flags, selections and dmDuplex changes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/docui/doc_sheet.h"
#include "tests/docui/item_table.h"

using namespace docui_test;

namespace {

constexpr DWORD H = OPTIF_HIDE;
constexpr DWORD C = OPTIF_CHANGEONCE;
constexpr DWORD D = OPTIF_DISABLED;
constexpr BYTE W = OPTPF_OVERLAY_WARNING_ICON;
#if defined(QUORLIX_LEGACY)
constexpr DWORD HN = 0;
constexpr bool newer = false;
#else
constexpr DWORD HN = OPTIF_HIDE;
constexpr bool newer = true;
#endif

}  // namespace

TEST(BadInput, MalformedItems) {
    HANDLE printer = fixturePrinter();
    if (!printer) GTEST_SKIP() << "the fixture printer could not be registered";
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "False", "None", "True");
    ASSERT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));

    const std::vector<Text> duplexChoices = {L"None", L"Flip on Long Edge", L"Flip on Short Edge"};
    const std::vector<Text> tonerChoices = {L"Off", L"Save"};
    // clang-format off
    ItemArray items({
        {DMPUB_COLOR, rid(64150), nullptr, 0, {rid(1), rid(2)}},                             // 0
        {DMPUB_DUPLEX, rid(64160), nullptr, 1, duplexChoices, 1, C, NoOptType},               // 1
        {DMPUB_ORIENTATION, rid(64140), nullptr, 0, {rid(1), rid(2)}, 1, C, NoOptParam},      // 2
        {DMPUB_NUP, rid(64180), nullptr, 0, {rid(1), rid(2)}, 1, C, ZeroCount},               // 3
        {DMPUB_PAGEORDER, rid(64190), nullptr, 2, {rid(1), rid(2)}, 1, C},                    // 4 Sel = Count
        {DMPUB_BOOKLET_EDGE, rid(64230), nullptr, -1, {rid(1), rid(2)}, 1, C},                // 5 Sel < 0
        {DMPUB_NONE, rid(0x1234), "ZQRendering", 1, {L"Grayscale", L"Color"}},                // 6 id name
        {DMPUB_NONE, L"Toner Save", "ZQToner", 0, {rid(2), L"Save", rid(0xFFFF)}},            // 7 id choices
        {DMPUB_NONE, L"Color Rendering", "ZQRendering", 1, {L"Grayscale"}, 1, 0, NoUserData}, // 8
        {DMPUB_NONE, L"Color Rendering", nullptr, 1, {L"Grayscale"}},                         // 9 no keyword
        {DMPUB_DUPLEX, rid(64160), nullptr, 1, duplexChoices, 1, C, SmallItem},               // 10
        {DMPUB_DUPLEX, rid(64160), nullptr, 1, duplexChoices, 1, C, SmallOptType},            // 11
        {DMPUB_NONE, L"Toner Save", "ZQToner", 1, tonerChoices, 1, 0, SmallChoices},          // 12
        {DMPUB_NONE, L"Toner Save", "ZQToner", 1, tonerChoices, 1, 0, NoOptParam},            // 13
        {DMPUB_NONE, L"Toner Save", "ZQToner", 1, tonerChoices, 1, 0, ZeroCount},             // 14
        {DMPUB_NONE, L"Toner Save", "ZQToner", 1, tonerChoices, 1, 0, NoOptType},             // 15
        {DMPUB_NUP_DIRECTION, rid(64200), nullptr, 1, {rid(1), rid(2)}, 1, C},                // 16 well formed
        {DMPUB_NONE, nullptr, "ZQRendering", 1, {L"Grayscale", L"Color"}},                    // 17 null name
    });
    // clang-format on
    auto before = items.snapshot();
    EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items));
    items.expectFlags({{0}, {H | C}, {H | C}, {H | C}, {H | C}, {HN | C}, {0}, {0, {0, W, 0}},
                       {0}, {0}, {C}, {H | C}, {0}, {0}, {0}, {0}, {HN | C}, {0}},
                      "second call");
    EXPECT_TRUE(items.onlyFlagsAndSelChanged(before, false));

    // Apply: only the well-formed layout item is reported.
    sheet.driver.calls.clear();
    EXPECT_EQ(CPSUICB_ACTION_ITEMS_APPLIED, sheet.callback(CPSUICB_REASON_APPLYNOW, nullptr));
    std::vector<ExpectedCall> expected;
    if (newer) expected.push_back({"DrvUpdateUISetting", "", 16, 1, OEMCUIP_DOCPROP});
    expectCalls(sheet.driver, &items, expected, "apply");
    EXPECT_EQ(DMDUP_SIMPLEX, sheet.devmode.dmDuplex);

    // A colour change finds the first usable item with the keyword, whatever
    // its name.
    sheet.driver.calls.clear();
    before = items.snapshot();
    EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.callback(CPSUICB_REASON_SEL_CHANGED, &items[0]));
    EXPECT_EQ(D, items[6].Flags);
    EXPECT_EQ(0, items[6].Sel);
    EXPECT_EQ(0u, items[17].Flags);
    expectCalls(sheet.driver, &items, {{"DrvUpdateUISetting", "", 6, 0, OEMCUIP_DOCPROP}},
                "colour change");
    EXPECT_TRUE(items.onlyFlagsAndSelChanged(before));
}

// Parameter blocks whose size field is smaller than the record are left
// alone, and so are their items.
TEST(BadInput, BlocksSmallerThanTheRecord) {
    HANDLE printer = fixturePrinter();
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "False", "None", "True");
    ItemArray items({{DMPUB_COLOR, rid(64150), nullptr, 0, {rid(1), rid(2)}},
                     {DMPUB_DUPLEX, rid(64160), nullptr, 1, {rid(1), rid(2)}, 1, C},
                     {DMPUB_NONE, L"Color Rendering", "ZQRendering", 1, {L"Grayscale", L"Color"}}});
    auto before = items.snapshot();

    sheet.param.cbSize = sizeof(OEMCUIPPARAM) - 1;
    EXPECT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));
    EXPECT_EQ(0xEEEEu, sheet.param.cOEMOptItems);
    EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items));
    EXPECT_EQ(nullptr, sheet.param.OEMCUIPCallback);
    EXPECT_EQ(before, items.snapshot());
    expectCalls(sheet.driver, &items, {}, "small parameter block");

    // With the block whole again, a callback record that is too small, or a
    // parameter block that has shrunk since, changes nothing.
    sheet.param.cbSize = sizeof(OEMCUIPPARAM);
    ASSERT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));
    ASSERT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items));
    ASSERT_NE(nullptr, sheet.param.OEMCUIPCallback);
    sheet.driver.calls.clear();
    before = items.snapshot();
    DEVMODEW dm = sheet.devmode;
    for (WORD reason : {CPSUICB_REASON_SEL_CHANGED, CPSUICB_REASON_APPLYNOW}) {
        CPSUICBPARAM cb = {};
        cb.cbSize = sizeof(cb) - 1;
        cb.Reason = reason;
        cb.pCurItem = &items[0];
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.param.OEMCUIPCallback(&cb, &sheet.param));
        cb.cbSize = sizeof(cb);
        sheet.param.cbSize = offsetof(OEMCUIPPARAM, OEMCUIPCallback);
        EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, sheet.param.OEMCUIPCallback(&cb, &sheet.param));
        sheet.param.cbSize = sizeof(OEMCUIPPARAM);
    }
    EXPECT_EQ(before, items.snapshot());
    EXPECT_EQ(0, memcmp(&dm, &sheet.devmode, sizeof(dm)));
    expectCalls(sheet.driver, &items, {}, "small callback records");
}

// A driver that fills the whole 256-byte answer without a terminator: the
// plug-in reads only those 256 bytes and goes on.
TEST(BadInput, UnterminatedDriverAnswer) {
    HANDLE printer = fixturePrinter();
    if (!printer) GTEST_SKIP() << "the fixture printer could not be registered";
    DocSheet sheet(printer);
    ASSERT_TRUE(sheet.ready());
    answerUnits(sheet.driver, "False", "None", "True");
    ASSERT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));

    quorlix_test::FakeDriverUi::Answer full{"ZQDuplexOption", std::string(256, 'F'), false};
    sheet.driver.answers[0] = full;
    sheet.driver.calls.clear();
    EXPECT_EQ(S_OK, sheet.firstCall(OEMCUIP_DOCPROP));
    EXPECT_EQ(3u, sheet.driver.calls.size());
    EXPECT_EQ(256u, sheet.driver.lastOutputSize);

    // The long answer replaced "False": the duplex choices are allowed again,
    // while the cassette answer still rules out the second tray.
    ItemArray items({{DMPUB_DUPLEX, rid(64160), nullptr, 0,
                      {L"None", L"Flip on Long Edge", L"Flip on Short Edge"}},
                     {DMPUB_DEFSOURCE, rid(64170), nullptr, 0, {L"Tray 1", L"Tray 2"}}});
    EXPECT_EQ(S_OK, sheet.secondCall(OEMCUIP_DOCPROP, items));
    items.expectFlags({{H, {0, 0, 0}}, {0, {0, W}}}, "after a full answer");
}
