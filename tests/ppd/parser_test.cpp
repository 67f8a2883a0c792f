// The document parser: header values, groups, *OpenUI blocks with their
// options, defaults and query lines, *UIConstraints, and input that ends or
// breaks the rules anywhere.
#include <gtest/gtest.h>

#include <string>

#include "tests/ppd/ppd_test_util.h"

using ppd_test::parsePpd;
using ppd_test::show;
using ppd_test::units;

namespace {

TEST(PpdParser, EmptyOrCommentOnlyInputGivesAnEmptyDocument) {
    for (const std::string &text : {std::string(), std::string("*% only a comment\r\n%another\n\n  \t")}) {
        auto doc = parsePpd(text);
        EXPECT_EQ(doc->featureCount, 0);
        EXPECT_EQ(doc->constraintCount, 0);
        EXPECT_EQ(doc->installedCount, 0);
        EXPECT_EQ(doc->modelName.length, 0);
        EXPECT_EQ(doc->featureAt(0), nullptr);
        EXPECT_EQ(doc->tokenBuffer, nullptr);
        EXPECT_EQ(doc->source, nullptr);
    }
}

TEST(PpdParser, ReadsHeaderValues) {
    auto doc = parsePpd(
        "*PPD-Adobe: \"4.3\"\n"
        "*ModelName: \"First\"\n"
        "*ModelName: \"Acme Laser 9\"\n"
        "*Manufacturer: Acme Inc\n"
        "*Product: \"(Acme Laser)\"\n"
        "*LanguageEncoding: ISOLatin1\n"
        "*LanguageVersion: English\n");
    EXPECT_EQ(show(doc->modelName), "Acme Laser 9");  // the later line wins
    EXPECT_EQ(show(doc->manufacturer), "Acme");       // unquoted: first word only
    EXPECT_EQ(show(doc->product), "(Acme Laser)");
    EXPECT_EQ(show(doc->languageEncoding), "ISOLatin1");
    EXPECT_EQ(show(doc->languageVersion), "English");
}

TEST(PpdParser, LookupKeywordIsExact) {
    const struct {
        const char *token;
        PpdKeywordCode code;
    } cases[] = {
        {"", PpdKeywordCode::Empty},           {"*?", PpdKeywordCode::Query},
        {"*CloseGroup", PpdKeywordCode::CloseGroup}, {"*CloseUI", PpdKeywordCode::CloseUI},
        {"*Default", PpdKeywordCode::Default}, {"*End", PpdKeywordCode::End},
        {"*FileVersion", PpdKeywordCode::FileVersion}, {"*FormatVersion", PpdKeywordCode::FormatVersion},
        {"*LanguageEncoding", PpdKeywordCode::LanguageEncoding},
        {"*LanguageVersion", PpdKeywordCode::LanguageVersion},
        {"*Manufacturer", PpdKeywordCode::Manufacturer}, {"*ModelName", PpdKeywordCode::ModelName},
        {"*NickName", PpdKeywordCode::NickName}, {"*OpenGroup", PpdKeywordCode::OpenGroup},
        {"*OpenUI", PpdKeywordCode::OpenUI},   {"*OrderDependency", PpdKeywordCode::OrderDependency},
        {"*PCFileName", PpdKeywordCode::PCFileName}, {"*PPD-Adobe", PpdKeywordCode::PPDAdobe},
        {"*PSVersion", PpdKeywordCode::PSVersion}, {"*Product", PpdKeywordCode::Product},
        {"*ShortNickName", PpdKeywordCode::ShortNickName},
        {"*UIConstraints", PpdKeywordCode::UIConstraints},
        {"*openui", PpdKeywordCode::Empty},    {"*OpenUIx", PpdKeywordCode::Empty},
        {"*OpenU", PpdKeywordCode::Empty},     {"*DefaultPageSize", PpdKeywordCode::Empty},
        {"*", PpdKeywordCode::Empty},          {"\x7F", PpdKeywordCode::Empty},
        {"*~", PpdKeywordCode::Empty},         {"*A", PpdKeywordCode::Empty},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PpdDocument::lookupKeyword(units(c.token).c_str()), c.code) << c.token;
    }
    const PpdChar wide[] = {'*', 0xFFFF, 0};
    EXPECT_EQ(PpdDocument::lookupKeyword(wide), PpdKeywordCode::Empty);
    EXPECT_EQ(PpdDocument::lookupKeyword(nullptr), PpdKeywordCode::Empty);
}

