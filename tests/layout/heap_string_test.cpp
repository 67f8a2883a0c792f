// The string loader: the block is as large as the text needs, and the text
// comes back whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "layout/heap_string.h"

namespace {

struct HeapStringCase {
    UINT id;
    size_t length;
    SIZE_T blockBytes;
};

TEST(HeapString, TextComesBackWholeInABlockOfTheExpectedSize) {
    const HeapStringCase cases[] = {
        {902, 10, 514},   // short: the first block of 257 characters
        {900, 256, 1026}, // fills the first room: one doubling
        {901, 600, 2050}, // two doublings
        {903, 0, 514},    // missing: empty text, not null
    };
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    for (const auto &c : cases) {
        wchar_t *text = quorlix::loadHeapString(GetModuleHandleW(nullptr), heap, c.id);
        ASSERT_NE(text, nullptr) << "string " << c.id;
        EXPECT_EQ(wcslen(text), c.length) << "string " << c.id;
        EXPECT_EQ(HeapSize(heap, 0, text), c.blockBytes) << "string " << c.id;
        if (c.length >= 26) {
            std::wstring s(text);
            EXPECT_EQ(s.substr(0, 16), L"abcdefghijklmnop");
            EXPECT_EQ(s.back(), c.id == 901 ? L'x' : L'p');
        }
        HeapFree(heap, 0, text);
    }
    HeapDestroy(heap);
}

TEST(HeapString, NoHeapGivesNoText) {
    EXPECT_EQ(quorlix::loadHeapString(GetModuleHandleW(nullptr), nullptr, 902), nullptr);
}

}  // namespace
