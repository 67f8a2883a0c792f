// The Layout page's resources as the built DLL carries them: string tables
// in their languages, dialog template 11001, the icons and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/plugin_host.h"

namespace {

constexpr WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);  // 0x0400

// One string as FindResourceExW finds it in exactly one language: the
// string's block of 16, then the counted texts inside it. False when the
// block is absent; an empty text when the id is not in it.
bool readString(HMODULE module, WORD language, UINT id, std::wstring *out) {
    HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                  MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return false;
    auto *p = static_cast<const WCHAR *>(LockResource(LoadResource(module, found)));
    if (!p) return false;
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    out->assign(p + 1, *p);
    return true;
}

struct ExpectedText {
    UINT id;
    const wchar_t *text;
};

const ExpectedText neutralTexts[] = {
    {11002, L"Layout"},
    {11050, L"&Orientation:"},
    {11051, L"Print on &Both Sides:"},
    {11052, L"Page O&rder:"},
    {11053, L"Page Format"},
    {11054, L"Page&s per Sheet"},
    {11055, L"Boo&klet"},
    {11056, L"Pages per Sheet &Layout:"},
    {11058, L"Booklet Binding &Edge:"},
    {11059, L"Dra&w Borders"},
    {11060, L"Portrait"},
    {11061, L"Landscape"},
    {11062, L"Rotated Landscape"},
    {11065, L"None"},
    {11066, L"Flip on Short Edge"},
    {11067, L"Flip on Long Edge"},
    {11070, L"Front to Back"},
    {11071, L"Back to Front"},
    {11080, L"1"},
    {11081, L"2"},
    {11082, L"4"},
    {11083, L"6"},
    {11084, L"9"},
    {11085, L"16"},
    {11090, L"Right then Down"},
    {11091, L"Down then Right"},
    {11092, L"Left then Down"},
    {11093, L"Down then Left"},
    {11095, L"On Left Edge"},
    {11096, L"On Right Edge"},
};
const ExpectedText germanTexts[] = {
    {11002, L"Layout"},
    {11050, L"&Ausrichtung:"},
    {11051, L"&Beidseitiger Druck:"},
    {11052, L"&Seitenreihenfolge:"},
    {11053, L"Seitenformat"},
    {11054, L"Seiten pr&o Blatt"},
    {11055, L"Bros&chüre"},
    {11056, L"&Mehrfachblattlayout:"},
    {11058, L"Brosc&hürenheftrand:"},
    {11059, L"&Ränder zeichnen"},
    {11060, L"Hochformat"},
    {11061, L"Querformat"},
    {11062, L"Querformat gedreht"},
    {11065, L"Kein"},
    {11066, L"Kurze Seite"},
    {11067, L"Lange Seite"},
    {11070, L"Von vorne nach hinten"},
    {11071, L"Von hinten nach vorne"},
    {11090, L"Nach rechts, dann nach unten"},
    {11091, L"Nach unten, dann nach rechts"},
    {11092, L"Nach links, dann nach unten"},
    {11093, L"Nach unten, dann nach links"},
    {11095, L"Am linken Rand"},
    {11096, L"Am rechten Rand"},
};
const ExpectedText japaneseTexts[] = {
    {11002, L"レイアウト"},
    {11050, L"印刷の向き(&O):"},
    {11051, L"両面印刷(&B):"},
    {11052, L"ページの順番(&R):"},
    {11053, L"ページ形式"},
    {11054, L"シートごとのページ数(&S)"},
    {11055, L"小冊子(&K)"},
    {11056, L"シートごとのページレイアウト(&L):"},
    {11058, L"小冊子綴じ(&E):"},
    {11059, L"境界線を引く(&W)"},
    {11060, L"縦"},
    {11061, L"横"},
    {11062, L"横置きに回転"},
    {11065, L"なし"},
    {11066, L"短辺を綴じる"},
    {11067, L"長辺を綴じる"},
    {11070, L"順"},
    {11071, L"逆"},
    {11090, L"左上から右方向"},
    {11091, L"左上から下方向"},
    {11092, L"右上から左方向"},
    {11093, L"右上から下方向"},
    {11095, L"左の端"},
    {11096, L"右の端"},
};

