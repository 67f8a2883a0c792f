// Behaviour of the plug-in object that the DLL's exports cannot reach.
#include <gtest/gtest.h>

#include "core/module_state.h"
#include "core/plugin.h"

using namespace quorlix;

TEST(PluginObject, LegacySystemVersions) {
    struct Case {
        DWORD major, minor;
        WORD servicePack;
        bool legacy;
    } cases[] = {
        {4, 0, 6, true},  {5, 0, 4, true},  {5, 1, 2, true},  {5, 1, 3, false},
        {5, 2, 0, false}, {6, 0, 0, false}, {6, 1, 1, false}, {10, 0, 0, false},
    };
    for (const Case &c : cases) {
        OSVERSIONINFOEXW v{};
        v.dwMajorVersion = c.major;
        v.dwMinorVersion = c.minor;
        v.wServicePackMajor = c.servicePack;
        EXPECT_EQ(c.legacy, isLegacySystemVersion(v))
            << c.major << "." << c.minor << " SP" << c.servicePack;
    }
}

TEST(PluginObject, CommonUIPropRecordsTheBlockAndTheSystemFlag) {
    auto *plugin = new OemUiPlugin();
    PluginState *state = plugin->pluginState();
    state->legacySystem = 1;
    OEMCUIPPARAM param{};
    param.cbSize = sizeof(param);
    EXPECT_EQ(S_OK, plugin->CommonUIProp(OEMCUIP_DOCPROP, &param));
    EXPECT_EQ(&param, state->uiParam);
    EXPECT_EQ(0, state->legacySystem);  // the loader reports a current system
    InterlockedIncrement(&liveObjectCount);
    EXPECT_EQ(0u, plugin->Release());
}

TEST(PluginObject, DetachWithoutAPageContextReleasesNothing) {
    ASSERT_EQ(INVALID_HANDLE_VALUE, pageActivationContext);
    EXPECT_TRUE(moduleEntry(nullptr, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, pageActivationContext);
}