// One *OpenUI line per case, read as a whole file with its *CloseUI.
TEST(PpdParser, SplitsKeywordAndTranslation) {
    const struct {
        const char *openUi;
        const char *keyword;
        const char *translation;
        int32_t uiType;
    } cases[] = {
        {"*Duplex/2-Sided Printing: PickOne", "*Duplex", "2-Sided Printing", PpdUiPickOne},
        {"*Duplex: PickOne", "*Duplex", "Duplex", PpdUiPickOne},
        {"*Duplex: PickMany", "*Duplex", "Duplex", PpdUiPickMany},
        {"*Duplex: Boolean", "*Duplex", "Duplex", PpdUiBoolean},
        {"*Duplex: pickmany", "*Duplex", "Duplex", PpdUiPickOne},
        {"*X/Y/Z: PickOne", "Y", "Z", PpdUiPickOne},
        {"/Foo: PickOne", "Foo", "Foo", PpdUiPickOne},
        {"*T/: PickOne", "*T", "", PpdUiPickOne},
        {"*T/<54>ray: PickOne", "*T", "Tray", PpdUiPickOne},
        // Units pair strictly: "54", then " 7" (blank skipped, 7), the 2 dropped.
        {"*T/<54 72>: PickOne", "*T", "T<07>", PpdUiPickOne},
        {"*T/<4>x: PickOne", "*T", "x", PpdUiPickOne},
        {"*T/<4g>x: PickOne", "*T", "<04>x", PpdUiPickOne},
        {"*T/<-1>: PickOne", "*T", "<FF>", PpdUiPickOne},  // 0xFFFF keeps its low byte
        {"*T/a<00>b: PickOne", "*T", "a", PpdUiPickOne},     // a zero unit ends the text
        {"*T<2F>U/V: PickOne", "*T/U", "V", PpdUiPickOne},   // a hex slash is text
        {"*T/<E9>t<C9>: PickOne", "*T", "<E9>t<C9>", PpdUiPickOne},
    };
    for (const auto &c : cases) {
        auto doc = parsePpd(std::string("*OpenUI ") + c.openUi + "\n*CloseUI: *T\n");
        ASSERT_EQ(doc->featureCount, 1) << c.openUi;
        const PpdFeature *f = doc->featureAt(0);
        EXPECT_EQ(show(f->keyword), c.keyword) << c.openUi;
        EXPECT_EQ(show(f->translation), c.translation) << c.openUi;
        EXPECT_EQ(f->uiType, c.uiType) << c.openUi;
    }
}

TEST(PpdParser, GroupsAndInstallableOptions) {
    auto doc = parsePpd(
        "*OpenUI *A: PickOne\n*CloseUI: *A\n"
        "*OpenGroup: General/General Options\n"
        "*OpenUI *B: PickOne\n*CloseUI: *B\n"
        "*OpenSubGroup: Sub/Sub Group\n"
        "*OpenUI *C: PickOne\n*CloseUI: *C\n"
        "*CloseSubGroup: Sub\n"
        "*CloseGroup: General\n"
        "*OpenUI *D: PickOne\n*CloseUI: *D\n"
        "*OpenGroup: InstallableOptions/Options Installed\n"
        "*OpenUI *Option1/Duplex Unit: Boolean\n*DefaultOption1: False\n"
        "*Option1 True/Installed: \"\"\n*Option1 False/Not Installed: \"\"\n*CloseUI: *Option1\n"
        "*OpenUI *Option2/Tray 2: Boolean\n*CloseUI: *Option2\n"
        "*CloseGroup: InstallableOptions\n"
        "*OpenGroup: installableoptions\n"
        "*OpenUI *Option3: Boolean\n*DefaultOption3: True\n*CloseUI: *Option3\n"
        "*CloseGroup\n");
    const struct {
        const char *keyword, *groupKeyword, *groupTranslation;
    } expected[] = {
        {"*A", "", ""},
        {"*B", "General", "General Options"},
        {"*C", "General", "General Options"},  // subgroups are not groups
        {"*D", "", ""},
        {"*Option1", "InstallableOptions", "Options Installed"},
        {"*Option2", "InstallableOptions", "Options Installed"},
        {"*Option3", "installableoptions", "installableoptions"},
    };
    ASSERT_EQ(doc->featureCount, 7);
    for (int32_t i = 0; i < 7; ++i) {
        const PpdFeature *f = doc->featureAt(i);
        EXPECT_EQ(show(f->keyword), expected[i].keyword);
        EXPECT_EQ(show(f->groupKeyword), expected[i].groupKeyword) << expected[i].keyword;
        EXPECT_EQ(show(f->groupTranslation), expected[i].groupTranslation) << expected[i].keyword;
    }
    // One installed option per feature of the exactly named group, with the default.
    ASSERT_EQ(doc->installedCount, 2);
    EXPECT_EQ(show(doc->installedOptions[0]->featureKeyword), "*Option1");
    EXPECT_EQ(show(doc->installedOptions[0]->currentOption), "False");
    EXPECT_EQ(show(doc->installedOptions[1]->featureKeyword), "*Option2");
    EXPECT_EQ(show(doc->installedOptions[1]->currentOption), "");
}

