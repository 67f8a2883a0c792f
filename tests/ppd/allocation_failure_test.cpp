// Every allocation of the reader may fail: each failure, wherever it falls,
// leaves a document that is consistent, a prefix of the complete one, usable
// by every operation, and freed without a leak (checked by the leak
// sanitizer). A failure inside the indexed constraint pass gives the flags of
// the literal pass. This program replaces the global allocation operators, so
// it is a program of its own.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <new>
#include <string>

#include "ppd/ppd_constraints.h"
#include "tests/ppd/ppd_test_util.h"

namespace {

long failCountdown = -1;  // the no-throw allocation that fails: 0 = the next one
long nothrowCount = 0;

void *allocate(size_t size, bool nothrow) {
    if (nothrow) {
        ++nothrowCount;
        if (failCountdown == 0) {
            failCountdown = -1;
            return nullptr;
        }
        if (failCountdown > 0) --failCountdown;
    }
    void *p = malloc(size ? size : 1);
    if (!p && !nothrow) throw std::bad_alloc();
    return p;
}

}  // namespace

void *operator new(size_t size) { return allocate(size, false); }
void *operator new[](size_t size) { return allocate(size, false); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return allocate(size, true); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return allocate(size, true); }
void operator delete(void *p) noexcept { free(p); }
void operator delete[](void *p) noexcept { free(p); }
void operator delete(void *p, size_t) noexcept { free(p); }
void operator delete[](void *p, size_t) noexcept { free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { free(p); }

namespace {

using ppd_test::show;
using ppd_test::units;

// Groups, an installable feature, query and option lines, more options and
// constraints than the first room of their arrays.
std::string samplePpd() {
    std::string text = "*ModelName: \"M\"\n*OpenGroup: InstallableOptions\n"
                       "*OpenUI *Option1: Boolean\n*DefaultOption1: False\n*Option1 True: \"\"\n*CloseUI: *Option1\n"
                       "*CloseGroup: InstallableOptions\n*OpenGroup: G/General\n"
                       "*OpenUI *Duplex: PickOne\n*?Duplex: \"query\"\n";
    for (int i = 0; i < 70; ++i) text += "*Duplex D" + std::to_string(i) + ": \"x\"\n";
    text += "*CloseUI: *Duplex\n";
    for (int i = 0; i < 40; ++i) text += "*OpenUI *F" + std::to_string(i) + ": PickOne\n*F" + std::to_string(i) + " A: \"\"\n*CloseUI: *F\n";
    for (int i = 0; i < 600; ++i) text += "*UIConstraints: *Option1 False *Duplex D" + std::to_string(i % 70) + "\n";
    return text;
}

void expectConsistentPrefix(const PpdDocument &doc, const PpdDocument &full, long failedAt) {
    ASSERT_GE(doc.featureCount, 0);
    ASSERT_LE(doc.featureCount, full.featureCount) << failedAt;
    ASSERT_LE(doc.constraintCount, full.constraintCount) << failedAt;
    ASSERT_LE(doc.installedCount, full.installedCount) << failedAt;
    EXPECT_EQ(doc.tokenBuffer, nullptr);
    EXPECT_EQ(doc.source, nullptr);
    for (int32_t f = 0; f < doc.featureCount; ++f) {
        const PpdFeature *feature = doc.featureAt(f);
        ASSERT_NE(feature, nullptr) << failedAt;
        if (feature->keyword.length == 0) {
            // No room for its options array: the last feature, counted empty.
            EXPECT_EQ(f, doc.featureCount - 1) << failedAt;
            EXPECT_EQ(feature->optionCount, 0) << failedAt;
        } else {
            EXPECT_TRUE(feature->keyword.equals(full.featureAt(f)->keyword)) << failedAt;
        }
        ASSERT_TRUE(feature->options != nullptr || feature->optionCount == 0) << failedAt;
        ASSERT_LE(feature->optionCount, full.featureAt(f)->optionCount) << failedAt;
        for (int32_t o = 0; o < feature->optionCount; ++o) {
            ASSERT_NE(feature->options[o], nullptr) << failedAt;
            EXPECT_LE(feature->options[o]->keyword.length, kPpdStringMaxLength);
        }
    }
    for (int32_t c = 0; c < doc.constraintCount; ++c) ASSERT_NE(doc.constraints[c], nullptr) << failedAt;
    for (int32_t i = 0; i < doc.installedCount; ++i) ASSERT_NE(doc.installedOptions[i], nullptr) << failedAt;
}

TEST(PpdAllocationFailure, EveryFailedAllocationLeavesAUsableDocument) {
    const std::string text = samplePpd();
    nothrowCount = 0;
    auto full = ppd_test::parsePpd(text);
    const long allocations = nothrowCount;
    ASSERT_GT(allocations, 100);
    ASSERT_EQ(full->featureCount, 42);

    for (long k = 0; k < allocations; ++k) {
        failCountdown = k;
        PpdMemoryInput input{reinterpret_cast<const unsigned char *>(text.data()), text.size(), 0};
        PpdDocument *doc = new (std::nothrow) PpdDocument(memoryReadByte, &input);
        failCountdown = -1;
        if (!doc) continue;  // the document record itself was the failed allocation
        expectConsistentPrefix(*doc, *full, k);
        // Every operation works on what is there.
        doc->setInstalledOption(units("*Option1").c_str(), units("True").c_str(), true);
        doc->findFeatureByKeyword(units("*Duplex").c_str());
        doc->keywordForTranslation(units("General").c_str());
        delete doc;
    }
}

TEST(PpdAllocationFailure, FailedIndexFallsBackToTheLiteralPass) {
    const std::string text = samplePpd();
    auto expected = ppd_test::parsePpd(text);
    ASSERT_EQ(ppd_test::flags(*expected, "*Duplex"), std::string(70, '1'));
    for (long k = 0; k < 20; ++k) {
        auto doc = ppd_test::parsePpd(text);
        for (int32_t o = 0; o < doc->featureAt(1)->optionCount; ++o) doc->featureAt(1)->options[o]->constrained = 0;
        failCountdown = k;
        doc->applyInstalledConstraints();
        failCountdown = -1;
        EXPECT_EQ(ppd_test::flags(*doc, "*Duplex"), std::string(70, '1')) << k;
    }
}

}  // namespace
