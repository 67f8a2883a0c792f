// libFuzzer target for the PPD reader: builds a document from arbitrary bytes,
// checks the model's invariants, sets installed options chosen by the input,
// and checks that the indexed constraint pass gives the same flags as the
// literal reference pass.
//
// The whole input is the PPD text. Its last byte tells how many installed
// option choices to make (0-7); each choice takes two bytes going backwards
// from there: which installed option (low 7 bits; one past the last picks a
// keyword no entry has) with the rerun flag in the top bit, and which value
// (one of the feature's option keywords, the empty text, or no text). Seed
// files are plain PPDs; their trailing bytes make the choices.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "ppd/byte_source.h"
#include "ppd/ppd_constraints.h"
#include "ppd/ppd_document.h"
#include "tools/constraint_flags.h"

namespace {

[[noreturn]] void fail(const char *what) {
    fprintf(stderr, "ppd_fuzzer: %s\n", what);
    abort();
}

void checkString(const PpdString &s) {
    if (s.length < 0 || s.length > kPpdStringMaxLength) fail("PpdString length out of range");
    if (s.text[s.length] != 0) fail("PpdString not terminated at its length");
    for (int32_t i = 0; i < s.length; ++i)
        if (s.text[i] == 0) fail("PpdString holds a zero unit before its length");
}

void checkModel(const PpdDocument &doc) {
    if (doc.featureCount < 0 || doc.constraintCount < 0 || doc.installedCount < 0) fail("negative count");
    if (doc.featureCount > 0 && !doc.features) fail("features missing");
    if (doc.constraintCount > 0 && !doc.constraints) fail("constraints missing");
    if (doc.installedCount > 0 && !doc.installedOptions) fail("installed options missing");
    if (doc.tokenBuffer || doc.source) fail("token buffer or byte source kept after construction");
    for (int32_t i = 0; i < doc.featureCount; ++i) {
        const PpdFeature *f = doc.features[i];
        if (!f || doc.featureAt(i) != f) fail("featureAt disagrees with features");
        checkString(f->keyword);
        checkString(f->translation);
        checkString(f->defaultOption);
        checkString(f->groupKeyword);
        checkString(f->groupTranslation);
        if (f->optionCount < 0 || (f->optionCount > 0 && !f->options)) fail("bad option array");
        for (int32_t j = 0; j < f->optionCount; ++j) {
            const PpdOption *o = f->options[j];
            if (!o) fail("null option");
            checkString(o->keyword);
            checkString(o->translation);
            if (o->constrained > 1) fail("constrained flag not 0 or 1");
        }
    }
    if (doc.featureAt(-1) || doc.featureAt(doc.featureCount)) fail("featureAt out of range gives a feature");
    for (int32_t i = 0; i < doc.constraintCount; ++i) {
        const PpdConstraint *c = doc.constraints[i];
        if (!c) fail("null constraint");
        checkString(c->feature1);
        checkString(c->option1);
        checkString(c->feature2);
        checkString(c->option2);
    }
    for (int32_t i = 0; i < doc.installedCount; ++i) {
        const PpdInstalledOption *io = doc.installedOptions[i];
        if (!io) fail("null installed option");
        checkString(io->featureKeyword);
        checkString(io->currentOption);
    }
}

using ppdtools::flags;
using ppdtools::setFlags;

// The reference pass costs options x installed options x constraints; inputs
// that would make it take seconds are only run through the indexed pass, so
// that a slow reference never reads as a hang of the reader.
bool referenceAffordable(const PpdDocument &doc) {
    double options = 0;
    for (int32_t i = 0; i < doc.featureCount; ++i) options += doc.features[i]->optionCount;
    return options * doc.installedCount * doc.constraintCount <= 2e6;
}

// Runs both passes from the same starting flags and compares the results.
void comparePasses(PpdDocument &doc, const char *when) {
    if (!referenceAffordable(doc)) {
        applyInstalledConstraintsIndexed(doc);
        return;
    }
    std::vector<unsigned char> start = flags(doc);
    if (!applyInstalledConstraintsIndexed(doc)) return;  // no room for the index
    std::vector<unsigned char> indexed = flags(doc);
    setFlags(doc, start);
    applyInstalledConstraintsReference(doc);
    if (flags(doc) != indexed) {
        fprintf(stderr, "ppd_fuzzer: indexed and reference passes disagree %s\n", when);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    PpdMemoryInput input{data, size, 0};
    PpdDocument doc(memoryReadByte, &input);
    checkModel(doc);

    // The constructor's pass started from cleared flags: the reference pass
    // from cleared flags must agree with it.
    std::vector<unsigned char> built = flags(doc);
    if (referenceAffordable(doc)) {
        setFlags(doc, std::vector<unsigned char>(built.size(), 0));
        applyInstalledConstraintsReference(doc);
        if (flags(doc) != built) fail("construction's pass and the reference pass disagree");
    }
    comparePasses(doc, "on the defaults");

    if (size == 0) return 0;
    size_t choices = data[size - 1] % 8;
    size_t at = size - 1;
    static const PpdChar kNoSuchKeyword[] = PPD_TEXT("*NoSuchInstalledFeature");
    static const PpdChar kEmpty[] = PPD_TEXT("");
    for (size_t c = 0; c < choices && at >= 2; ++c, at -= 2) {
        unsigned char which = data[at - 1];
        unsigned char value = data[at - 2];
        bool rerun = (which & 0x80) != 0;
        const PpdChar *keyword = kNoSuchKeyword;
        const PpdChar *text = kEmpty;
        if (doc.installedCount > 0) {
            int32_t index = (which & 0x7F) % (doc.installedCount + 1);
            if (index < doc.installedCount) {
                const PpdInstalledOption *io = doc.installedOptions[index];
                keyword = io->featureKeyword.text;
                int32_t f = doc.findFeatureByKeyword(keyword);
                const PpdFeature *feature = doc.featureAt(f);
                int32_t n = feature ? feature->optionCount : 0;
                int32_t pick = value % (n + 2);
                if (pick < n) text = feature->options[pick]->keyword.text;
                else if (pick == n + 1) text = nullptr;
            }
        }
        doc.setInstalledOption(keyword, text, rerun);
        checkModel(doc);
        if (rerun) comparePasses(doc, "after a rerun");
    }
    comparePasses(doc, "after the choices");
    return 0;
}