TEST(PpdParser, ReadsABlockAndSkipsWhatItDoesNotKeep) {
    auto doc = parsePpd(
        "*DefaultPageSize: Legal\n"
        "*PageSize Legal: \"outside any block\"\n"
        "*OpenUI *PageSize/Page Size: PickOne\n"
        "*OrderDependency: 10.5 AnySetup *PageSize\n"
        "*DefaultPageSize: A4\n"
        "*DefaultPageSize: Letter\n"
        "*?PageSize: \"query one\"\n"
        "*?PageSize: \"query two\"\n"
        "*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
        "*End\n"
        "*PageRegion Legal/Legal: \"other keyword\"\n"
        "*PageSize A4: \"a4\r\n  second line\"\n"
        "*CloseUI: *PageSize\n"
        "*JCLOpenUI *JCLTray/Tray: PickOne\n*DefaultJCLTray: Upper\n*JCLTray Upper: \"x\"\n"
        "*JCLCloseUI: *JCLTray\n"
        "*OpenUI *After: PickOne\n*CloseUI: *After\n");
    ASSERT_EQ(doc->featureCount, 2);
    const PpdFeature *f = doc->featureAt(0);
    EXPECT_EQ(show(f->keyword), "*PageSize");
    EXPECT_EQ(show(f->translation), "Page Size");
    EXPECT_EQ(show(f->defaultOption), "Letter");
    EXPECT_EQ(f->orderDependency, 10);
    EXPECT_EQ(show(f->queryText), "query one");  // a second query line is skipped
    ASSERT_EQ(f->optionCount, 2);
    EXPECT_EQ(show(f->options[0]->keyword), "Letter");
    EXPECT_EQ(show(f->options[0]->translation), "US Letter");
    EXPECT_EQ(show(f->options[0]->invocation), "<3C><3C>/PageSize[612 792]>>setpagedevice");
    EXPECT_EQ(show(f->options[1]->keyword), "A4");
    EXPECT_EQ(show(f->options[1]->translation), "A4");
    EXPECT_EQ(show(f->options[1]->invocation), "a4<0D><0A>  second line");
    EXPECT_EQ(f->options[1]->constrained, 0);
    EXPECT_EQ(show(doc->featureAt(1)->keyword), "*After");
    EXPECT_EQ(doc->featureAt(1)->defaultOption.length, 0);
    EXPECT_EQ(doc->featureAt(1)->queryText, nullptr);
}

TEST(PpdParser, NestedOpenUiClosesTheOuterBlock) {
    auto doc = parsePpd(
        "*OpenUI *Outer: PickOne\n*Outer A: \"a\"\n"
        "*OpenUI *Inner: PickOne\n*Inner X: \"x\"\n*CloseUI: *Inner\n"
        "*Outer B: \"b\"\n*CloseUI: *Outer\n"
        "*OpenUI *After: PickOne\n*CloseUI: *After\n");
    ASSERT_EQ(doc->featureCount, 2);
    EXPECT_EQ(show(doc->featureAt(0)->keyword), "*Outer");
    ASSERT_EQ(doc->featureAt(0)->optionCount, 1);
    EXPECT_EQ(show(doc->featureAt(0)->options[0]->keyword), "A");
    EXPECT_EQ(show(doc->featureAt(1)->keyword), "*After");
}

