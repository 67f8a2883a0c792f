#include "tests/docui/item_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

namespace docui_test {

namespace {

size_t pageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

}  // namespace

// Each record gets two pages: it ends exactly where the first ends, and the
// second cannot be read or written.
void *ItemArray::place(size_t bytes) {
    size_t page = pageSize();
    size_t span = (bytes + page - 1) / page * page;
    if (span == 0) span = page;
    auto *base = static_cast<uint8_t *>(
        VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base) return nullptr;
    DWORD old = 0;
    VirtualProtect(base + span, page, PAGE_NOACCESS, &old);
    uint8_t *data = base + span - bytes;
    blocks_.push_back({base, data, bytes});
    records_.push_back({base, data, bytes});
    return data;
}

ItemArray::ItemArray(const std::vector<ItemRow> &rows) : count_(static_cast<DWORD>(rows.size())) {
    items_ = static_cast<OPTITEM *>(place(sizeof(OPTITEM) * (rows.empty() ? 1 : rows.size())));
    for (size_t i = 0; i < rows.size(); ++i) {
        const ItemRow &row = rows[i];
        OPTITEM &item = items_[i];
        memset(&item, 0, sizeof(item));
        item.cbSize = sizeof(OPTITEM) - ((row.quirks & SmallItem) ? 1 : 0);
        item.Level = row.level;
        item.Flags = row.flags;
        item.DMPubID = row.dmPubId;
        item.Sel = row.sel;
        quirks_.push_back(row.quirks);

        auto placeText = [this](const Text &t) -> LPWSTR {
            if (!t.text) return reinterpret_cast<LPWSTR>(t.resourceId);
            size_t bytes = (wcslen(t.text) + 1) * sizeof(wchar_t);
            auto *copy = static_cast<wchar_t *>(place(bytes));
            memcpy(copy, t.text, bytes);
            return copy;
        };
        item.pName = placeText(row.name);

        if (!(row.quirks & NoUserData)) {
            auto *data = static_cast<USERDATA *>(place(sizeof(USERDATA)));
            memset(data, 0, sizeof(*data));
            data->dwSize = (row.quirks & SmallUserData) ? offsetof(USERDATA, pKeyWordName)
                                                         : sizeof(USERDATA);
            data->dwItemID = i;
            if (row.keyword) {
                size_t bytes = strlen(row.keyword) + 1;
                auto *keyword = static_cast<char *>(place(bytes));
                memcpy(keyword, row.keyword, bytes);
                data->pKeyWordName = keyword;
            }
            item.UserData = reinterpret_cast<ULONG_PTR>(data);
        }

        std::vector<OPTPARAM *> params;
        if (!(row.quirks & NoOptType)) {
            auto *type = static_cast<OPTTYPE *>(place(sizeof(OPTTYPE)));
            memset(type, 0, sizeof(*type));
            type->cbSize = sizeof(OPTTYPE) - ((row.quirks & SmallOptType) ? 1 : 0);
            type->Type = TVOT_LISTBOX;
            type->Count = (row.quirks & ZeroCount) ? 0 : static_cast<WORD>(row.choices.size());
            if (!row.choices.empty() && !(row.quirks & NoOptParam)) {
                auto *array = static_cast<OPTPARAM *>(place(sizeof(OPTPARAM) * row.choices.size()));
                for (size_t c = 0; c < row.choices.size(); ++c) {
                    OPTPARAM &p = array[c];
                    memset(&p, 0, sizeof(p));
                    p.cbSize = sizeof(OPTPARAM) - ((row.quirks & SmallChoices) ? 1 : 0);
                    p.Flags = c < row.choiceFlags.size() ? row.choiceFlags[c] : 0;
                    p.pData = placeText(row.choices[c]);
                    params.push_back(&p);
                }
                type->pOptParam = array;
            }
            item.pOptType = type;
        }
        choices_.push_back(params);
    }
}

ItemArray::~ItemArray() {
    for (const Block &b : blocks_) VirtualFree(b.base, 0, MEM_RELEASE);
}

int ItemArray::indexOf(const void *item) const {
    for (DWORD i = 0; i < count_; ++i)
        if (item == &items_[i]) return static_cast<int>(i);
    return -1;
}

std::vector<uint8_t> ItemArray::snapshot() const {
    std::vector<uint8_t> bytes;
    for (const Block &r : records_) bytes.insert(bytes.end(), r.data, r.data + r.size);
    return bytes;
}

bool ItemArray::onlyFlagsAndSelChanged(const std::vector<uint8_t> &before, bool selToo) const {
    // Put the current flags and selections into a copy of the old bytes; the
    // result must equal the current bytes exactly.
    std::vector<uint8_t> now = snapshot();
    if (now.size() != before.size()) return false;
    std::vector<uint8_t> patched = before;
    size_t offset = 0;
    for (const Block &r : records_) {
        auto patch = [&](const void *field, size_t size) {
            auto *p = static_cast<const uint8_t *>(field);
            if (p >= r.data && p + size <= r.data + r.size)
                memcpy(&patched[offset + (p - r.data)], p, size);
        };
        for (DWORD i = 0; i < count_; ++i) {
            patch(&items_[i].Flags, sizeof(items_[i].Flags));
            if (selToo) patch(&items_[i].Sel, sizeof(items_[i].Sel));
            for (const OPTPARAM *p : choices_[i]) patch(&p->Flags, sizeof(p->Flags));
        }
        offset += r.size;
    }
    return patched == now;
}

void ItemArray::expectFlags(const std::vector<ItemFlags> &expected, const char *scenario) const {
    ASSERT_EQ(expected.size(), static_cast<size_t>(count_)) << scenario;
    for (DWORD i = 0; i < count_; ++i) {
        EXPECT_EQ(expected[i].flags, items_[i].Flags)
            << scenario << ": item " << i << " flags 0x" << std::hex << items_[i].Flags;
        for (size_t c = 0; c < choices_[i].size(); ++c) {
            BYTE want = c < expected[i].choiceFlags.size() ? expected[i].choiceFlags[c] : 0;
            EXPECT_EQ(want, choices_[i][c]->Flags)
                << scenario << ": item " << i << " choice " << c;
        }
    }
}

void expectCalls(const quorlix_test::FakeDriverUi &driver, const ItemArray *items,
                 const std::vector<ExpectedCall> &expected, const char *scenario) {
    const auto &got = driver.calls;
    size_t n = got.size() > expected.size() ? got.size() : expected.size();
    for (size_t i = 0; i < n; ++i) {
        if (i >= got.size()) {
            ADD_FAILURE() << scenario << ": call " << i << " missing: " << expected[i].method;
            continue;
        }
        if (i >= expected.size()) {
            ADD_FAILURE() << scenario << ": unexpected call " << i << ": " << got[i].method << " "
                          << got[i].feature;
            continue;
        }
        const ExpectedCall &e = expected[i];
        EXPECT_EQ(e.method, got[i].method) << scenario << ": call " << i;
        EXPECT_EQ(e.feature ? e.feature : "", got[i].feature) << scenario << ": call " << i;
        int item = items && got[i].item ? items->indexOf(got[i].item) : -1;
        EXPECT_EQ(e.item, item) << scenario << ": call " << i << " item";
        EXPECT_EQ(e.sel, got[i].previousSel) << scenario << ": call " << i << " selection";
        EXPECT_EQ(e.mode, got[i].mode) << scenario << ": call " << i << " mode";
    }
}

}  // namespace docui_test
