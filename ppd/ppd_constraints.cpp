// Installed options and the constraint pass that marks the options they rule
// out.
#include "ppd/ppd_constraints.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <new>

namespace {

const PpdChar kInstallableOptions[] = PPD_TEXT("InstallableOptions");

bool isInstallableFeature(const PpdFeature &feature) { return feature.groupKeyword.equals(kInstallableOptions); }

// Hash consistent with PpdString::equals: the length and the units up to the
// terminator (within the fixed room). A text whose terminator is where its
// length says (every text the parser makes) is hashed four units at a time.
uint32_t hashString(const PpdString &s) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(s.length);
    int32_t n = s.length;
    if (n < 0 || n >= kPpdStringUnits || s.text[n] != 0) {
        n = 0;
        while (n < kPpdStringUnits && s.text[n] != 0) ++n;
    }
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t chunk;
        memcpy(&chunk, s.text + i, sizeof chunk);
        h = (h ^ chunk) * 0x100000001B3ull;
    }
    if (i < n) {
        // The last one to three units, read as one chunk (still inside the
        // fixed room, as n is at most 259) with the units past the text
        // masked out.
        uint64_t chunk;
        memcpy(&chunk, s.text + i, sizeof chunk);
        chunk &= ~uint64_t{0} >> (16 * (4 - (n - i)));
        h = (h ^ chunk) * 0x100000001B3ull;
    }
    // The high half carries every unit (the product's low bits see only the
    // low bits of each chunk): fold it into the slot bits.
    h ^= h >> 32;
    return static_cast<uint32_t>(h);
}

// Distinct texts of the constraints, each with a small number (its id). The
// table of slots starts small and doubles when half full, so that its size
// follows the number of distinct texts (usually far below the number of
// words).
class TextIndex {
public:
    ~TextIndex() {
        delete[] slots_;
        delete[] texts_;
        delete[] hashes_;
    }
    bool init(size_t maxTexts) {
        size_t room = maxTexts ? maxTexts : 1;
        texts_ = new (std::nothrow) const PpdString *[room];
        hashes_ = new (std::nothrow) uint32_t[room];
        return texts_ && hashes_ && resize(64);
    }
    // The id of the text, adding it when new; -1 when the table could not
    // grow (then failed() is true).
    int32_t intern(const PpdString &s) {
        const uint32_t h = hashString(s);
        for (size_t slot = h & mask_;; slot = (slot + 1) & mask_) {
            int32_t id = slots_[slot];
            if (id < 0) return add(s, h, slot);
            if (texts_[id]->equals(s)) return id;
        }
    }
    // The id of the text, or -1 when no constraint has it.
    int32_t find(const PpdString &s) const {
        const uint32_t h = hashString(s);
        for (size_t slot = h & mask_;; slot = (slot + 1) & mask_) {
            int32_t id = slots_[slot];
            if (id < 0) return -1;
            if (texts_[id]->equals(s)) return id;
        }
    }
    int32_t count() const { return count_; }
    bool failed() const { return failed_; }

private:
    // Adds a new text at the free slot found for it, growing the table first
    // when it is half full.
    __attribute__((noinline)) int32_t add(const PpdString &s, uint32_t h, size_t slot) {
        if (static_cast<size_t>(count_ + 1) * 2 > mask_ + 1) {
            if (!resize((mask_ + 1) * 2)) {
                failed_ = true;
                return -1;
            }
            for (slot = h & mask_; slots_[slot] >= 0; slot = (slot + 1) & mask_) {
            }
        }
        slots_[slot] = count_;
        texts_[count_] = &s;
        hashes_[count_] = h;
        return count_++;
    }

    // Makes a table of `capacity` slots (a power of two) holding the ids so far.
    bool resize(size_t capacity) {
        int32_t *slots = new (std::nothrow) int32_t[capacity];
        if (!slots) return false;
        for (size_t i = 0; i < capacity; ++i) slots[i] = -1;
        const size_t mask = capacity - 1;
        for (int32_t id = 0; id < count_; ++id) {
            size_t slot = hashes_[id] & mask;
            while (slots[slot] >= 0) slot = (slot + 1) & mask;
            slots[slot] = id;
        }
        delete[] slots_;
        slots_ = slots;
        mask_ = mask;
        return true;
    }

