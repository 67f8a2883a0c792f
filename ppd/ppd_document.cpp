// Reading a PPD file into a PpdDocument: the keyword table, the header
// values, groups, *OpenUI blocks with their options, and *UIConstraints.
#include "ppd/ppd_document.h"

#include <limits.h>
#include <string.h>
#include <new>

#include "ppd/ppd_tokenizer.h"

namespace {

// The recognised main keywords, sorted by unit value; the position is the code.
constexpr const PpdChar *kKeywords[kPpdKeywordCount] = {
    PPD_TEXT(""),
    PPD_TEXT("*?"),
    PPD_TEXT("*CloseGroup"),
    PPD_TEXT("*CloseUI"),
    PPD_TEXT("*Default"),
    PPD_TEXT("*End"),
    PPD_TEXT("*FileVersion"),
    PPD_TEXT("*FormatVersion"),
    PPD_TEXT("*LanguageEncoding"),
    PPD_TEXT("*LanguageVersion"),
    PPD_TEXT("*Manufacturer"),
    PPD_TEXT("*ModelName"),
    PPD_TEXT("*NickName"),
    PPD_TEXT("*OpenGroup"),
    PPD_TEXT("*OpenUI"),
    PPD_TEXT("*OrderDependency"),
    PPD_TEXT("*PCFileName"),
    PPD_TEXT("*PPD-Adobe"),
    PPD_TEXT("*PSVersion"),
    PPD_TEXT("*Product"),
    PPD_TEXT("*ShortNickName"),
    PPD_TEXT("*UIConstraints"),
};

const PpdChar kInstallableOptions[] = PPD_TEXT("InstallableOptions");

// The entries of kKeywords that share a second unit stand together (the
// table is sorted): for each second unit 0-127, the first such entry and
// their number, with the length of every entry.
struct KeywordIndex {
    unsigned char first[128];
    unsigned char count[128];
    unsigned char length[kPpdKeywordCount];
};

constexpr KeywordIndex makeKeywordIndex() {
    KeywordIndex index{};
    for (int32_t k = 1; k < kPpdKeywordCount; ++k) {
        const PpdChar *keyword = kKeywords[k];
        int32_t n = 0;
        while (keyword[n]) ++n;
        index.length[k] = static_cast<unsigned char>(n);
        uint16_t second = static_cast<uint16_t>(keyword[1]);
        if (index.count[second] == 0) index.first[second] = static_cast<unsigned char>(k);
        ++index.count[second];
    }
    return index;
}

constexpr KeywordIndex kKeywordIndex = makeKeywordIndex();

// True when some keyword has this second unit (after its asterisk).
bool isKeywordSecondUnit(PpdChar unit) {
    uint16_t u = static_cast<uint16_t>(unit);
    return u < 128 && kKeywordIndex.count[u] != 0;
}

// lookupKeyword for a token of the token buffer whose length is known: the
// same result, found by the second unit and the length. The token text ends
// at its first zero unit, so a keyword of n units matches when the token has
// those n units and a zero unit after them; only units up to the token's
// terminator are read.
PpdKeywordCode lookupTokenKeyword(const PpdChar *token, int32_t length) {
    if (length < 2 || token[0] != '*') return PpdKeywordCode::Empty;
    uint16_t second = static_cast<uint16_t>(token[1]);
    if (second >= 128) return PpdKeywordCode::Empty;
    const int32_t first = kKeywordIndex.first[second];
    const int32_t end = first + kKeywordIndex.count[second];
    for (int32_t k = first; k < end; ++k) {
        const int32_t n = kKeywordIndex.length[k];
        if (n <= length && token[n] == 0 && memcmp(token, kKeywords[k], static_cast<size_t>(n) * sizeof(PpdChar)) == 0) {
            return static_cast<PpdKeywordCode>(k);
        }
    }
    return PpdKeywordCode::Empty;
}

// Unit-by-unit comparison as unsigned 16-bit values.
int compareUnits(const PpdChar *a, const PpdChar *b) {
    for (;; ++a, ++b) {
        uint16_t x = static_cast<uint16_t>(*a);
        uint16_t y = static_cast<uint16_t>(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

bool startsWith(const PpdChar *text, int32_t length, const char *prefix) {
    int32_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= length || text[i] != static_cast<PpdChar>(prefix[i])) return false;
    }
    return true;
}

bool isSpaceUnit(PpdChar u) { return u == 0x20 || (u >= 0x09 && u <= 0x0D); }

int hexDigit(PpdChar u) {
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The value of a two-unit text read as a base-16 number the way the C
// library's wide conversion does: leading blanks skipped, a sign accepted,
// conversion stops at the first unit that is no hexadecimal digit, nothing
// converted gives 0.
long hexPairValue(PpdChar first, PpdChar second) {
    const PpdChar units[3] = {first, second, 0};
    int i = 0;
    while (isSpaceUnit(units[i])) ++i;
    bool negative = false;
    if (units[i] == '+' || units[i] == '-') {
        negative = units[i] == '-';
        ++i;
    }
    long value = 0;
    for (int d; (d = hexDigit(units[i])) >= 0; ++i) value = value * 16 + d;
    return negative ? -value : value;
}

// Decimal value after optional blanks and a sign; stops at the first
// non-digit; saturates instead of overflowing.
int32_t decimalValue(const PpdChar *text) {
    int i = 0;
    while (isSpaceUnit(text[i])) ++i;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return static_cast<int32_t>(value);
}

// Makes room for one more entry, doubling the array when it is full.
template <typename T>
bool growArray(T **&array, int32_t count, int32_t &room) {
    if (count < room) return true;
    if (room > INT32_MAX / 2) return false;
    int32_t newRoom = room * 2;
    T **grown = new (std::nothrow) T *[newRoom];
    if (!grown) return false;
    for (int32_t i = 0; i < count; ++i) grown[i] = array[i];
    delete[] array;
    array = grown;
    room = newRoom;
    return true;
}

// A zero-terminated copy of `length` units, or null when there is no room.
PpdChar *copyUnits(const PpdChar *units, int32_t length) {
    PpdChar *copy = new (std::nothrow) PpdChar[static_cast<size_t>(length) + 1];
    if (!copy) return nullptr;
    memcpy(copy, units, static_cast<size_t>(length) * sizeof(PpdChar));
    copy[length] = 0;
    return copy;
}

PpdFeature *newFeature() {
    PpdFeature *feature = new (std::nothrow) PpdFeature();
    if (!feature) return nullptr;
    feature->queryText = nullptr;
    feature->uiType = PpdUiPickOne;
    feature->orderDependency = 0;
    feature->optionCount = 0;
    feature->options = nullptr;
    return feature;
}

}  // namespace

PpdInstalledOption::~PpdInstalledOption() = default;

void destroyPpdFeature(PpdFeature *feature) {
    if (!feature) return;
    delete[] feature->queryText;
    if (feature->options) {
        for (int32_t i = 0; i < feature->optionCount; ++i) {
            PpdOption *option = feature->options[i];
            if (!option) continue;
            delete[] option->invocation;
            delete option;
        }
    }
    delete[] feature->options;
    delete feature;
}

PpdDocument::PpdDocument(PpdReadFn readFn, void *context)
    : featureCount(0),
      constraintCount(0),
      features(nullptr),
      constraints(nullptr),
      installedCount(0),
      installedOptions(nullptr),
      tokenBuffer(nullptr),
      source(nullptr) {
    tokenBuffer = new (std::nothrow) PpdChar[kPpdTokenBufferUnits];
    source = new (std::nothrow) ByteSource(readFn, context);
    if (tokenBuffer && source) parse();
    // The buffer and the source serve only the parse.
    delete source;
    source = nullptr;
    delete[] tokenBuffer;
    tokenBuffer = nullptr;
    applyInstalledConstraints();
}

PpdDocument::~PpdDocument() {
    if (features) {
        for (int32_t i = 0; i < featureCount; ++i) destroyPpdFeature(features[i]);
    }
    delete[] features;
    if (constraints) {
        for (int32_t i = 0; i < constraintCount; ++i) delete constraints[i];
    }
    delete[] constraints;
    if (installedOptions) {
        for (int32_t i = 0; i < installedCount; ++i) delete installedOptions[i];
    }
    delete[] installedOptions;
    delete source;
    delete[] tokenBuffer;
}

PpdFeature *PpdDocument::featureAt(int32_t index) const {
    if (!features || index < 0 || index >= featureCount) return nullptr;
    return features[index];
}

int32_t PpdDocument::findFeatureByKeyword(const PpdChar *text) const {
    if (!text || !features) return -1;
    for (int32_t i = 0; i < featureCount; ++i) {
        if (features[i] && features[i]->keyword.equals(text)) return i;
    }
    return -1;
}

int32_t PpdDocument::findFeatureByTranslation(const PpdChar *text) const {
    if (!text || !features) return -1;
    for (int32_t i = 0; i < featureCount; ++i) {
        if (features[i] && features[i]->translation.equals(text)) return i;
    }
    return -1;
}

const PpdChar *PpdDocument::keywordForTranslation(const PpdChar *text) const {
    int32_t index = findFeatureByTranslation(text);
    return index < 0 ? nullptr : features[index]->keyword.text;
}

PpdKeywordCode PpdDocument::lookupKeyword(const PpdChar *token) {
    if (!token) return PpdKeywordCode::Empty;
    // Every entry but the empty one (whose code is Empty anyway) begins with
    // an asterisk and one of a few second units: most tokens are turned
    // away here, before the search.
    if (token[0] != '*' || !isKeywordSecondUnit(token[1])) return PpdKeywordCode::Empty;
    int32_t lower = -1;
    int32_t upper = kPpdKeywordCount;
    while (upper - lower > 1) {
        int32_t middle = (lower + upper) / 2;
        int c = compareUnits(kKeywords[middle], token);
        if (c < 0) {
            lower = middle;
        } else if (c > 0) {
            upper = middle;
        } else {
            return static_cast<PpdKeywordCode>(middle);
        }
    }
    return PpdKeywordCode::Empty;
}

bool PpdDocument::readToken(bool allowBlanks, int32_t *length) {
    return PpdTokenizer::nextTokenGiven(*source, tokenBuffer, *length, allowBlanks);
}

bool PpdDocument::readValue(PpdString &target) {
    int32_t length = 0;
    if (!readToken(false, &length)) return false;
    target.assignFromBytes(tokenBuffer, length);
    return true;
}

bool PpdDocument::readKeywordTranslation(PpdString &keyword, PpdString &translation) {
    int32_t length = 0;
    if (!readToken(true, &length)) return false;

    // The working text holds at most 259 units; units past that are dropped,
    // so an over-long keyword or translation is cut, never overflowed.
    PpdChar work[kPpdStringUnits];
    int32_t n = 0;
    bool hex = false;
    bool pending = false;
    PpdChar pendingUnit = 0;
    auto append = [&](PpdChar unit) {
        if (n < kPpdStringMaxLength) work[n++] = unit;
    };
    for (int32_t i = 0; i < length; ++i) {
        PpdChar unit = tokenBuffer[i];
        if (unit == '/') {
            work[n] = 0;
            keyword.assignFromBytes(work, n);
            n = 0;
        } else if (unit == '<') {
            hex = true;
            pending = false;
        } else if (unit == '>') {
            hex = false;
            pending = false;
        } else if (!hex) {
            append(unit);
        } else if (!pending) {
            pendingUnit = unit;
            pending = true;
        } else {
            append(static_cast<PpdChar>(static_cast<uint16_t>(hexPairValue(pendingUnit, unit))));
            pending = false;
        }
    }
    work[n] = 0;
    if (keyword.length == 0) keyword.assignFromBytes(work, n);
    if (work[0] == '*') {
        translation.assignFromBytes(work + 1, n - 1);
    } else {
        translation.assignFromBytes(work, n);
    }
    return true;
}

bool PpdDocument::readUiBlock(PpdFeature &feature) {
    int32_t optionRoom = kPpdOptionRoom;
    feature.options = new (std::nothrow) PpdOption *[optionRoom];
    feature.optionCount = 0;
    feature.queryText = nullptr;
    if (!feature.options) return false;

    if (!readKeywordTranslation(feature.keyword, feature.translation)) return false;
    PpdString type;
    if (!readValue(type)) return false;
    if (type.equals(PPD_TEXT("PickMany"))) {
        feature.uiType = PpdUiPickMany;
    } else if (type.equals(PPD_TEXT("Boolean"))) {
        feature.uiType = PpdUiBoolean;
    } else {
        feature.uiType = PpdUiPickOne;
    }

    bool queryRead = false;
    int32_t length = 0;
    for (;;) {
        if (!readToken(false, &length)) return false;

        const PpdKeywordCode code = lookupTokenKeyword(tokenBuffer, length);
        if (code == PpdKeywordCode::CloseUI) {
            return readToken(false, &length);  // the keyword after the colon
        }
        if (startsWith(tokenBuffer, length, "*Default")) {
            // An end of input here shows at the next read.
            readValue(feature.defaultOption);
            continue;
        }
        if (code == PpdKeywordCode::OrderDependency) {
            if (!readToken(false, &length)) return false;
            feature.orderDependency = decimalValue(tokenBuffer);
            if (!readToken(false, &length)) return false;  // section
            if (!readToken(false, &length)) return false;  // keyword
            continue;
        }
        if (startsWith(tokenBuffer, length, "*?")) {
            if (!readToken(false, &length)) return false;
            // Only the block's first query line is kept; later ones are
            // skipped with their value.
            if (!queryRead) {
                feature.queryText = copyUnits(tokenBuffer, length);
                if (!feature.queryText) return false;
                queryRead = true;
            }
            continue;
        }
        if (feature.keyword.equals(tokenBuffer)) {
            if (!growArray(feature.options, feature.optionCount, optionRoom)) return false;
            PpdOption *option = new (std::nothrow) PpdOption();
            if (!option) return false;
            option->invocation = nullptr;
            option->constrained = 0;
            if (!readKeywordTranslation(option->keyword, option->translation) || !readToken(false, &length)) {
                feature.options[feature.optionCount++] = option;
                return false;
            }
            option->invocation = copyUnits(tokenBuffer, length);
            if (!option->invocation) {
                delete option;
                return false;
            }
            feature.options[feature.optionCount++] = option;
            continue;
        }
        // Anything else is skipped token by token.
    }
}

bool PpdDocument::parse() {
    int32_t featureRoom = kPpdFeatureRoom;
    int32_t installedRoom = kPpdInstalledRoom;
    int32_t constraintRoom = kPpdConstraintRoom;
    features = new (std::nothrow) PpdFeature *[featureRoom];
    installedOptions = new (std::nothrow) PpdInstalledOption *[installedRoom];
    constraints = new (std::nothrow) PpdConstraint *[constraintRoom];
    if (!features || !installedOptions || !constraints) {
        delete[] features;
        delete[] installedOptions;
        delete[] constraints;
        features = nullptr;
        installedOptions = nullptr;
        constraints = nullptr;
        return false;
    }

    PpdString groupKeyword;
    PpdString groupTranslation;
    bool proceed = true;
    int32_t length = 0;
    while (proceed) {
        if (!readToken(false, &length)) break;
        switch (lookupTokenKeyword(tokenBuffer, length)) {
        case PpdKeywordCode::CloseGroup:
            groupKeyword.clear();
            groupTranslation.clear();
            break;
        case PpdKeywordCode::LanguageEncoding:
            proceed = readValue(languageEncoding);
            break;
        case PpdKeywordCode::LanguageVersion:
            proceed = readValue(languageVersion);
            break;
        case PpdKeywordCode::Manufacturer:
            proceed = readValue(manufacturer);
            break;
        case PpdKeywordCode::ModelName:
            proceed = readValue(modelName);
            break;
        case PpdKeywordCode::Product:
            proceed = readValue(product);
            break;
        case PpdKeywordCode::OpenGroup:
            groupKeyword.clear();
            groupTranslation.clear();
            proceed = readKeywordTranslation(groupKeyword, groupTranslation);
            break;
        case PpdKeywordCode::OpenUI: {
            if (!growArray(features, featureCount, featureRoom)) return false;
            PpdFeature *feature = newFeature();
            if (!feature) return false;
            feature->groupKeyword.copy(groupKeyword);
            feature->groupTranslation.copy(groupTranslation);
            proceed = readUiBlock(*feature);
            if (proceed && groupKeyword.equals(kInstallableOptions)) {
                PpdInstalledOption *installed = nullptr;
                if (growArray(installedOptions, installedCount, installedRoom)) {
                    installed = new (std::nothrow) PpdInstalledOption();
                }
                if (!installed) {
                    destroyPpdFeature(feature);
                    return false;
                }
                installed->featureKeyword.copy(feature->keyword);
                installed->currentOption.copy(feature->defaultOption);
                installedOptions[installedCount++] = installed;
            }
            features[featureCount++] = feature;
            break;
        }
        case PpdKeywordCode::UIConstraints: {
            if (!growArray(constraints, constraintCount, constraintRoom)) return false;
            // Default-initialised: its four texts start empty, and their units
            // past the terminator are never read (constraints are compared
            // and hashed up to the terminator, never copied).
            PpdConstraint *constraint = new (std::nothrow) PpdConstraint;
            if (!constraint) return false;
            constraints[constraintCount++] = constraint;
            proceed = readValue(constraint->feature1) && readValue(constraint->option1) &&
                      readValue(constraint->feature2) && readValue(constraint->option2);
            break;
        }
        default:
            break;  // not a keyword the model keeps: skipped
        }
    }
    return true;
}
