// The private section through the DLL's DevMode. The fixtures are sections as
// a build stores them; every configuration must write the same default bytes
// and read a stored section back unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/plugin_host.h"

using quorlix_test::PluginHost;
using Plugin = quorlix_test::LoadedPlugin;

namespace {

std::vector<unsigned char> readFixture(const char *name) {
    std::string path = std::string(QUORLIX_FIXTURES) + "/devmode/" + name;
    // Fixture paths are Unix paths; Wine maps them below drive Z:.
    std::string dosPath = "Z:" + path;
    std::vector<unsigned char> bytes;
    FILE *f = fopen(dosPath.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return bytes;
}

}  // namespace

TEST(DevmodeSection, DefaultBytesArePinned) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    auto expected = readFixture("default-section.bin");
    ASSERT_EQ(224u, expected.size());
    std::vector<unsigned char> out(224 + 16, 0xFF);
    OEMDMPARAM param{};
    param.pOEMDMOut = out.data();
    ASSERT_EQ(S_OK, p.ui->DevMode(OEMDM_DEFAULT, &param));
    EXPECT_EQ(expected, std::vector<unsigned char>(out.begin(), out.begin() + 224));
    for (size_t i = 224; i < out.size(); ++i) EXPECT_EQ(0xFF, out[i]);
}

TEST(DevmodeSection, StoredSectionReadsBackUnchanged) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    auto stored = readFixture("carried-section.bin");
    ASSERT_EQ(224u, stored.size());
    for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
        std::vector<unsigned char> out(224);
        OEMDMPARAM param{};
        param.pOEMDMOut = out.data();
        ASSERT_EQ(S_OK, p.ui->DevMode(OEMDM_DEFAULT, &param));
        param.pOEMDMIn = stored.data();
        ASSERT_EQ(S_OK, p.ui->DevMode(mode, &param));
        EXPECT_EQ(stored, out) << "mode " << mode;
    }
}

TEST(DevmodeSection, OldVersionIsCarriedAsCurrent) {
    Plugin p;
    ASSERT_NE(nullptr, p.ui);
    auto stored = readFixture("carried-section.bin");
    ASSERT_EQ(224u, stored.size());
    stored[8] = 1;  // a version 1 section with the same signature
    std::vector<unsigned char> out(224);
    OEMDMPARAM param{};
    param.pOEMDMOut = out.data();
    p.ui->DevMode(OEMDM_DEFAULT, &param);
    param.pOEMDMIn = stored.data();
    ASSERT_EQ(S_OK, p.ui->DevMode(OEMDM_MERGE, &param));
    EXPECT_EQ(2, out[8]);
    stored[8] = 2;
    EXPECT_EQ(stored, out);
}