TEST(PpdParser, ReadsConstraintsAcrossLines) {
    auto doc = parsePpd(
        "*UIConstraints: *Option1 False\n*Duplex DuplexTumble\n"
        "*UIConstraints: *A B *C D\n"
        "*UIConstraints: *Cut short\n");
    ASSERT_EQ(doc->constraintCount, 3);
    const char *expected[3][4] = {
        {"*Option1", "False", "*Duplex", "DuplexTumble"}, {"*A", "B", "*C", "D"}, {"*Cut", "short", "", ""}};
    for (int32_t i = 0; i < 3; ++i) {
        const PpdConstraint *c = doc->constraints[i];
        EXPECT_EQ(show(c->feature1), expected[i][0]);
        EXPECT_EQ(show(c->option1), expected[i][1]);
        EXPECT_EQ(show(c->feature2), expected[i][2]);
        EXPECT_EQ(show(c->option2), expected[i][3]);
    }
}

// Input that ends inside an option line: the option is counted with what it
// holds, and the feature with it.
TEST(PpdParser, InputEndingInsideAnOptionLine) {
    const struct {
        const char *tail;
        const char *keyword;
        const char *translation;
        const char *invocation;
    } cases[] = {
        {"*P", "", "", "(none)"},
        {"*P Letter/US", "Letter", "US", "(none)"},
        {"*P Letter/US Letter:", "Letter", "US Letter", "(none)"},
        {"*P Letter: \"abc", "Letter", "Letter", "abc"},
    };
    for (const auto &c : cases) {
        auto doc = parsePpd(std::string("*OpenUI *P: PickOne\n*P A4: \"a4\"\n") + c.tail);
        ASSERT_EQ(doc->featureCount, 1) << c.tail;
        const PpdFeature *f = doc->featureAt(0);
        ASSERT_EQ(f->optionCount, 2) << c.tail;
        EXPECT_EQ(show(f->options[1]->keyword), c.keyword) << c.tail;
        EXPECT_EQ(show(f->options[1]->translation), c.translation) << c.tail;
        EXPECT_EQ(show(f->options[1]->invocation), c.invocation) << c.tail;
    }
    // Ends inside the *OpenUI line itself, or before its *CloseUI.
    // The feature is counted; a block cut short gives no installed option.
    for (const char *text : {"*OpenUI", "*OpenUI *P", "*OpenUI *P: PickOne\n*DefaultP:"}) {
        auto doc = parsePpd(std::string("*OpenGroup: InstallableOptions\n") + text);
        EXPECT_EQ(doc->featureCount, 1) << text;
        EXPECT_EQ(doc->installedCount, 0) << text;
    }
}

// Texts longer than 259 characters are cut at 259, wherever they come from.
TEST(PpdParser, CutsLongTextsAt259) {
    const std::string longText(300, 'x');
    auto doc = parsePpd("*ModelName: \"" + longText + "\"\n"
                        "*OpenUI *P/" + longText + ": PickOne\n"
                        "*P " + longText + "/" + std::string(300, '\xE9') + ": \"v\"\n"
                        "*DefaultP: " + longText + "\n"
                        "*CloseUI: *P\n"
                        "*OpenUI *" + std::string(400, 'k') + "/Short: PickOne\n*CloseUI: *K\n"
                        "*UIConstraints: *P " + longText + " *Q R\n");
    const std::string cut(259, 'x');
    EXPECT_EQ(doc->modelName.length, 259);
    EXPECT_EQ(show(doc->modelName), cut);
    ASSERT_EQ(doc->featureCount, 2);
    const PpdFeature *f = doc->featureAt(0);
    EXPECT_EQ(show(f->translation), cut);
    EXPECT_EQ(show(f->defaultOption), cut);
    ASSERT_EQ(f->optionCount, 1);
    EXPECT_EQ(show(f->options[0]->keyword), cut);
    EXPECT_EQ(f->options[0]->translation.length, 259);
    EXPECT_EQ(f->options[0]->translation.text[258], 0xE9);
    EXPECT_EQ(show(doc->featureAt(1)->keyword), "*" + std::string(258, 'k'));
    EXPECT_EQ(show(doc->featureAt(1)->translation), "Short");
    EXPECT_EQ(show(doc->constraints[0]->option1), cut);
}

