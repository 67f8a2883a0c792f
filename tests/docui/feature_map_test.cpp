// The feature vocabulary and its string tables, and the driver query for an
// installable unit, called directly; the display names come from the built
// plug-in's resources.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "docui/customize_items.h"
#include "docui/feature_map.h"
#include "tests/support/fake_driver_ui.h"
#include "tests/support/plugin_host.h"

using namespace quorlix;

TEST(FeatureMap, LookupFeature) {
    quorlix_test::PluginHost host;
    ASSERT_TRUE(host.loaded());
    HMODULE module = host.module();
    struct Case {
        const wchar_t *keyword;
        DWORD dmPubId;
        HRESULT hr;
        DWORD code;
        const wchar_t *name;
    } cases[] = {
        {nullptr, DMPUB_DEFSOURCE, S_OK, 0x01, L"Input Slot"},
        {nullptr, DMPUB_DUPLEX, S_OK, 0x05, L"Duplex"},
        {L"*ZQToner", DMPUB_FORMNAME, S_OK, 0x04, L"Page Size"},  // the id decides
        {L"*ZQRendering", 0, S_OK, 0x45, L"Color Mode"},
        {L"*OutputBin", 0, S_OK, 0x4B, L"Output Bin"},
        {L"*ZQOUTPUTID", 0, S_OK, 0x51, L"Output"},
        {L"*ZQRotate90Degrees", 0, S_OK, 0x4E, L"Output Direction"},
        {L"*ZQRotate180Degrees", 0, S_OK, 0x4D, L"Rotate By 180\u00B0"},
        {L"*InputSlot", 0, E_FAIL, 0, nullptr},  // shown only through its standard item
        {L"*zqrendering", 0, E_FAIL, 0, nullptr},
        {L"ZQRendering", 0, E_FAIL, 0, nullptr},
        {L"*ZQRendering ", 0, E_FAIL, 0, nullptr},
        {L"*ZQOutputID", 0, E_FAIL, 0, nullptr},
        {L"", 0, E_FAIL, 0, nullptr},
        {nullptr, DMPUB_COLOR, E_FAIL, 0, nullptr},
        {nullptr, DMPUB_ORIENTATION, E_FAIL, 0, nullptr},
        {nullptr, DMPUB_OUTPUTBIN, E_FAIL, 0, nullptr},
        {nullptr, 0, E_INVALIDARG, 0, nullptr},
    };
    for (const Case &c : cases) {
        FeatureLabel label = {};
        std::wstring what = c.keyword ? c.keyword : L"(none)";
        EXPECT_EQ(c.hr, lookupFeature(module, &label, c.keyword, c.dmPubId))
            << "keyword " << std::string(what.begin(), what.end()) << " id " << c.dmPubId;
        if (c.hr != S_OK) continue;
        EXPECT_EQ(c.code, label.featureCode);
        EXPECT_STREQ(c.name, label.displayName);
    }
    EXPECT_EQ(E_INVALIDARG, lookupFeature(module, nullptr, L"*ZQToner", 0));
    // A module without the names: every lookup fails, matching rows too.
    FeatureLabel label = {};
    EXPECT_EQ(E_FAIL, lookupFeature(GetModuleHandleW(L"kernel32.dll"), &label, L"*ZQToner", 0));
    EXPECT_EQ(E_FAIL, lookupFeature(nullptr, &label, nullptr, DMPUB_DUPLEX));

    EXPECT_STREQ(L"*InstalledMemory", keywordForCode(0x20));
    EXPECT_STREQ(L"*ZQOUTPUTID", keywordForCode(0x51));
    EXPECT_EQ(nullptr, keywordForCode(0x06));
    EXPECT_EQ(nullptr, keywordForCode(0));
}

// The table's shape: codes unique and in their three ranges, each name id of
// 10001 to 10028 used once, standard items only in the first range.
TEST(FeatureMap, TableShape) {
    bool nameUsed[28] = {};
    int rows = 0;
    for (const FeatureMapRow *row = FeatureMap; row->featureCode != 0; ++row, ++rows) {
        DWORD code = row->featureCode;
        EXPECT_TRUE((code >= 0x01 && code <= 0x05) || (code >= 0x20 && code <= 0x24) ||
                    (code >= 0x40 && code <= 0x51))
            << code;
        EXPECT_EQ(code <= 0x05, row->dmPubId != 0) << code;
        for (const FeatureMapRow *other = FeatureMap; other != row; ++other)
            EXPECT_NE(other->featureCode, code);
        ASSERT_GE(row->nameId, 10001u);
        ASSERT_LE(row->nameId, 10028u);
        EXPECT_FALSE(nameUsed[row->nameId - 10001]) << row->nameId;
        nameUsed[row->nameId - 10001] = true;
        EXPECT_EQ(L'*', row->ppdKeyword[0]);
    }
    EXPECT_EQ(28, rows);
    EXPECT_EQ(0u, FeatureMap[28].dmPubId);
    EXPECT_EQ(0u, FeatureMap[28].nameId);
    EXPECT_STREQ(L"", FeatureMap[28].ppdKeyword);
}