    int32_t *slots_ = nullptr;
    const PpdString **texts_ = nullptr;
    uint32_t *hashes_ = nullptr;
    size_t mask_ = 0;
    int32_t count_ = 0;
    bool failed_ = false;
};

// Owner of a block of ints from new[] (no exceptions, no containers).
struct IntArray {
    int32_t *p = nullptr;
    ~IntArray() { delete[] p; }
    // Counts beyond any real document are refused (the caller then takes
    // the reference pass), which also keeps the sizes in range for new[].
    static constexpr size_t kMaxCount = PTRDIFF_MAX / sizeof(int32_t) / 2;
    bool allocate(size_t n) {
        if (n > kMaxCount) return false;
        p = new (std::nothrow) int32_t[n ? n : 1]();
        return p != nullptr;
    }
    // Without zeroing, for an array the caller fills whole.
    bool allocateToFill(size_t n) {
        if (n > kMaxCount) return false;
        p = new (std::nothrow) int32_t[n ? n : 1];
        return p != nullptr;
    }
};

}  // namespace

ConstraintMatch PpdDocument::matchConstraint(const PpdString &installedFeature, const PpdString &installedOption,
                                             const PpdFeature &feature, const PpdOption &option) const {
    ConstraintMatch result = ConstraintMatch::Unrelated;
    if (!constraints) return result;
    for (int32_t i = 0; i < constraintCount; ++i) {
        const PpdConstraint *c = constraints[i];
        if (!c) continue;
        if (c->feature1.equals(installedFeature) && c->feature2.equals(feature.keyword)) {
            result = ConstraintMatch::Related;
            if (c->option1.equals(installedOption) && c->option2.equals(option.keyword)) {
                return ConstraintMatch::Excluded;
            }
        }
    }
    return result;
}

void PpdDocument::setInstalledOption(const PpdChar *keyword, const PpdChar *value, bool rerun) {
    if (keyword && value && installedOptions) {
        for (int32_t i = 0; i < installedCount; ++i) {
            PpdInstalledOption *installed = installedOptions[i];
            if (installed && installed->featureKeyword.equals(keyword)) {
                installed->currentOption.assignFromBytes(value);
                break;
            }
        }
    }
    if (rerun) applyInstalledConstraints();
}

void PpdDocument::applyInstalledConstraints() {
    if (!applyInstalledConstraintsIndexed(*this)) applyInstalledConstraintsReference(*this);
}

void applyInstalledConstraintsReference(PpdDocument &document) {
    if (!document.features || !document.installedOptions) return;
    for (int32_t f = 0; f < document.featureCount; ++f) {
        PpdFeature *feature = document.features[f];
        if (!feature || !feature->options || isInstallableFeature(*feature)) continue;
        for (int32_t o = 0; o < feature->optionCount; ++o) {
            PpdOption *option = feature->options[o];
            if (!option) continue;
            for (int32_t i = 0; i < document.installedCount; ++i) {
                const PpdInstalledOption *installed = document.installedOptions[i];
                if (!installed) continue;
                switch (document.matchConstraint(installed->featureKeyword, installed->currentOption, *feature,
                                                 *option)) {
                case ConstraintMatch::Excluded:
                    option->constrained = 1;
                    break;
                case ConstraintMatch::Related:
                    option->constrained = 0;
                    break;
                case ConstraintMatch::Unrelated:
                    break;
                }
            }
        }
    }
}

