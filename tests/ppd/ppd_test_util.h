// Helpers of the PPD reader tests: documents built from text in memory, and
// texts shown as readable strings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ppd/ppd_document.h"

namespace ppd_test {

inline std::unique_ptr<PpdDocument> parsePpd(const std::string &text) {
    PpdMemoryInput input{reinterpret_cast<const unsigned char *>(text.data()), text.size(), 0};
    return std::unique_ptr<PpdDocument>(new PpdDocument(memoryReadByte, &input));
}

// Printable ASCII as it is, every other unit as <XX> or <XXXX> in hex.
inline std::string show(const PpdChar *units, int32_t length) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (int32_t i = 0; i < length; ++i) {
        unsigned u = static_cast<uint16_t>(units[i]);
        if (u >= 0x20 && u < 0x7F && u != '<') {
            out += static_cast<char>(u);
        } else {
            out += '<';
            if (u > 0xFF) {
                out += digits[(u >> 12) & 15];
                out += digits[(u >> 8) & 15];
            }
            out += digits[(u >> 4) & 15];
            out += digits[u & 15];
            out += '>';
        }
    }
    return out;
}

inline std::string show(const PpdChar *text) {
    if (!text) return "(none)";
    int32_t n = 0;
    while (text[n]) ++n;
    return show(text, n);
}

// A PpdString whose length disagrees with its terminator shows the mismatch.
inline std::string show(const PpdString &s) {
    std::string text = show(s.text);
    int32_t n = 0;
    while (n < kPpdStringUnits && s.text[n]) ++n;
    if (n != s.length) text += " (length " + std::to_string(s.length) + ")";
    return text;
}

inline std::basic_string<PpdChar> units(const std::string &ascii) {
    return std::basic_string<PpdChar>(ascii.begin(), ascii.end());
}

// The options' constrained flags of one feature, as a string of 0 and 1.
inline std::string flags(const PpdDocument &doc, const char *keyword) {
    int32_t index = doc.findFeatureByKeyword(units(keyword).c_str());
    if (index < 0) return "(no feature)";
    const PpdFeature *feature = doc.featureAt(index);
    std::string out;
    for (int32_t i = 0; i < feature->optionCount; ++i) out += feature->options[i]->constrained ? '1' : '0';
    return out;
}

}  // namespace ppd_test