TEST(PpdParser, LookupsByText) {
    auto doc = parsePpd(
        "*OpenUI *Duplex/Two-Sided: PickOne\n*CloseUI: *Duplex\n"
        "*OpenUI *Staple/Two-Sided: PickOne\n*CloseUI: *Staple\n"
        "*OpenUI *Duplex/Again: PickOne\n*CloseUI: *Duplex\n");
    EXPECT_EQ(doc->findFeatureByKeyword(units("*Duplex").c_str()), 0);
    EXPECT_EQ(doc->findFeatureByKeyword(units("*Staple").c_str()), 1);
    EXPECT_EQ(doc->findFeatureByKeyword(units("Duplex").c_str()), -1);
    EXPECT_EQ(doc->findFeatureByKeyword(units("*duplex").c_str()), -1);
    EXPECT_EQ(doc->findFeatureByKeyword(nullptr), -1);
    EXPECT_EQ(doc->findFeatureByTranslation(units("Two-Sided").c_str()), 0);
    EXPECT_EQ(doc->findFeatureByTranslation(units("Again").c_str()), 2);
    EXPECT_EQ(doc->findFeatureByTranslation(units("Two").c_str()), -1);
    EXPECT_EQ(doc->findFeatureByTranslation(nullptr), -1);
    EXPECT_EQ(show(doc->keywordForTranslation(units("Two-Sided").c_str())), "*Duplex");
    EXPECT_EQ(doc->keywordForTranslation(units("None").c_str()), nullptr);
    EXPECT_EQ(doc->keywordForTranslation(nullptr), nullptr);
    EXPECT_EQ(doc->featureAt(-1), nullptr);
    EXPECT_EQ(doc->featureAt(3), nullptr);
    EXPECT_NE(doc->featureAt(2), nullptr);
}

// Many features, options and constraints: the arrays grow past their first room.
TEST(PpdParser, ArraysGrowPastTheirFirstRoom) {
    std::string text = "*OpenGroup: InstallableOptions\n";
    for (int i = 0; i < 40; ++i) text += "*OpenUI *I" + std::to_string(i) + ": Boolean\n*CloseUI: *I\n";
    text += "*CloseGroup: InstallableOptions\n*OpenUI *Big: PickOne\n";
    for (int i = 0; i < 200; ++i) text += "*Big O" + std::to_string(i) + ": \"\"\n";
    text += "*CloseUI: *Big\n";
    for (int i = 0; i < 1100; ++i) text += "*UIConstraints: *I1 True *Big O" + std::to_string(i % 200) + "\n";
    auto doc = parsePpd(text);
    EXPECT_EQ(doc->featureCount, 41);
    EXPECT_EQ(doc->installedCount, 40);
    EXPECT_EQ(doc->featureAt(40)->optionCount, 200);
    EXPECT_EQ(show(doc->featureAt(40)->options[199]->keyword), "O199");
    EXPECT_EQ(doc->constraintCount, 1100);
    EXPECT_EQ(show(doc->constraints[1099]->option2), "O99");
}

TEST(PpdString, AssignCopyAndCompare) {
    PpdString a;
    EXPECT_EQ(a.length, 0);
    EXPECT_EQ(a.text[0], 0);
    a.assignFromBytes(units("Letter").c_str());
    EXPECT_EQ(a.length, 6);
    PpdString b;
    b.copy(a);
    EXPECT_TRUE(b.equals(a));
    EXPECT_TRUE(b.equals(units("Letter").c_str()));
    EXPECT_FALSE(b.equals(units("letter").c_str()));
    EXPECT_FALSE(b.equals(units("Lette").c_str()));
    EXPECT_FALSE(b.equals(units("Letters").c_str()));
    EXPECT_FALSE(b.equals(static_cast<const PpdChar *>(nullptr)));
    b.length = 5;  // same units, other length
    EXPECT_FALSE(b.equals(a));
    // Units keep their low 8 bits only: 0x141 becomes 0x41; 0x100 ends the text.
    const PpdChar wide[] = {0x141, 'b', 0x100, 'c', 0};
    a.assignFromBytes(wide);
    EXPECT_EQ(show(a), "Ab");
    a.assignFromBytes(nullptr);
    EXPECT_EQ(a.length, 0);
}

}  // namespace