// For one option, the literal pass lets the last installed option (in
// document order) that any constraint pairs with the option's feature decide
// the flag: 1 when a constraint of that pair names its current value and the
// option, 0 otherwise; with no such installed option the flag is kept. The
// indexed pass computes exactly that per feature: it groups the constraints
// by their second feature, finds the last related installed option once, and
// marks the options that the constraints of that pair exclude.
bool applyInstalledConstraintsIndexed(PpdDocument &document) {
    if (!document.features || !document.installedOptions || document.featureCount <= 0 ||
        document.installedCount <= 0) {
        return true;  // nothing can be related: every flag is kept
    }
    const int32_t constraintCount = document.constraints ? document.constraintCount : 0;
    if (constraintCount <= 0) return true;

    // Ids of the constraints' texts.
    TextIndex texts;
    IntArray feature1, option1, feature2, option2;
    const size_t n = static_cast<size_t>(constraintCount);
    if (!texts.init(n * 4) || !feature1.allocateToFill(n) || !option1.allocateToFill(n) ||
        !feature2.allocateToFill(n) || !option2.allocateToFill(n)) {
        return false;
    }
    for (int32_t c = 0; c < constraintCount; ++c) {
        const PpdConstraint *constraint = document.constraints[c];
        if (!constraint) {
            feature1.p[c] = option1.p[c] = feature2.p[c] = option2.p[c] = -1;
            continue;
        }
        feature1.p[c] = texts.intern(constraint->feature1);
        option1.p[c] = texts.intern(constraint->option1);
        feature2.p[c] = texts.intern(constraint->feature2);
        option2.p[c] = texts.intern(constraint->option2);
    }
    if (texts.failed()) return false;
    const size_t idCount = static_cast<size_t>(texts.count());

    // Constraints grouped by their second feature, in file order.
    IntArray groupStart, grouped, fill;
    if (!groupStart.allocate(idCount + 1) || !grouped.allocate(n) || !fill.allocate(idCount + 1)) return false;
    for (int32_t c = 0; c < constraintCount; ++c) {
        if (feature2.p[c] >= 0) ++groupStart.p[feature2.p[c] + 1];
    }
    for (size_t id = 0; id < idCount; ++id) groupStart.p[id + 1] += groupStart.p[id];
    for (size_t id = 0; id <= idCount; ++id) fill.p[id] = groupStart.p[id];
    for (int32_t c = 0; c < constraintCount; ++c) {
        if (feature2.p[c] >= 0) grouped.p[fill.p[feature2.p[c]]++] = c;
    }

    // Ids of the installed options' keyword and current value (-1: named by
    // no constraint).
    const size_t installedCount = static_cast<size_t>(document.installedCount);
    IntArray installedFeature, installedValue, relatedStamp, excludedStamp;
    if (!installedFeature.allocate(installedCount) || !installedValue.allocate(installedCount) ||
        !relatedStamp.allocate(idCount) || !excludedStamp.allocate(idCount)) {
        return false;
    }
    for (size_t i = 0; i < installedCount; ++i) {
        const PpdInstalledOption *installed = document.installedOptions[i];
        installedFeature.p[i] = installed ? texts.find(installed->featureKeyword) : -1;
        installedValue.p[i] = installed ? texts.find(installed->currentOption) : -1;
    }

    for (int32_t f = 0; f < document.featureCount; ++f) {
        PpdFeature *feature = document.features[f];
        if (!feature || !feature->options || isInstallableFeature(*feature)) continue;
        const int32_t featureId = texts.find(feature->keyword);
        if (featureId < 0) continue;  // no constraint names it second: all unrelated
        const int32_t stamp = f + 1;
        const int32_t begin = groupStart.p[featureId];
        const int32_t end = groupStart.p[featureId + 1];

        for (int32_t g = begin; g < end; ++g) relatedStamp.p[feature1.p[grouped.p[g]]] = stamp;
        int32_t decider = -1;
        for (int32_t i = document.installedCount - 1; i >= 0; --i) {
            int32_t id = installedFeature.p[i];
            if (id >= 0 && relatedStamp.p[id] == stamp) {
                decider = i;
                break;
            }
        }
        if (decider < 0) continue;  // no installed option is related: flags kept

        const int32_t deciderFeature = installedFeature.p[decider];
        const int32_t deciderValue = installedValue.p[decider];
        if (deciderValue >= 0) {
            for (int32_t g = begin; g < end; ++g) {
                int32_t c = grouped.p[g];
                if (feature1.p[c] == deciderFeature && option1.p[c] == deciderValue) excludedStamp.p[option2.p[c]] = stamp;
            }
        }
        for (int32_t o = 0; o < feature->optionCount; ++o) {
            PpdOption *option = feature->options[o];
            if (!option) continue;
            int32_t id = deciderValue >= 0 ? texts.find(option->keyword) : -1;
            option->constrained = (id >= 0 && excludedStamp.p[id] == stamp) ? 1 : 0;
        }
    }
    return true;
}
