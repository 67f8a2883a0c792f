// Reads real PPD files with quorlix's reader and with libcups' ppdOpenFile in
// one run and compares what both make of them: feature keywords, option
// keywords, defaults, group membership and the *UIConstraints entries of four
// words. Every difference is put in a class; each class the reader's rules
// explain is listed below with its explanation, and a difference outside the
// list fails the run. On every file it also checks that the indexed
// constraint pass gives the same flags as the literal reference pass.
//
// Texts: quorlix's native build decodes the file's bytes as Windows-1252 into
// UTF-16, and cups keeps keywords as the file's bytes. Keywords are compared
// as bytes after mapping quorlix's units back through Windows-1252 (an exact
// inverse); translations are not compared.
//
// libcups runs in a helper process, ppd_corpus_cups (beside this program),
// built without sanitizers; this program runs it once over the whole list
// and reads its records as it goes.
//
// Usage: ppd_corpus --cache DIR [--every N] [--offset K] [--verbose]
//        ppd_corpus FILE...
// With --cache it reads DIR/index.txt (made by unpack_corpus.py) and takes
// every Nth file starting at K.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "ppd/byte_source.h"
#include "ppd/ppd_constraints.h"
#include "ppd/ppd_document.h"
#include "tools/constraint_flags.h"

namespace {

// ---------------------------------------------------------------------------
// Difference classes.

struct ClassInfo {
    const char *id;
    const char *explanation;
};

// Every class a difference may fall in without failing the run.
const ClassInfo kExplained[] = {
    {"cups-rejects-file",
     "libcups refuses the file (its strict line syntax: e.g. a keyword longer than 40 bytes, a line without a "
     "colon, a missing *PPD-Adobe header); quorlix never rejects, it reads what it can"},
    {"cups-group-after-jcl",
     "after a *JCLOpenUI block inside a group, cups files the group's later features under General (its JCL "
     "handling leaves no current group); the reader keeps the group open until *CloseGroup"},
    {"jcl-feature",
     "*JCLOpenUI blocks are not recognised by the reader: their lines are skipped at the top level; cups makes "
     "them features of group JCL"},
    {"nested-openui",
     "an *OpenUI inside another block is not a feature for the reader (its *CloseUI closes the outer block); "
     "cups makes it a feature"},
    {"cups-implicit-feature",
     "cups makes a feature from option lines or *Default lines that stand outside any *OpenUI block (it creates "
     "PageSize/PageRegion/InputSlot-like options on the fly); the reader only makes features of *OpenUI blocks"},
    {"repeated-openui",
     "the file opens the same feature keyword in more than one *OpenUI block: the reader keeps each block as its "
     "own feature, cups merges them into one option"},
    {"subgroup",
     "*OpenSubGroup is not recognised: the reader keeps the enclosing group, cups files the feature under the "
     "subgroup"},
    {"no-group",
     "a feature outside any *OpenGroup has an empty group for the reader; cups files it under General"},
    {"default-outside-block",
     "the feature's *Default line stands outside its *OpenUI block: the reader only reads *Default lines "
     "inside the block (empty default or the in-block value); cups takes it wherever it stands"},
    {"default-foreign-in-block",
     "a *Default line of another keyword stands inside the block: the reader takes every line that begins "
     "with *Default inside a block as the block's default, cups files it under its own keyword"},
    {"default-with-slash",
     "a *Default value written as keyword/translation: the reader keeps the whole word, cups only the text "
     "before the slash"},
    {"default-first-word",
     "an unquoted *Default value with blanks: the reader keeps its first word, cups the whole line"},
    {"cups-custom-choice",
     "cups adds a choice Custom to a feature with *Custom<keyword> / *ParamCustom lines (custom page size "
     "or custom options); the file has no such option line"},
    {"option-lines-outside-block",
     "option lines of the feature stand outside its *OpenUI block: cups adds them to the feature, the reader "
     "skips option lines outside a block"},
    {"cups-drops-choice",
     "cups drops or merges an option the reader keeps: a repeated option keyword, or an option line cups "
     "cannot use (e.g. an option keyword of more than 40 bytes)"},
    {"cups-truncates-name",
     "a keyword, option keyword, group or default longer than 40 bytes: cups cuts it at 40, the reader keeps "
     "up to 259 characters"},
    {"slash-in-translation",
     "an option or feature line whose keyword/translation token holds more than one slash (or a hex-coded "
     "slash): the reader takes the text before the last slash as the keyword, cups the text before the first"},
    {"constraint-short-line",
     "a *UIConstraints line of fewer than four words: the reader takes the missing words from the following "
     "line(s), so that entry and the next line's entry differ from cups; when the next line is an *OpenUI "
     "line, its keyword is taken as a word and the block that follows is no feature"},
    {"constraint-missing-option-words",
     "cups keeps a *UIConstraints line of two or three words as a constraint with empty option words (cups' "
     "handling of missing option words); the reader has no four-word entry that matches it"},
    {"constraint-inside-block",
     "a *UIConstraints line inside an *OpenUI block: the reader skips every line of a block that is not an "
     "option, *Default, *OrderDependency, query or *CloseUI line; cups reads it"},
    {"constraint-nonui",
     "*NonUIConstraints lines are not recognised by the reader (skipped at the top level); cups reads them as "
     "constraints"},
    {"constraint-long-word",
     "a constraint word longer than 40 bytes: cups' scan splits it into two words, the reader keeps it whole"},
    {"parse-ends-early",
     "the reader's parse ended before the end of the file (a block that is not closed, a second *? query line "
     "in a block, or the end of input inside a construct): features and constraints after that point are missing, "
     "and a block left open takes later lines that begin with its keyword as its options"},
};

bool isExplained(const std::string &id) {
    for (const ClassInfo &c : kExplained)
        if (id == c.id) return true;
    return false;
}

struct ClassTally {
    long count = 0;
    std::string example;
};

std::map<std::string, ClassTally> gTally;
std::mutex gTallyLock;
bool gVerbose = false;

void note(const std::string &id, const std::string &file, const std::string &detail) {
    std::lock_guard<std::mutex> hold(gTallyLock);
    ClassTally &t = gTally[id];
    if (t.count++ == 0) t.example = file + ": " + detail;
    if (gVerbose && !isExplained(id)) fprintf(stderr, "%s: %s: %s\n", id.c_str(), file.c_str(), detail.c_str());
}

// ---------------------------------------------------------------------------
// Text helpers.

const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The bytes a Windows-1252 text came from.
std::string toBytes(const PpdString &s) {
    std::string out;
    for (int32_t i = 0; i < s.length; ++i) {
        char16_t u = s.text[i];
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char c = '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == u) c = static_cast<char>(0x80 + k);
        out += c;
    }
    return out;
}

std::string stripStar(const std::string &s) { return (!s.empty() && s[0] == '*') ? s.substr(1) : s; }

// ---------------------------------------------------------------------------
// The two readers' views, in one shape.

struct Feature {
    std::string keyword;  // without the asterisk
    std::string group;    // innermost group (cups: subgroup when there is one)
    std::string topGroup; // outermost group
    std::string defaultOption;
    std::vector<std::string> options;
    int blocks = 1;       // quorlix: number of blocks with this keyword
};

typedef std::array<std::string, 4> Constraint;

struct View {
    std::vector<Feature> features;  // file order (cups: group order)
    std::vector<Constraint> constraints;
    std::vector<Constraint> shortConstraints;  // cups: entries with an empty option word
};

View quorlixView(const PpdDocument &doc) {
    View v;
    std::map<std::string, size_t> seen;
    for (int32_t i = 0; i < doc.featureCount; ++i) {
        const PpdFeature *f = doc.featureAt(i);
        std::string key = stripStar(toBytes(f->keyword));
        auto it = seen.find(key);
        if (it != seen.end()) {
            v.features[it->second].blocks++;
            continue;
        }
        Feature out;
        out.keyword = key;
        out.group = out.topGroup = toBytes(f->groupKeyword);
        out.defaultOption = toBytes(f->defaultOption);
        for (int32_t j = 0; j < f->optionCount; ++j) out.options.push_back(toBytes(f->options[j]->keyword));
        seen[key] = v.features.size();
        v.features.push_back(out);
    }
    for (int32_t i = 0; i < doc.constraintCount; ++i) {
        const PpdConstraint *c = doc.constraints[i];
        v.constraints.push_back({stripStar(toBytes(c->feature1)), toBytes(c->option1), stripStar(toBytes(c->feature2)),
                                 toBytes(c->option2)});
    }
    return v;
}

// One record of ppd_corpus_cups.
struct CupsRecord {
    std::string path;
    bool rejected = false;
    std::string error;
    View view;
};

std::vector<std::string> splitFields(const std::string &line) {
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 1; i < line.size(); ++i) {
        char ch = line[i];
        if (ch == '\t') {
            out.push_back(cur);
            cur.clear();
        } else if (ch == '\\' && i + 1 < line.size()) {
            char e = line[++i];
            cur += e == 't' ? '\t' : e == 'n' ? '\n' : e;
        } else {
            cur += ch;
        }
    }
    out.push_back(cur);
    if (!out.empty() && out[0].empty()) out.erase(out.begin());  // the tab after the tag
    return out;
}