class LayoutResources : public ::testing::Test {
protected:
    quorlix_test::PluginHost host;
    HMODULE module() { return host.module(); }
};

TEST_F(LayoutResources, StringsReadBackInNeutralGermanAndJapanese) {
    ASSERT_TRUE(host.loaded());
    struct Table {
        WORD language;
        const ExpectedText *rows;
        size_t count;
    } tables[] = {
        {neutral, neutralTexts, sizeof(neutralTexts) / sizeof(neutralTexts[0])},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), germanTexts,
         sizeof(germanTexts) / sizeof(germanTexts[0])},
        {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), japaneseTexts,
         sizeof(japaneseTexts) / sizeof(japaneseTexts[0])},
    };
    for (const auto &t : tables) {
        for (size_t i = 0; i < t.count; ++i) {
            std::wstring text;
            ASSERT_TRUE(readString(module(), t.language, t.rows[i].id, &text))
                << "language " << t.language << " string " << t.rows[i].id;
            EXPECT_EQ(text, t.rows[i].text) << "language " << t.language << " string "
                                            << t.rows[i].id;
        }
    }
}

TEST_F(LayoutResources, EveryLanguageHoldsExactlyThePageStrings) {
    ASSERT_TRUE(host.loaded());
    const WORD languages[] = {neutral, 1031, 1036, 1040, 1041, 1043, 2070, 3082};
    std::vector<UINT> ids;
    for (const auto &row : neutralTexts) ids.push_back(row.id);
    const wchar_t *counts[] = {L"1", L"2", L"4", L"6", L"9", L"16"};
    for (WORD language : languages) {
        for (UINT id = 11002; id <= 11096; ++id) {
            std::wstring text;
            bool listed = std::find(ids.begin(), ids.end(), id) != ids.end();
            bool block = readString(module(), language, id, &text);
            EXPECT_EQ(listed, block && !text.empty()) << "language " << language << " id " << id;
            if (id >= 11080 && id <= 11085) {
                EXPECT_EQ(text, counts[id - 11080]) << "language " << language;
            }
        }
    }
}

// Dialog template 11001, read field by field.
struct DialogItem {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring windowClass;  // "#n" for a class atom
    std::wstring text;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE *p) : p_(p) {}
    WORD word() { WORD v; memcpy(&v, p_, 2); p_ += 2; return v; }
    DWORD dword() { DWORD v; memcpy(&v, p_, 4); p_ += 4; return v; }
    BYTE byte() { return *p_++; }
    std::wstring text() {
        std::wstring s;
        for (WORD c; (c = word()) != 0;) s += static_cast<wchar_t>(c);
        return s;
    }
    std::wstring nameOrOrdinal() {
        WORD first;
        memcpy(&first, p_, 2);
        if (first == 0) { p_ += 2; return L""; }
        if (first == 0xFFFF) { p_ += 2; return L"#" + std::to_wstring(word()); }
        return text();
    }
    void alignDword(const BYTE *base) {
        while ((p_ - base) % 4) ++p_;
    }

private:
    const BYTE *p_;
};

