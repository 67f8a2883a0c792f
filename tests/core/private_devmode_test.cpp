// The private section is a stored format: these tests pin its bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/private_devmode.h"

using namespace quorlix;

namespace {

std::vector<uint8_t> section(uint8_t fill) { return std::vector<uint8_t>(kSectionSize, fill); }

uint32_t word(const std::vector<uint8_t> &s, size_t offset) {
    uint32_t v;
    memcpy(&v, s.data() + offset, 4);
    return v;
}

void putWord(std::vector<uint8_t> &s, size_t offset, uint32_t v) { memcpy(s.data() + offset, &v, 4); }

std::vector<uint8_t> defaults() {
    auto s = section(0xFF);
    setDefaults(s.data());
    return s;
}

}  // namespace

TEST(PrivateDevmode, DefaultsAreThePinnedRecord) {
    auto s = defaults();
    const uint8_t header[] = {0xE0, 0, 0, 0, 0x53, 0x50, 0x51, 0x5A, 2, 0, 0, 0,
                              1,    0, 0, 0, 1,    0,    0,    0,    0, 0, 0, 0, 3, 0, 0, 0};
    ASSERT_EQ(0, memcmp(s.data(), header, sizeof(header)));
    for (size_t i = sizeof(header); i < kSectionSize; ++i) ASSERT_EQ(0, s[i]) << "byte " << i;
}

TEST(PrivateDevmode, MergeCopiesTheShorterOfTheTwoSizes) {
    struct Case {
        uint32_t inSize, outSize;
        size_t copied;
    } cases[] = {
        {100, 224, 100},         // shorter input: the rest of the output is kept
        {300, 224, 224},         // longer input: cut at the output's size
        {0x7FFFFFFF, 224, 224},  // absurd input size: never past 224 bytes
        {224, 4096, 224},        // output claiming more than the section holds
        {0, 224, 0},
    };
    for (const Case &c : cases) {
        // Guard bytes around both sections catch any read or write past 224.
        std::vector<uint8_t> in(kSectionSize + 64, 0xAB), out(kSectionSize + 64, 0xCD);
        for (size_t i = 12; i < kSectionSize; ++i) in[i] = static_cast<uint8_t>(i);
        putWord(in, 0, c.inSize);
        putWord(in, 4, kSectionSignature);
        putWord(in, 8, 7);
        setDefaults(out.data());
        putWord(out, 0, c.outSize);
        auto before = out;
        mergeSection(in.data(), out.data());
        SCOPED_TRACE(c.inSize);
        EXPECT_EQ(kSectionSize, word(out, 0));
        EXPECT_EQ(kSectionSignature, word(out, 4));
        EXPECT_EQ(kSectionVersion, word(out, 8));
        for (size_t i = 12; i < kSectionSize; ++i)
            ASSERT_EQ(i < c.copied ? in[i] : before[i], out[i]) << "byte " << i;
        for (size_t i = kSectionSize; i < out.size(); ++i) ASSERT_EQ(0xCD, out[i]) << "guard " << i;
    }
}

TEST(PrivateDevmode, ForeignSignatureGivesDefaults) {
    auto in = defaults();
    putWord(in, 4, 0x12345678);
    putWord(in, 12, 99);
    auto out = section(0x11);
    putWord(out, 4, kSectionSignature);
    mergeSection(in.data(), out.data());
    EXPECT_EQ(defaults(), out);
}

TEST(PrivateDevmode, NullSectionsAreLeftAlone) {
    auto s = section(0x5A);
    mergeSection(nullptr, s.data());
    mergeSection(s.data(), nullptr);
    setDefaults(nullptr);
    EXPECT_EQ(section(0x5A), s);
}