// Every language block of the string table holds all 28 names, and the
// language-neutral block holds the names of the table.
TEST(FeatureMap, StringTablesInEightLanguages) {
    quorlix_test::PluginHost host;
    ASSERT_TRUE(host.loaded());
    const LANGID languages[] = {1024, 1031, 1036, 1040, 1041, 1043, 2070, 3082};
    const wchar_t *neutral[28] = {
        L"Input Slot", L"Resolution", L"Media Type", L"Installed Memory",
        L"Lower Cassette Unit", L"Duplex Unit", L"Page Size", L"Screen",
        L"Pure Black Mode", L"Crispel", L"Toner Save Mode", L"Image Protect",
        L"Color Mode", L"Press Simulation", L"RGB Source", L"Rendering Intent",
        L"Simulation Method", L"Separations", L"Output Bin", L"Density",
        L"Rotate By 180\u00B0", L"Output Direction", L"Start Page", L"Stacker Unit",
        L"Duplex", L"Auto Mono Mode", L"Output", L"CompactFlash"};
    for (LANGID language : languages) {
        std::wstring names[28];
        // Strings live in blocks of 16: block n holds ids (n - 1) * 16 to n * 16 - 1.
        for (UINT block = 10001 / 16 + 1; block <= 10028 / 16 + 1; ++block) {
            HRSRC found = FindResourceExW(host.module(), MAKEINTRESOURCEW(6),
                                          MAKEINTRESOURCEW(block), language);
            ASSERT_NE(nullptr, found) << "language " << language << " block " << block;
            const WORD *p = static_cast<const WORD *>(LockResource(LoadResource(host.module(), found)));
            ASSERT_NE(nullptr, p);
            for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
                WORD length = *p++;
                if (id >= 10001 && id <= 10028)
                    names[id - 10001].assign(reinterpret_cast<const wchar_t *>(p), length);
                p += length;
            }
        }
        for (int i = 0; i < 28; ++i) {
            EXPECT_FALSE(names[i].empty()) << "language " << language << " id " << 10001 + i;
            if (language == 1024) {
                EXPECT_EQ(neutral[i], names[i]) << "id " << 10001 + i;
            }
        }
    }
}

// The driver is asked with the keyword less its asterisk, into a zeroed
// buffer said to hold 256 bytes; a full answer without terminator comes back
// whole, and a driver failure comes back unchanged.
TEST(InstalledOptionQuery, AsksTheDriver) {
    quorlix_test::FakeDriverUi driver;
    PluginState state = {};
    state.driverUi = &driver;
    OEMUIOBJ uiObj = {sizeof(OEMUIOBJ), nullptr};
    wchar_t option[260];

    driver.answers = {{"ZQTrayUnit", "Cassette"}, {"ZQDuplexOption", std::string(256, 'T'), false}};
    wmemset(option, L'#', 260);
    EXPECT_EQ(S_OK, queryInstalledOption(&uiObj, &state, L"*ZQTrayUnit", option));
    EXPECT_STREQ(L"Cassette", option);
    ASSERT_EQ(1u, driver.calls.size());
    EXPECT_EQ("ZQTrayUnit", driver.calls[0].feature);
    EXPECT_EQ(256u, driver.lastOutputSize);
    EXPECT_TRUE(driver.lastOutputZeroed);

    EXPECT_EQ(S_OK, queryInstalledOption(&uiObj, &state, L"*ZQDuplexOption", option));
    EXPECT_EQ(std::wstring(256, L'T'), std::wstring(option));

    EXPECT_EQ(E_INVALIDARG, queryInstalledOption(&uiObj, &state, L"*ZQStackerOption", option));
    driver.answers = {{"ZQStackerOption", ""}};
    EXPECT_EQ(S_OK, queryInstalledOption(&uiObj, &state, L"*ZQStackerOption", option));
    EXPECT_STREQ(L"", option);

    size_t calls = driver.calls.size();
    EXPECT_EQ(E_INVALIDARG, queryInstalledOption(&uiObj, &state, L"", option));
    EXPECT_EQ(E_INVALIDARG, queryInstalledOption(&uiObj, &state, nullptr, option));
    EXPECT_EQ(E_INVALIDARG, queryInstalledOption(&uiObj, &state, L"*ZQTrayUnit", nullptr));
    state.driverUi = nullptr;
    EXPECT_EQ(E_FAIL, queryInstalledOption(&uiObj, &state, L"*ZQTrayUnit", option));
    EXPECT_EQ(calls, driver.calls.size());
}

// On a system the Layout page does not support, nothing is hidden.
TEST(DocumentItemsOnOlderSystems, NothingHidden) {
    OPTITEM items[3] = {};
    for (OPTITEM &item : items) item.cbSize = sizeof(OPTITEM);
    items[0].DMPubID = DMPUB_ORIENTATION;
    items[1].DMPubID = DMPUB_DUPLEX;
    items[2].DMPubID = DMPUB_NUP;
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof(param);
    param.pDrvOptItems = items;
    param.cDrvOptItems = 3;
    param.pOEMOptItems = items + 3;
    PluginState state = {};
    state.legacySystem = 1;
    EXPECT_EQ(S_OK, customizeDriverItems(OEMCUIP_DOCPROP, &param, &state));
    for (const OPTITEM &item : items) EXPECT_EQ(0u, item.Flags);
    EXPECT_NE(nullptr, param.OEMCUIPCallback);
    state.legacySystem = 0;
    EXPECT_EQ(S_OK, customizeDriverItems(OEMCUIP_DOCPROP, &param, &state));
    for (const OPTITEM &item : items) EXPECT_EQ(DWORD(OPTIF_HIDE), item.Flags);
}
