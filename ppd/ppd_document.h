// The in-memory model of a PPD file: header values, the features of the
// *OpenUI blocks with their options and defaults, the *UIConstraints entries
// and the installable options with their current values. Built in one go by
// the constructor; afterwards only the installed options' current values and
// the options' constrained flags change (see ppd_constraints.h).
//
// Records are plain and public. Every record and array is owned by the record
// that holds it, down from the PpdDocument.
#pragma once

#include "ppd/byte_source.h"
#include "ppd/ppd_char.h"
#include "ppd/ppd_string.h"

// The UI type word of an *OpenUI line.
enum PpdUiType : int32_t {
    PpdUiPickOne = 1,
    PpdUiPickMany = 2,
    PpdUiBoolean = 3,
};

// The main keywords the parser recognises; a keyword's code is its position
// in the table sorted by unit value. Empty is also the code of every token
// that is not in the table.
enum class PpdKeywordCode : int32_t {
    Empty = 0,
    Query = 1,              // *?
    CloseGroup = 2,
    CloseUI = 3,
    Default = 4,
    End = 5,
    FileVersion = 6,
    FormatVersion = 7,
    LanguageEncoding = 8,
    LanguageVersion = 9,
    Manufacturer = 10,
    ModelName = 11,
    NickName = 12,
    OpenGroup = 13,
    OpenUI = 14,
    OrderDependency = 15,
    PCFileName = 16,
    PPDAdobe = 17,          // *PPD-Adobe
    PSVersion = 18,
    Product = 19,
    ShortNickName = 20,
    UIConstraints = 21,
};
constexpr int32_t kPpdKeywordCount = 22;

// The relation of one installed option to one option of another feature.
enum class ConstraintMatch : int32_t {
    Unrelated = 0,  // no constraint pairs the installed feature with the other feature
    Excluded = 1,   // a constraint rules the option out under the installed value
    Related = 2,    // the features are paired, but this option is not ruled out
};

// Initial room of the record arrays; each doubles when full.
constexpr int32_t kPpdFeatureRoom = 32;
constexpr int32_t kPpdInstalledRoom = 32;
constexpr int32_t kPpdConstraintRoom = 512;
constexpr int32_t kPpdOptionRoom = 64;

struct PpdOption {
    PpdString keyword;        // the option keyword, e.g. Letter
    PpdString translation;
    PpdChar *invocation;      // owned, undecoded value of the option line, or null
    unsigned char constrained;  // 1 when an installed option rules it out
};

struct PpdFeature {
    PpdString keyword;           // with its asterisk, e.g. *PageSize
    PpdString translation;
    PpdString defaultOption;     // value of the block's *Default line, or empty
    PpdString groupKeyword;      // group open when the block began, or empty
    PpdString groupTranslation;
    PpdChar *queryText;          // owned, undecoded value of the query line, or null
    int32_t uiType;              // PpdUiType
    int32_t orderDependency;     // 0 when the block has no *OrderDependency line
    int32_t optionCount;
    PpdOption **options;         // owned; null only when it could not be allocated
};

// The four words after *UIConstraints, as read.
struct PpdConstraint {
    PpdString feature1;
    PpdString option1;
    PpdString feature2;
    PpdString option2;
};

class PpdInstalledOption {
public:
    PpdInstalledOption() = default;
    virtual ~PpdInstalledOption();
    PpdString featureKeyword;  // the feature's keyword, asterisk included
    PpdString currentOption;   // at first the feature's default
};

class PpdDocument {
public:
    // Reads the whole input through readFn(context), then marks the options
    // that the installed options (at their PPD defaults) rule out. Never
    // fails: a construction that runs out of memory or input keeps what it
    // has read. The document keeps no reference to the input.
    PpdDocument(PpdReadFn readFn, void *context);
    virtual ~PpdDocument();
    PpdDocument(const PpdDocument &) = delete;
    PpdDocument &operator=(const PpdDocument &) = delete;

    // The feature at index, or null when the index is out of range.
    PpdFeature *featureAt(int32_t index) const;
    // Index of the first feature whose keyword equals text, or -1.
    int32_t findFeatureByKeyword(const PpdChar *text) const;
    // Index of the first feature whose translation equals text, or -1.
    int32_t findFeatureByTranslation(const PpdChar *text) const;
    // Keyword text of the first feature whose translation equals text, or null.
    const PpdChar *keywordForTranslation(const PpdChar *text) const;

    // Sets the current value of the first installed option whose feature
    // keyword (asterisk included) equals `keyword`, when both texts are
    // given; then runs applyInstalledConstraints when `rerun` is set.
    void setInstalledOption(const PpdChar *keyword, const PpdChar *value, bool rerun);
    // Marks every option of every feature outside "InstallableOptions" that
    // the installed options rule out, and clears the mark of the related
    // options that they do not rule out. Uses the indexed pass, and the
    // reference pass when the index cannot be allocated (same flags).
    void applyInstalledConstraints();
    // The relation of one installed option to one option of a feature,
    // judged by the constraints in file order.
    ConstraintMatch matchConstraint(const PpdString &installedFeature, const PpdString &installedOption,
                                    const PpdFeature &feature, const PpdOption &option) const;

    // The code of a token among the 22 recognised main keywords (exact).
    static PpdKeywordCode lookupKeyword(const PpdChar *token);

    int32_t featureCount;
    int32_t constraintCount;
    PpdFeature **features;
    PpdConstraint **constraints;
    PpdString modelName;
    PpdString product;
    PpdString manufacturer;
    PpdString languageEncoding;
    PpdString languageVersion;
    int32_t installedCount;
    PpdInstalledOption **installedOptions;
    PpdChar *tokenBuffer;  // only while the constructor runs
    ByteSource *source;    // only while the constructor runs

private:
    bool parse();
    bool readValue(PpdString &target);
    bool readKeywordTranslation(PpdString &keyword, PpdString &translation);
    bool readUiBlock(PpdFeature &feature);
    bool readToken(bool allowBlanks, int32_t *length);
};

// Releases a feature with its query text, options, their invocations and the
// options array (the order the document's destructor uses).
void destroyPpdFeature(PpdFeature *feature);