bool readLine(FILE *in, std::string *line) {
    line->clear();
    int ch;
    while ((ch = fgetc(in)) != EOF && ch != '\n') *line += static_cast<char>(ch);
    return ch != EOF || !line->empty();
}

bool readCupsRecord(FILE *in, CupsRecord *rec) {
    *rec = CupsRecord();
    std::string line;
    while (readLine(in, &line)) {
        if (line.empty()) continue;
        std::vector<std::string> f = splitFields(line);
        switch (line[0]) {
        case 'P':
            rec->path = f.empty() ? "" : f[0];
            break;
        case 'F': {
            if (f.size() < 4) return false;
            Feature feat;
            feat.keyword = f[0];
            feat.group = f[1];
            feat.topGroup = f[2];
            feat.defaultOption = f[3];
            feat.options.assign(f.begin() + 4, f.end());
            rec->view.features.push_back(feat);
            break;
        }
        case 'C': {
            if (f.size() != 4) return false;
            Constraint k = {f[0], f[1], f[2], f[3]};
            if (!k[1].empty() && !k[3].empty()) rec->view.constraints.push_back(k);
            else rec->view.shortConstraints.push_back(k);
            break;
        }
        case 'R':
            rec->rejected = true;
            rec->error = f.empty() ? "" : f[0];
            if (f.size() > 1) rec->error += " at line " + f[1];
            break;
        case 'E':
            return true;
        default:
            return false;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Evidence from the file's lines, to tell which rule explains a difference.

struct Line {
    std::string keyword;  // main keyword with its asterisk
    std::string option;   // the option part (up to the colon), may be empty
    std::string value;    // the rest of the line after the colon, trimmed
    bool inBlock;         // inside an *OpenUI block when the line began
    std::string block;    // keyword of that block (with asterisk)
};

struct Evidence {
    std::vector<Line> lines;
    std::set<std::string> jclFeatures;        // keywords without asterisk
    std::set<std::string> nestedOpenUi;       // *OpenUI inside a block
    std::map<std::string, int> openUiCount;   // top-level *OpenUI per keyword
    std::set<std::string> defaultOutside;     // *DefaultX outside blocks (X)
    std::set<std::string> defaultInOwnBlock;  // X whose block holds *DefaultX
    std::set<std::string> blocksWithForeignDefault;
    std::set<std::string> optionLinesOutside; // X with option lines outside blocks
    std::set<std::string> customFeatures;     // X with *CustomX or *ParamCustomX
    std::set<std::string> multiSlash;         // every part of *OpenUI names with two or more slashes
    std::set<std::string> multiSlashOptions;  // X with option lines of two or more slashes
    std::set<std::string> afterJclInGroup;    // *OpenUI after a *JCLOpenUI in the same group
    std::set<std::string> afterShortConstraint;  // *OpenUI right after a short *UIConstraints line
    bool shortConstraintLine = false;
    std::set<Constraint> constraintInBlock;     // four-word lines inside an *OpenUI block
    std::set<Constraint> constraintAfterShort;  // four-word lines right after a short one
    std::set<std::pair<std::string, std::string>> shortStarts;  // first two words the reader makes of short lines
    bool nonUiConstraints = false;
    bool longConstraintWord = false;
    bool twoQueriesInBlock = false;
    bool unclosedBlock = false;
    std::string unclosedName;  // the block left open at the end of the file
};

bool startsWith(const std::string &s, const char *p) { return s.compare(0, strlen(p), p) == 0; }

std::vector<std::string> words(const std::string &s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t b = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > b) out.push_back(s.substr(b, i - b));
    }
    return out;
}

// Hexadecimal pairs in angle brackets become the bytes they code, as the
// reader decodes keyword/translation tokens.
std::string hexDecode(const std::string &s) {
    std::string out;
    bool hex = false;
    std::string pair;
    for (char ch : s) {
        if (ch == '<') {
            hex = true;
            pair.clear();
        } else if (ch == '>') {
            hex = false;
        } else if (!hex) {
            out += ch;
        } else {
            pair += ch;
            if (pair.size() == 2) {
                out += static_cast<char>(strtol(pair.c_str(), nullptr, 16));
                pair.clear();
            }
        }
    }
    return out;
}

Evidence scanLines(const std::string &bytes) {
    Evidence ev;
    std::vector<std::string> raw;
    {
        size_t i = 0;
        while (i < bytes.size()) {
            size_t e = bytes.find_first_of("\r\n", i);
            if (e == std::string::npos) e = bytes.size();
            raw.push_back(bytes.substr(i, e - i));
            i = e + 1;
            if (e < bytes.size() && bytes[e] == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
        }
    }
    bool inBlock = false;
    bool jclInGroup = false;
    bool shortConstraintBefore = false;
    std::string block;
    int queries = 0;
    bool inQuote = false;
    for (const std::string &l : raw) {
        if (inQuote) {
            if (std::count(l.begin(), l.end(), '"') % 2 == 1) inQuote = false;
            continue;
        }
        if (l.size() < 2 || l[0] != '*' || l[1] == '%') continue;
        Line ln;
        size_t colon = l.find(':');
        std::string head = l.substr(0, colon);
        ln.value = colon == std::string::npos ? "" : l.substr(colon + 1);
        while (!ln.value.empty() && (ln.value[0] == ' ' || ln.value[0] == '\t')) ln.value.erase(0, 1);
        while (!ln.value.empty() && (ln.value.back() == ' ' || ln.value.back() == '\t')) ln.value.pop_back();
        size_t sp = head.find_first_of(" \t");
        ln.keyword = head.substr(0, sp);
        if (sp != std::string::npos) {
            ln.option = head.substr(sp + 1);
            while (!ln.option.empty() && (ln.option[0] == ' ' || ln.option[0] == '\t')) ln.option.erase(0, 1);
        }
        ln.inBlock = inBlock;
        ln.block = block;
        if (std::count(ln.value.begin(), ln.value.end(), '"') % 2 == 1) inQuote = true;
        const std::string &k = ln.keyword;
        // The feature named on an *OpenUI line: cups takes the text before the
        // first slash, the reader the text before the last one.
        std::string named = stripStar(ln.option.substr(0, ln.option.find('/')));
        if (std::count(ln.option.begin(), ln.option.end(), '/') > 1) {
            size_t b = 0;
            while (b <= ln.option.size()) {
                size_t e = ln.option.find('/', b);
                if (e == std::string::npos) e = ln.option.size();
                ev.multiSlash.insert(stripStar(ln.option.substr(b, e - b)));
                ev.multiSlash.insert(stripStar(hexDecode(ln.option.substr(b, e - b))));
                b = e + 1;
            }
        }
        if (k == "*OpenGroup" || k == "*CloseGroup") {
            jclInGroup = false;
        } else if (k == "*JCLOpenUI") {
            ev.jclFeatures.insert(named);
            jclInGroup = true;
        } else if (k == "*OpenUI") {
            if (inBlock) {
                ev.nestedOpenUi.insert(named);
            } else {
                ev.openUiCount[named]++;
                if (jclInGroup) ev.afterJclInGroup.insert(named);
                if (shortConstraintBefore) ev.afterShortConstraint.insert(named);
                inBlock = true;
                block = "*" + named;
                queries = 0;
            }
        } else if (k == "*CloseUI") {
            inBlock = false;
            block.clear();
        } else if (startsWith(k, "*Default")) {
            std::string of = k.substr(8);
            if (!inBlock) ev.defaultOutside.insert(of);
            else if ("*" + of == block) ev.defaultInOwnBlock.insert(of);
            else ev.blocksWithForeignDefault.insert(stripStar(block));
        } else if (startsWith(k, "*?")) {
            if (inBlock && ++queries > 1) ev.twoQueriesInBlock = true;
        } else if (k == "*UIConstraints" || k == "*NonUIConstraints") {
            std::vector<std::string> w = words(ln.value);
            if (k == "*UIConstraints") {
                // The reader reads four words after every top-level
                // *UIConstraints, across line ends; lines inside a block it skips.
                if (w.size() >= 4) {
                    Constraint t = {stripStar(w[0]), w[1], stripStar(w[2]), w[3]};
                    if (inBlock) ev.constraintInBlock.insert(t);
                    else if (shortConstraintBefore) ev.constraintAfterShort.insert(t);
                } else if (!inBlock) {
                    ev.shortConstraintLine = true;
                    ev.shortStarts.insert({w.empty() ? "UIConstraints" : stripStar(w[0]),
                                           w.empty() ? "" : w.size() >= 2 ? w[1] : "*UIConstraints"});
                }
            }
            if (k == "*NonUIConstraints") ev.nonUiConstraints = true;
            for (const std::string &x : w)
                if (x.size() > 40) ev.longConstraintWord = true;
        } else if (startsWith(k, "*Custom")) {
            ev.customFeatures.insert(k.substr(7));
        } else if (startsWith(k, "*ParamCustom")) {
            ev.customFeatures.insert(k.substr(12));
        } else if (!ln.option.empty()) {
            if (!inBlock) ev.optionLinesOutside.insert(stripStar(k));
            if (std::count(ln.option.begin(), ln.option.end(), '/') > 1) ev.multiSlashOptions.insert(stripStar(k));
        }
        shortConstraintBefore = k == "*UIConstraints" && !ln.inBlock && words(ln.value).size() < 4;
        ev.lines.push_back(ln);
    }
    if (inBlock) {
        ev.unclosedBlock = true;
        ev.unclosedName = stripStar(block);
    }
    return ev;
}

// ---------------------------------------------------------------------------
// Comparison of one file.

struct FileResult {
    bool agree = true;
    bool unexplained = false;
};

void differ(FileResult &r, const std::string &id, const std::string &file, const std::string &detail) {
    r.agree = false;
    if (!isExplained(id)) r.unexplained = true;
    note(id, file, detail);
}

bool anyLonger(const std::vector<std::string> &v, size_t n) {
    for (const std::string &s : v)
        if (s.size() > n) return true;
    return false;
}

// Why cups' options of a feature differ from the reader's.
std::string classifyOptions(const Feature &q, const Feature &c, const Evidence &ev) {
    std::set<std::string> qs(q.options.begin(), q.options.end()), cs(c.options.begin(), c.options.end());
    std::vector<std::string> onlyCups, onlyQuorlix;
    std::set_difference(cs.begin(), cs.end(), qs.begin(), qs.end(), std::back_inserter(onlyCups));
    std::set_difference(qs.begin(), qs.end(), cs.begin(), cs.end(), std::back_inserter(onlyQuorlix));
    // The block that runs to the end of the file takes in every later line
    // that begins with its keyword (e.g. constraint words) as an option.
    if (ev.unclosedBlock && q.keyword == ev.unclosedName) return "parse-ends-early";
    if (anyLonger(q.options, 40)) return "cups-truncates-name";
    if (ev.multiSlashOptions.count(q.keyword)) return "slash-in-translation";
    // cups adds Custom to PageRegion too when the file has *CustomPageSize.
    bool custom = ev.customFeatures.count(c.keyword) ||
                  (c.keyword == "PageRegion" && ev.customFeatures.count("PageSize"));
    if (onlyCups.size() == 1 && onlyCups[0] == "Custom" && custom)
        return "cups-custom-choice";
    if (!onlyCups.empty() && ev.optionLinesOutside.count(c.keyword)) return "option-lines-outside-block";
    if (onlyCups.empty() && q.options.size() > c.options.size()) return "cups-drops-choice";
    if (onlyCups.empty() && onlyQuorlix.empty() && q.options.size() > c.options.size()) return "cups-drops-choice";
    return "options-differ-unexplained";
}

std::string classifyDefault(const Feature &q, const Feature &c, const Evidence &ev) {
    if (c.defaultOption.size() == 40 && q.defaultOption.size() > 40) return "cups-truncates-name";
    if (ev.blocksWithForeignDefault.count(q.keyword)) return "default-foreign-in-block";
    if (q.defaultOption.compare(0, c.defaultOption.size() + 1, c.defaultOption + "/") == 0)
        return "default-with-slash";
    if (ev.defaultOutside.count(q.keyword)) return "default-outside-block";
    if (!q.defaultOption.empty() && startsWith(c.defaultOption, q.defaultOption.c_str()) &&
        c.defaultOption.size() > q.defaultOption.size() &&
        (c.defaultOption[q.defaultOption.size()] == ' ' || c.defaultOption[q.defaultOption.size()] == '\t'))
        return "default-first-word";
    return "default-differs-unexplained";
}

std::string describe(const Constraint &k) { return k[0] + " " + k[1] + " " + k[2] + " " + k[3]; }

bool lineHasConstraint(const Evidence &ev, const char *keyword, const Constraint &k) {
    for (const Line &l : ev.lines) {
        if (l.keyword != keyword) continue;
        std::vector<std::string> w = words(l.value);
        if (w.size() >= 4 && stripStar(w[0]) == k[0] && w[1] == k[1] && stripStar(w[2]) == k[2] && w[3] == k[3])
            return true;
    }
    return false;
}

// Whether the reader's parse ended before the end of the file: a block left
// open runs to the end, a second query line in a block ends the parse.
bool parseEndedEarly(const PpdDocument &doc, const Evidence &ev) {
    return ev.twoQueriesInBlock || ev.unclosedBlock || (doc.featureCount == 0 && !ev.openUiCount.empty());
}

void compareConstraints(const View &q, const View &c, const Evidence &ev, bool endedEarly,
                        const std::string &file, FileResult &r) {
    std::multiset<Constraint> qs(q.constraints.begin(), q.constraints.end());
    std::multiset<Constraint> cs(c.constraints.begin(), c.constraints.end());
    std::vector<Constraint> onlyCups, onlyQuorlix;
    std::set_difference(cs.begin(), cs.end(), qs.begin(), qs.end(), std::back_inserter(onlyCups));
    std::set_difference(qs.begin(), qs.end(), cs.begin(), cs.end(), std::back_inserter(onlyQuorlix));
    for (const Constraint &k : c.shortConstraints)
        differ(r, "constraint-missing-option-words", file, "cups keeps " + describe(k));
    for (const Constraint &k : onlyCups) {
        std::string id;
        if (lineHasConstraint(ev, "*NonUIConstraints", k) && !lineHasConstraint(ev, "*UIConstraints", k))
            id = "constraint-nonui";
        else if (ev.longConstraintWord) id = "constraint-long-word";
        else if (ev.constraintInBlock.count(k)) id = "constraint-inside-block";
        else if (ev.constraintAfterShort.count(k)) id = "constraint-short-line";
        else if (endedEarly) id = "parse-ends-early";
        else id = "constraint-cups-only-unexplained";
        differ(r, id, file, "only cups has " + describe(k));
    }
    for (const Constraint &k : onlyQuorlix) {
        std::string id;
        if (ev.longConstraintWord) id = "constraint-long-word";
        else if (ev.shortStarts.count({k[0], k[1]}) || ev.shortStarts.count({k[0], ""}))
            id = "constraint-short-line";
        else id = "constraint-quorlix-only-unexplained";
        differ(r, id, file, "only the reader has " + describe(k));
    }
}

FileResult compareViews(const PpdDocument &doc, const View &q, const View &c, const Evidence &ev,
                        const std::string &file) {
    FileResult r;
    std::map<std::string, const Feature *> qm, cm;
    for (const Feature &f : q.features) qm[f.keyword] = &f;
    for (const Feature &f : c.features) cm.emplace(f.keyword, &f);

    for (const Feature &f : c.features) {
        if (qm.count(f.keyword)) continue;
        std::string id;
        if (ev.jclFeatures.count(f.keyword)) id = "jcl-feature";
        else if (ev.multiSlash.count(f.keyword)) id = "slash-in-translation";
        else if (ev.afterShortConstraint.count(f.keyword)) id = "constraint-short-line";
        else if (ev.nestedOpenUi.count(f.keyword)) id = "nested-openui";
        else if (!ev.openUiCount.count(f.keyword)) id = "cups-implicit-feature";
        else if (parseEndedEarly(doc, ev)) id = "parse-ends-early";
        else id = "feature-cups-only-unexplained";
        differ(r, id, file, "only cups has feature " + f.keyword + " (group " + f.group + ")");
    }
    for (const Feature &f : q.features) {
        auto it = cm.find(f.keyword);
        if (it == cm.end()) {
            std::string id = f.keyword.size() > 40           ? "cups-truncates-name"
                             : ev.multiSlash.count(f.keyword) ? "slash-in-translation"
                                                              : "feature-quorlix-only-unexplained";
            differ(r, id, file, "only the reader has feature " + f.keyword);
            continue;
        }
        const Feature &g = *it->second;
        if (f.blocks > 1 || (ev.openUiCount.count(f.keyword) && ev.openUiCount.at(f.keyword) > 1)) {
            differ(r, "repeated-openui", file, f.keyword + " opened in " + std::to_string(f.blocks) + " blocks");
            continue;
        }
        if (f.group != g.group) {
            std::string id;
            if (f.group.empty() && g.group == "General") id = "no-group";
            else if (f.group == g.topGroup && g.group != g.topGroup) id = "subgroup";
            else if (g.group == "General" && ev.afterJclInGroup.count(f.keyword)) id = "cups-group-after-jcl";
            else if (f.group.size() > 40 && g.group.size() == 40) id = "cups-truncates-name";
            else id = "group-differs-unexplained";
            differ(r, id, file, f.keyword + ": group '" + f.group + "' vs cups '" + g.group + "'");
        }
        if (f.defaultOption != g.defaultOption)
            differ(r, classifyDefault(f, g, ev), file,
                   f.keyword + ": default '" + f.defaultOption + "' vs cups '" + g.defaultOption + "'");
        if (f.options != g.options) {
            std::string a, b;
            for (const std::string &s : f.options) a += " " + s;
            for (const std::string &s : g.options) b += " " + s;
            differ(r, classifyOptions(f, g, ev), file, f.keyword + ": options [" + a + " ] vs cups [" + b + " ]");
        }
    }
    compareConstraints(q, c, ev, parseEndedEarly(doc, ev), file, r);
    return r;
}

// ---------------------------------------------------------------------------
// The constraint passes.

using ppdtools::flags;
using ppdtools::setFlags;

// Compares both passes from the same flags; returns false on a mismatch.
bool passesAgree(PpdDocument &doc) {
    std::vector<unsigned char> start = flags(doc);
    if (!applyInstalledConstraintsIndexed(doc)) return true;
    std::vector<unsigned char> indexed = flags(doc);
    setFlags(doc, start);
    applyInstalledConstraintsReference(doc);
    return flags(doc) == indexed;
}

// The defaults (the construction's pass against the reference pass from
// cleared flags), then two rounds that set every installed option to another
// of its feature's options and run both passes from the same flags.
bool checkPasses(PpdDocument &doc, long *marked) {
    std::vector<unsigned char> built = flags(doc);
    setFlags(doc, std::vector<unsigned char>(built.size(), 0));
    applyInstalledConstraintsReference(doc);
    if (flags(doc) != built) return false;
    for (unsigned char f : built) *marked += f;
    for (int round = 1; round <= 2; ++round) {
        for (int32_t i = 0; i < doc.installedCount; ++i) {
            const PpdInstalledOption *io = doc.installedOptions[i];
            const PpdFeature *f = doc.featureAt(doc.findFeatureByKeyword(io->featureKeyword.text));
            if (!f || f->optionCount == 0) continue;
            doc.setInstalledOption(io->featureKeyword.text, f->options[(i + round) % f->optionCount]->keyword.text,
                                   false);
        }
        if (!passesAgree(doc)) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------

bool readFile(const std::string &path, std::string *out) {
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    fclose(f);
    return true;
}

struct Totals {
    long agreeing = 0, unexplainedFiles = 0, passMismatch = 0, marked = 0, cupsRejected = 0;
    long long bytes = 0;
    bool failed = false;  // the helper or a file could not be read
};

// Compares the files of one shard, with its own libcups helper process.
void runShard(const std::vector<std::string> &files, const std::string &cache, const std::string &helper,
              Totals *t) {
    char listName[] = "/tmp/ppd_corpus_list_XXXXXX";
    int listFd = mkstemp(listName);
    if (listFd < 0) {
        perror("mkstemp");
        t->failed = true;
        return;
    }
    std::string all;
    for (const std::string &p : files) all += p + "\n";
    bool written = write(listFd, all.data(), all.size()) == static_cast<ssize_t>(all.size());
    close(listFd);
    std::string command = "'" + helper + "' '" + listName + "'";
    FILE *cups = written ? popen(command.c_str(), "r") : nullptr;
    if (!cups) {
        fprintf(stderr, "ppd_corpus: cannot run %s\n", command.c_str());
        unlink(listName);
        t->failed = true;
        return;
    }
    for (const std::string &path : files) {
        std::string data;
        CupsRecord rec;
        if (!readFile(path, &data) || !readCupsRecord(cups, &rec) || rec.path != path) {
            fprintf(stderr, "ppd_corpus: %s could not be read, or the libcups helper (%s) gave no record for it\n",
                    path.c_str(), helper.c_str());
            t->failed = true;
            break;
        }
        t->bytes += static_cast<long long>(data.size());
        std::string shortName = cache.empty() ? path : path.substr(cache.size() + 1);

        // The plug-in's own way of reading: fgetc through fileReadByte.
        FILE *f = fopen(path.c_str(), "rb");
        PpdDocument *doc = new PpdDocument(fileReadByte, f);
        fclose(f);
        if (!checkPasses(*doc, &t->marked)) {
            ++t->passMismatch;
            fprintf(stderr, "MISMATCH indexed vs reference constraint pass: %s\n", shortName.c_str());
        }

        FileResult r;
        if (rec.rejected) {
            ++t->cupsRejected;
            differ(r, "cups-rejects-file", shortName, rec.error);
        } else {
            r = compareViews(*doc, quorlixView(*doc), rec.view, scanLines(data), shortName);
        }
        delete doc;
        if (r.agree) ++t->agreeing;
        if (r.unexplained) ++t->unexplainedFiles;
    }
    pclose(cups);
    unlink(listName);
}

}  // namespace

int main(int argc, char **argv) {
    std::string cache, cupsHelper;
    long every = 1, offset = 0, jobs = 2;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--cache" && i + 1 < argc) cache = argv[++i];
        else if (a == "--every" && i + 1 < argc) every = atol(argv[++i]);
        else if (a == "--offset" && i + 1 < argc) offset = atol(argv[++i]);
        else if (a == "--jobs" && i + 1 < argc) jobs = atol(argv[++i]);
        else if (a == "--verbose") gVerbose = true;
        else if (a == "--cups-helper" && i + 1 < argc) cupsHelper = argv[++i];
        else if (a == "--classes") {
            for (const ClassInfo &c : kExplained) printf("%s: %s\n", c.id, c.explanation);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            fprintf(stderr, "usage: ppd_corpus [--cache DIR [--every N] [--offset K]] [--jobs J] [--verbose] "
                            "[--classes] [FILE...]\n");
            return 2;
        } else files.push_back(a);
    }
    if (every < 1) every = 1;
    if (jobs < 1) jobs = 1;
    if (!cache.empty()) {
        std::string index;
        if (!readFile(cache + "/index.txt", &index)) {
            fprintf(stderr, "ppd_corpus: no %s/index.txt (run unpack_corpus.py)\n", cache.c_str());
            return 2;
        }
        long n = 0;
        size_t i = 0;
        while (i < index.size()) {
            size_t e = index.find('\n', i);
            if (e == std::string::npos) e = index.size();
            std::string name = index.substr(i, e - i);
            i = e + 1;
            if (name.empty()) continue;
            if (n++ % every == offset) files.push_back(cache + "/" + name);
        }
    }
    if (files.empty()) {
        fprintf(stderr, "ppd_corpus: no files\n");
        return 2;
    }
    std::string helper = cupsHelper;
    if (helper.empty()) {
        std::string self = argv[0];
        size_t slash = self.rfind('/');
        helper = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/ppd_corpus_cups";
    }

    // Shards take every jobs-th file, so large and small files spread evenly.
    auto start = std::chrono::steady_clock::now();
    std::vector<std::vector<std::string>> shards(static_cast<size_t>(jobs));
    for (size_t i = 0; i < files.size(); ++i) shards[i % shards.size()].push_back(files[i]);
    std::vector<Totals> totals(shards.size());
    std::vector<std::thread> workers;
    for (size_t s = 0; s < shards.size(); ++s)
        workers.emplace_back(runShard, std::cref(shards[s]), std::cref(cache), std::cref(helper), &totals[s]);
    for (std::thread &w : workers) w.join();
    Totals t;
    for (const Totals &x : totals) {
        t.agreeing += x.agreeing;
        t.unexplainedFiles += x.unexplainedFiles;
        t.passMismatch += x.passMismatch;
        t.marked += x.marked;
        t.cupsRejected += x.cupsRejected;
        t.bytes += x.bytes;
        t.failed = t.failed || x.failed;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    printf("files: %zu (%.1f MB, %.1f s, %ld jobs)\n", files.size(), t.bytes / 1e6, seconds, jobs);
    printf("agreeing files: %ld\n", t.agreeing);
    printf("files cups rejects: %ld\n", t.cupsRejected);
    printf("constraint passes, indexed vs reference: %s on %zu files (%ld options marked at the defaults)\n",
           t.passMismatch ? "MISMATCH" : "same flags", files.size(), t.marked);
    printf("difference classes (count, one example):\n");
    for (const auto &kv : gTally)
        printf("  %-32s %7ld%s  e.g. %s\n", kv.first.c_str(), kv.second.count,
               isExplained(kv.first) ? "" : "  UNEXPLAINED", kv.second.example.c_str());
    printf("explanations:\n");
    for (const ClassInfo &c : kExplained)
        if (gTally.count(c.id)) printf("  %s: %s\n", c.id, c.explanation);
    bool ok = !t.failed && t.unexplainedFiles == 0 && t.passMismatch == 0;
    printf("result: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
