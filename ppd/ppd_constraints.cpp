// Installed options and the constraint pass that marks the options they rule
// out.
#include "ppd/ppd_constraints.h"

#include <new>

namespace {

const PpdChar kInstallableOptions[] = PPD_TEXT("InstallableOptions");

bool isInstallableFeature(const PpdFeature &feature) { return feature.groupKeyword.equals(kInstallableOptions); }

// Hash consistent with PpdString::equals: the length and the units up to the
// terminator (within the fixed room).
uint32_t hashString(const PpdString &s) {
    uint32_t h = 2166136261u ^ static_cast<uint32_t>(s.length);
    for (int32_t i = 0; i < kPpdStringUnits && s.text[i] != 0; ++i) {
        h ^= static_cast<uint16_t>(s.text[i]);
        h *= 16777619u;
    }
    return h;
}

// Distinct texts of the constraints, each with a small number (its id).
class TextIndex {
public:
    ~TextIndex() {
        delete[] slots_;
        delete[] texts_;
    }
    bool init(size_t maxTexts) {
        size_t capacity = 16;
        while (capacity < maxTexts * 2) capacity *= 2;
        slots_ = new (std::nothrow) int32_t[capacity];
        texts_ = new (std::nothrow) const PpdString *[maxTexts ? maxTexts : 1];
        if (!slots_ || !texts_) return false;
        for (size_t i = 0; i < capacity; ++i) slots_[i] = -1;
        mask_ = capacity - 1;
        return true;
    }
    // The id of the text, adding it when new.
    int32_t intern(const PpdString &s) {
        size_t slot = hashString(s) & mask_;
        for (;; slot = (slot + 1) & mask_) {
            int32_t id = slots_[slot];
            if (id < 0) {
                slots_[slot] = count_;
                texts_[count_] = &s;
                return count_++;
            }
            if (texts_[id]->equals(s)) return id;
        }
    }
    // The id of the text, or -1 when no constraint has it.
    int32_t find(const PpdString &s) const {
        size_t slot = hashString(s) & mask_;
        for (;; slot = (slot + 1) & mask_) {
            int32_t id = slots_[slot];
            if (id < 0) return -1;
            if (texts_[id]->equals(s)) return id;
        }
    }
    int32_t count() const { return count_; }

private:
    int32_t *slots_ = nullptr;
    const PpdString **texts_ = nullptr;
    size_t mask_ = 0;
    int32_t count_ = 0;
};

// Owner of a block of ints from new[] (no exceptions, no containers).
struct IntArray {
    int32_t *p = nullptr;
    ~IntArray() { delete[] p; }
    bool allocate(size_t n) {
        p = new (std::nothrow) int32_t[n ? n : 1]();
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
    if (!texts.init(n * 4) || !feature1.allocate(n) || !option1.allocate(n) || !feature2.allocate(n) ||
        !option2.allocate(n)) {
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
