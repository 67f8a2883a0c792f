// Property-item arrays built the way the PostScript driver builds them,
// described as tables of rows, with every record placed at the very end of
// its own memory page so that a read or write past it faults at once.
// Also: tables of expected flags and of expected driver calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/oem_interfaces.h"
#include "tests/support/fake_driver_ui.h"

namespace docui_test {

// Ways a row departs from what the driver builds.
enum Quirk : unsigned {
    NoUserData = 1 << 0,      // UserData 0
    NoOptType = 1 << 2,       // pOptType null
    NoOptParam = 1 << 3,      // pOptParam null (Count as listed)
    ZeroCount = 1 << 4,       // Count 0 (choices still allocated)
    SmallItem = 1 << 5,       // OPTITEM cbSize one byte short
    SmallUserData = 1 << 6,   // USERDATA dwSize ends before the keyword
    SmallOptType = 1 << 7,    // OPTTYPE cbSize one byte short
    SmallChoices = 1 << 8,    // every OPTPARAM cbSize one byte short
};

// A name or choice: a text, or a resource id (a pointer value below 0x10000).
struct Text {
    Text(const wchar_t *t) : text(t) {}
    Text(int id) : resourceId(static_cast<ULONG_PTR>(id)) {}
    const wchar_t *text = nullptr;
    ULONG_PTR resourceId = 0;
};
inline Text rid(int id) { return Text(id); }

struct ItemRow {
    BYTE dmPubId;
    Text name;
    const char *keyword;  // USERDATA keyword without asterisk (null: USERDATA without one)
    LONG sel;
    std::vector<Text> choices;
    BYTE level = 1;
    DWORD flags = 0;      // initial item flags
    unsigned quirks = 0;
    std::vector<BYTE> choiceFlags = {};  // initial choice flags (default 0)
};

// What one item should look like afterwards.
struct ItemFlags {
    DWORD flags;
    std::vector<BYTE> choiceFlags = {};  // one per choice; empty: all 0
};

class ItemArray {
public:
    explicit ItemArray(const std::vector<ItemRow> &rows);
    ~ItemArray();
    ItemArray(const ItemArray &) = delete;
    ItemArray &operator=(const ItemArray &) = delete;

    OPTITEM *items() { return items_; }
    DWORD count() const { return count_; }
    OPTITEM &operator[](size_t i) { return items_[i]; }
    int indexOf(const void *item) const;

    // Every byte of every record, to compare after a call.
    std::vector<uint8_t> snapshot() const;
    // True when nothing but item Flags, choice Flags and (when selToo) item
    // Sel changed.
    bool onlyFlagsAndSelChanged(const std::vector<uint8_t> &before, bool selToo = true) const;

    // The item and choice flags, compared with a table of one row per item.
    void expectFlags(const std::vector<ItemFlags> &expected, const char *scenario) const;

private:
    void *place(size_t bytes);
    struct Block {
        void *base;
        uint8_t *data;
        size_t size;
    };
    std::vector<Block> blocks_;
    std::vector<Block> records_;  // every record, for snapshots
    std::vector<std::vector<OPTPARAM *>> choices_;
    std::vector<unsigned> quirks_;
    OPTITEM *items_ = nullptr;
    DWORD count_ = 0;
};

// One expected call into the driver interface; item is an index into the
// array, -1 for none.
struct ExpectedCall {
    const char *method;
    const char *feature;
    int item;
    DWORD sel;
    DWORD mode;
};
void expectCalls(const quorlix_test::FakeDriverUi &driver, const ItemArray *items,
                 const std::vector<ExpectedCall> &expected, const char *scenario);

}  // namespace docui_test