TEST_F(LayoutResources, DialogTemplateMatchesItsTable) {
    ASSERT_TRUE(host.loaded());
    HRSRC found = FindResourceExW(module(), reinterpret_cast<LPCWSTR>(RT_DIALOG),
                                  MAKEINTRESOURCEW(11001), neutral);
    ASSERT_NE(found, nullptr);
    auto *base = static_cast<const BYTE *>(LockResource(LoadResource(module(), found)));
    TemplateReader r(base);
    EXPECT_EQ(r.word(), 1);       // extended template
    EXPECT_EQ(r.word(), 0xFFFF);
    EXPECT_EQ(r.dword(), 0u);     // help id
    EXPECT_EQ(r.dword(), 0u);     // extended style
    EXPECT_EQ(r.dword(), 0x48C80042u);
    WORD count = r.word();
    EXPECT_EQ(count, 16);
    short frame[4];
    for (short &v : frame) v = static_cast<short>(r.word());
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 0);
    EXPECT_EQ(frame[2], 320);
    EXPECT_EQ(frame[3], 346);
    EXPECT_EQ(r.nameOrOrdinal(), L"");  // menu
    EXPECT_EQ(r.nameOrOrdinal(), L"");  // class
    EXPECT_EQ(r.text(), L"Layout");
    WORD points = r.word();
    WORD weight = r.word();
    BYTE italic = r.byte();
    BYTE charset = r.byte();
    std::wstring face = r.text();
#ifdef QUORLIX_LEGACY
    EXPECT_EQ(face, L"MS Shell Dlg");
    EXPECT_EQ(points, 8);
    EXPECT_EQ(weight, 400);
    EXPECT_EQ(charset, 128);
#else
    EXPECT_EQ(face, L"MS UI Gothic");
    EXPECT_EQ(points, 9);
    EXPECT_EQ(weight, 0);
    EXPECT_EQ(charset, 1);
#endif
    EXPECT_EQ(italic, 0);

    const DialogItem expected[] = {
        {0x50020000, 6, 10, 74, 9, 11003, L"STATIC", L"&Orientation:"},
        {0x50210003, 6, 20, 120, 60, 11004, L"ComboBoxEx32", L""},
        {0x50020000, 6, 44, 74, 9, 11005, L"STATIC", L"Print on &Both Sides:"},
        {0x50210003, 6, 54, 120, 60, 11006, L"ComboBoxEx32", L""},
        {0x50020000, 6, 78, 74, 9, 11007, L"STATIC", L"Page O&rder:"},
        {0x50210003, 6, 88, 120, 60, 11008, L"ComboBoxEx32", L""},
        {0x50000007, 6, 116, 120, 144, 11009, L"BUTTON", L"Page Format"},
        {0x50000009, 10, 126, 85, 21, 11010, L"BUTTON", L"Page&s per Sheet:"},
        {0x50000009, 10, 178, 85, 21, 11011, L"BUTTON", L"Boo&klet"},
        {0x50230103, 97, 130, 25, 30, 11012, L"COMBOBOX", L""},
        {0x50020000, 16, 149, 109, 9, 11013, L"STATIC", L"Pages per Sheet &Layout:"},
        {0x50230103, 16, 159, 100, 30, 11014, L"COMBOBOX", L""},
        {0x50020000, 16, 199, 109, 9, 11015, L"STATIC", L"Booklet Binding &Edge:"},
        {0x50230103, 16, 209, 100, 30, 11016, L"COMBOBOX", L""},
        {0x50010003, 10, 240, 110, 9, 11017, L"BUTTON", L"Dra&w Borders:"},
        {0x50000107, 130, 10, 155, 250, 11018, L"STATIC", L""},
    };
    ASSERT_EQ(count, sizeof(expected) / sizeof(expected[0]));
    for (const auto &e : expected) {
        r.alignDword(base);
        EXPECT_EQ(r.dword(), 0u) << e.id;  // help id
        EXPECT_EQ(r.dword(), 0u) << e.id;  // extended style
        EXPECT_EQ(r.dword(), e.style) << e.id;
        short box[4];
        for (short &v : box) v = static_cast<short>(r.word());
        EXPECT_EQ(box[0], e.x) << e.id;
        EXPECT_EQ(box[1], e.y) << e.id;
        EXPECT_EQ(box[2], e.cx) << e.id;
        EXPECT_EQ(box[3], e.cy) << e.id;
        EXPECT_EQ(r.dword(), e.id);
        // Class names compare without case, as the window manager does; the
        // resource compiler writes them in capitals.
        std::wstring windowClass = r.nameOrOrdinal();
        EXPECT_EQ(_wcsicmp(windowClass.c_str(), e.windowClass.c_str()), 0)
            << e.id << ": " << std::string(windowClass.begin(), windowClass.end());
        EXPECT_EQ(r.nameOrOrdinal(), e.text) << e.id;
        EXPECT_EQ(r.word(), 0) << e.id;  // no creation data
    }
}

