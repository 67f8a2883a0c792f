// The installed-option constraint pass: which options the installed options
// rule out, in which direction, with which installed option deciding, and the
// indexed pass giving exactly the flags of the literal pass.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ppd/ppd_constraints.h"
#include "tests/ppd/ppd_test_util.h"

using ppd_test::flags;
using ppd_test::parsePpd;
using ppd_test::units;

namespace {

const char kPrinter[] =
    "*OpenGroup: InstallableOptions/Installed\n"
    "*OpenUI *Option1/Duplex Unit: Boolean\n*DefaultOption1: False\n"
    "*Option1 True: \"\"\n*Option1 False: \"\"\n*CloseUI: *Option1\n"
    "*OpenUI *Option2/Stacker: PickOne\n*DefaultOption2: None\n"
    "*Option2 None: \"\"\n*Option2 Big: \"\"\n*CloseUI: *Option2\n"
    "*CloseGroup: InstallableOptions\n"
    "*OpenUI *Duplex: PickOne\n*Duplex None: \"\"\n*Duplex DuplexNoTumble: \"\"\n"
    "*Duplex DuplexTumble: \"\"\n*CloseUI: *Duplex\n"
    "*OpenUI *OutputBin: PickOne\n*OutputBin Upper: \"\"\n*OutputBin Stacker: \"\"\n*CloseUI: *OutputBin\n";

using Settings = std::vector<std::pair<std::string, std::string>>;

struct PassCase {
    const char *name;
    const char *constraints;
    Settings settings;  // given to setInstalledOption in order
    const char *duplex, *outputBin, *option1;
};

std::string flagsOf(const PpdDocument &doc) {
    return flags(doc, "*Duplex") + " " + flags(doc, "*OutputBin") + " " + flags(doc, "*Option1");
}

TEST(PpdConstraints, MarksWhatTheInstalledOptionsRuleOut) {
    const char *tumble = "*UIConstraints: *Option1 False *Duplex DuplexTumble\n";
    const PassCase cases[] = {
        {"no constraints", "", {}, "000", "00", "00"},
        {"default rules an option out", tumble, {}, "001", "00", "00"},
        {"another value clears it", tumble, {{"*Option1", "True"}}, "000", "00", "00"},
        {"both options of one pair", "*UIConstraints: *Option1 False *Duplex DuplexTumble\n"
                                     "*UIConstraints: *Option1 False *Duplex DuplexNoTumble\n",
         {}, "011", "00", "00"},
        {"installed feature named second has no effect", "*UIConstraints: *Duplex DuplexTumble *Option1 False\n",
         {}, "000", "00", "00"},
        {"later installed option decides", "*UIConstraints: *Option1 False *Duplex DuplexTumble\n"
                                           "*UIConstraints: *Option2 None *Duplex None\n",
         {}, "100", "00", "00"},
        {"later installed option clears what an earlier one rules out",
         "*UIConstraints: *Option1 False *Duplex DuplexTumble\n*UIConstraints: *Option2 None *Duplex None\n",
         {{"*Option2", "Big"}}, "000", "00", "00"},
        {"values compare exactly", "*UIConstraints: *Option1 false *Duplex DuplexTumble\n", {}, "000", "00", "00"},
        {"keyword without asterisk matches nothing", tumble, {{"Option1", "True"}}, "001", "00", "00"},
        {"value set by the driver", "*UIConstraints: *Option2 Big *OutputBin Stacker\n", {{"*Option2", "Big"}},
         "000", "01", "00"},
        {"installable features are never marked", "*UIConstraints: *Option2 None *Option1 True\n", {}, "000", "00",
         "00"},
        {"unknown words never match", "*UIConstraints: *Option9 False *Duplex DuplexTumble\n"
                                      "*UIConstraints: *Option1 False *Duplex Nothing\n",
         {}, "000", "00", "00"},
    };
    for (const PassCase &c : cases) {
        const std::string expected = std::string(c.duplex) + " " + c.outputBin + " " + c.option1;
        const std::string text = std::string(kPrinter) + c.constraints;
        // Values set without rerun, then one pass.
        auto batched = parsePpd(text);
        for (const auto &s : c.settings) batched->setInstalledOption(units(s.first).c_str(), units(s.second).c_str(), false);
        batched->applyInstalledConstraints();
        EXPECT_EQ(flagsOf(*batched), expected) << c.name;
        // Each value set with rerun.
        auto rerun = parsePpd(text);
        for (const auto &s : c.settings) rerun->setInstalledOption(units(s.first).c_str(), units(s.second).c_str(), true);
        EXPECT_EQ(flagsOf(*rerun), expected) << c.name << " (rerun)";
        // The literal pass.
        auto literal = parsePpd(text);
        for (const auto &s : c.settings) literal->setInstalledOption(units(s.first).c_str(), units(s.second).c_str(), false);
        applyInstalledConstraintsReference(*literal);
        EXPECT_EQ(flagsOf(*literal), expected) << c.name << " (reference)";
    }
}

TEST(PpdConstraints, MatchConstraintAndSetInstalledOption) {
    auto doc = parsePpd(std::string(kPrinter) + "*UIConstraints: *Option1 False *Duplex DuplexTumble\n");
    const PpdFeature &duplex = *doc->featureAt(doc->findFeatureByKeyword(units("*Duplex").c_str()));
    const PpdFeature &bin = *doc->featureAt(doc->findFeatureByKeyword(units("*OutputBin").c_str()));
    PpdString option1, valueFalse, valueTrue;
    option1.assignFromBytes(units("*Option1").c_str());
    valueFalse.assignFromBytes(units("False").c_str());
    valueTrue.assignFromBytes(units("True").c_str());
    EXPECT_EQ(doc->matchConstraint(option1, valueFalse, duplex, *duplex.options[2]), ConstraintMatch::Excluded);
    EXPECT_EQ(doc->matchConstraint(option1, valueFalse, duplex, *duplex.options[0]), ConstraintMatch::Related);
    EXPECT_EQ(doc->matchConstraint(option1, valueTrue, duplex, *duplex.options[2]), ConstraintMatch::Related);
    EXPECT_EQ(doc->matchConstraint(option1, valueFalse, bin, *bin.options[0]), ConstraintMatch::Unrelated);

    // Missing texts change nothing; both missing with rerun only runs the pass.
    doc->setInstalledOption(units("*Option1").c_str(), nullptr, true);
    doc->setInstalledOption(nullptr, units("True").c_str(), true);
    EXPECT_EQ(ppd_test::show(doc->installedOptions[0]->currentOption), "False");
    duplex.options[2]->constrained = 0;
    doc->setInstalledOption(nullptr, nullptr, true);
    EXPECT_EQ(duplex.options[2]->constrained, 1);
}

TEST(PpdConstraints, FirstInstalledOptionOfAKeywordTakesTheValue) {
    auto doc = parsePpd(
        "*OpenGroup: InstallableOptions\n"
        "*OpenUI *Option1: Boolean\n*DefaultOption1: False\n*CloseUI: *Option1\n"
        "*OpenUI *Option1: Boolean\n*DefaultOption1: False\n*CloseUI: *Option1\n"
        "*CloseGroup: InstallableOptions\n");
    doc->setInstalledOption(units("*Option1").c_str(), units("True").c_str(), false);
    ASSERT_EQ(doc->installedCount, 2);
    EXPECT_EQ(ppd_test::show(doc->installedOptions[0]->currentOption), "True");
    EXPECT_EQ(ppd_test::show(doc->installedOptions[1]->currentOption), "False");
}

// An option no installed option is related to keeps whatever flag it has.
TEST(PpdConstraints, UnrelatedOptionsKeepTheirFlag) {
    auto indexed = parsePpd(std::string(kPrinter) + "*UIConstraints: *Option1 False *Duplex DuplexTumble\n");
    auto literal = parsePpd(std::string(kPrinter) + "*UIConstraints: *Option1 False *Duplex DuplexTumble\n");
    for (PpdDocument *doc : {indexed.get(), literal.get()}) {
        const PpdFeature *bin = doc->featureAt(doc->findFeatureByKeyword(units("*OutputBin").c_str()));
        bin->options[1]->constrained = 1;
    }
    ASSERT_TRUE(applyInstalledConstraintsIndexed(*indexed));
    applyInstalledConstraintsReference(*literal);
    EXPECT_EQ(flagsOf(*indexed), "001 01 00");
    EXPECT_EQ(flagsOf(*literal), "001 01 00");
}

// Random documents over a small vocabulary (so that keywords, values and
// constraints collide often, in both directions and with duplicates): after
// the same changes the indexed pass and the literal pass give the same flags,
// starting from the same arbitrary flags.
TEST(PpdConstraints, IndexedPassEqualsLiteralPass) {
    std::mt19937 rng(20261211);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char *featureWords[] = {"*F0", "*F1", "*F2", "*F3", "*I0", "*I1", "*I2", "*f0"};
    const char *optionWords[] = {"o0", "o1", "o2", "O0", "True", "False", ""};
    const int featureWordCount = 8, optionWordCount = 7;

    for (int round = 0; round < 250; ++round) {
        std::string text;
        const int groups = 1 + pick(4);
        for (int g = 0; g < groups; ++g) {
            const bool installable = pick(2) == 0;
            text += installable ? "*OpenGroup: InstallableOptions\n" : (pick(2) ? "*OpenGroup: G\n" : "*CloseGroup\n");
            for (int f = pick(4); f > 0; --f) {
                const std::string keyword = featureWords[pick(featureWordCount)];
                text += "*OpenUI " + keyword + ": PickOne\n";
                if (pick(3)) text += "*Default" + keyword.substr(1) + ": " + optionWords[pick(optionWordCount - 1)] + "\n";
                for (int o = pick(5); o > 0; --o) {
                    text += keyword + " " + optionWords[pick(optionWordCount - 1)] + ": \"\"\n";
                }
                text += "*CloseUI: " + keyword + "\n";
            }
            text += "*CloseGroup\n";
        }
        for (int c = pick(40); c > 0; --c) {
            text += std::string("*UIConstraints: ") + featureWords[pick(featureWordCount)] + " " +
                    optionWords[pick(optionWordCount - 1)] + " " + featureWords[pick(featureWordCount)] + " " +
                    optionWords[pick(optionWordCount - 1)] + "\n";
        }
        auto indexed = parsePpd(text);
        auto literal = parsePpd(text);

        for (int step = 0; step < 4; ++step) {
            // The same arbitrary starting flags in both.
            for (int32_t f = 0; f < indexed->featureCount; ++f) {
                for (int32_t o = 0; o < indexed->featureAt(f)->optionCount; ++o) {
                    const unsigned char flag = static_cast<unsigned char>(pick(2));
                    indexed->featureAt(f)->options[o]->constrained = flag;
                    literal->featureAt(f)->options[o]->constrained = flag;
                }
            }
            ASSERT_TRUE(applyInstalledConstraintsIndexed(*indexed));
            applyInstalledConstraintsReference(*literal);
            for (int32_t f = 0; f < indexed->featureCount; ++f) {
                for (int32_t o = 0; o < indexed->featureAt(f)->optionCount; ++o) {
                    ASSERT_EQ(indexed->featureAt(f)->options[o]->constrained,
                              literal->featureAt(f)->options[o]->constrained)
                        << "round " << round << " step " << step << " feature " << f << " option " << o << "\n"
                        << text;
                }
            }
            // New installed values, the same in both.
            const std::string keyword = featureWords[pick(featureWordCount)];
            const std::string value = optionWords[pick(optionWordCount)];
            indexed->setInstalledOption(units(keyword).c_str(), units(value).c_str(), false);
            literal->setInstalledOption(units(keyword).c_str(), units(value).c_str(), false);
        }
    }
}

}  // namespace