TEST_F(LayoutResources, IconsAreSingleTwentyPixelImagesWithAlpha) {
    ASSERT_TRUE(host.loaded());
    const WORD ids[] = {12001, 12011, 12012, 12013, 12014, 12015, 12016, 12021, 12022,
                        12023, 12024, 12025, 12026, 12027, 12028, 12029, 12030};
    for (WORD id : ids) {
        HRSRC group = FindResourceExW(module(), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON),
                                      MAKEINTRESOURCEW(id), neutral);
        ASSERT_NE(group, nullptr) << id;
        auto *dir = static_cast<const BYTE *>(LockResource(LoadResource(module(), group)));
        WORD images;
        memcpy(&images, dir + 4, 2);
        ASSERT_EQ(images, 1) << id;
        // The one entry: width, height, colours, reserved, planes, bits,
        // bytes, icon id.
        const BYTE *entry = dir + 6;
        EXPECT_EQ(entry[0], 20) << id;
        EXPECT_EQ(entry[1], 20) << id;
        WORD bits, imageId;
        memcpy(&bits, entry + 6, 2);
        memcpy(&imageId, entry + 12, 2);
        EXPECT_EQ(bits, 32) << id;
        HRSRC image = FindResourceW(module(), MAKEINTRESOURCEW(imageId),
                                    reinterpret_cast<LPCWSTR>(RT_ICON));
        ASSERT_NE(image, nullptr) << id;
        BITMAPINFOHEADER header;
        auto *data = static_cast<const BYTE *>(LockResource(LoadResource(module(), image)));
        memcpy(&header, data, sizeof(header));
        EXPECT_EQ(header.biWidth, 20) << id;
        EXPECT_EQ(header.biHeight, 40) << id;
        EXPECT_EQ(header.biBitCount, 32) << id;
        // Transparent corners, opaque middle.
        const BYTE *pixels = data + header.biSize;
        auto alpha = [&](int x, int y) { return pixels[((19 - y) * 20 + x) * 4 + 3]; };
        EXPECT_EQ(alpha(19, 0), 0) << id;
        EXPECT_EQ(alpha(10, 10), 255) << id;

        // The page loads it at its own size.
        HICON icon = static_cast<HICON>(
            LoadImageW(module(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectW(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, 20) << id;
        EXPECT_EQ(bm.bmHeight, 20) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(LayoutResources, ManifestAsksForCommonControlsSixForThisProcessor) {
    ASSERT_TRUE(host.loaded());
    HRSRC found = FindResourceExW(module(), MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(found, nullptr);
    std::string xml(static_cast<const char *>(LockResource(LoadResource(module(), found))),
                    SizeofResource(module(), found));
    EXPECT_NE(xml.find("standalone=\"yes\""), std::string::npos);
    EXPECT_NE(xml.find("name=\"Quendrix.PrinterDriver.quorlix\""), std::string::npos);
    EXPECT_NE(xml.find("<description>quorlix</description>"), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(xml.find("publicKeyToken=\"6595b64144ccf1df\" language=\"*\""), std::string::npos);
#ifdef _WIN64
    const char *arch = "processorArchitecture=\"AMD64\"";
#else
    const char *arch = "processorArchitecture=\"x86\"";
#endif
    size_t first = xml.find(arch);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(xml.find(arch, first + 1), std::string::npos);
}

}  // namespace
