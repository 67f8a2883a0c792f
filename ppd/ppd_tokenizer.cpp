#include "ppd/ppd_tokenizer.h"

namespace {

constexpr unsigned char B = PpdCharBlank;
constexpr unsigned char D = PpdCharDelimiter;

constexpr int32_t kAsterisk = 0x2A;
constexpr int32_t kPercent = 0x25;
constexpr int32_t kQuote = 0x22;
constexpr int32_t kLineFeed = 0x0A;
constexpr int32_t kReturn = 0x0D;
constexpr int32_t kTab = 0x09;
constexpr int32_t kSpace = 0x20;

}  // namespace

// Blanks: 0x00, tab, line feed, form feed, carriage return, space.
// Delimiters: quotation mark and colon. Everything else, the vertical tab,
// the percent sign, the asterisk and all bytes from 0x80 included, is
// ordinary.
const unsigned char PpdCharClass[256] = {
    B, 0, 0, 0, 0, 0, 0, 0, 0, B, B, 0, B, B, 0, 0,  // 0x00
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x10
    B, 0, D, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x20
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, D, 0, 0, 0, 0, 0,  // 0x30
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x40
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x50
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x60
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x70
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x90
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xA0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xB0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xC0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xD0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xE0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xF0
};

bool PpdTokenizer::nextToken(ByteSource *source, PpdChar *buffer, int32_t *outLength, bool allowBlanks) {
    if (outLength) *outLength = 0;
    if (buffer) buffer[0] = 0;
    if (!source || !buffer || !outLength) return false;

    // Phase 1: skip blanks and comments up to the first byte of a token.
    // Both "*%" and "%" start a comment that runs to the next line end.
    bool inComment = false;
    int32_t first;
    for (;;) {
        first = source->get();
        if (first < 0) return false;
        if (inComment) {
            if (first == kLineFeed || first == kReturn) inComment = false;
            continue;
        }
        if (first == kAsterisk) {
            if (source->peek() == kPercent) {
                inComment = true;
                continue;
            }
            break;
        }
        if (first == kPercent) {
            inComment = true;
            continue;
        }
        if (PpdCharClass[first] == PpdCharBlank) continue;
        break;
    }

    // Phase 2: read the token. The byte that ends it (closing quote, blank,
    // delimiter, or the byte read when the limit is reached) is dropped.
    int32_t length = 0;
    if (first == kQuote) {
        for (;;) {
            int32_t b = source->get();
            if (b < 0 || b == kQuote) break;
            if (length >= kPpdTokenMaxUnits) break;
            buffer[length++] = static_cast<PpdChar>(b);
        }
    } else {
        buffer[length++] = static_cast<PpdChar>(first);
        for (;;) {
            int32_t b = source->get();
            if (b < 0) break;
            if (length >= kPpdTokenMaxUnits) break;
            unsigned char cls = PpdCharClass[b];
            if (cls != PpdCharOrdinary && !(allowBlanks && (b == kTab || b == kSpace))) break;
            buffer[length++] = static_cast<PpdChar>(b);
        }
    }
    buffer[length] = 0;
    *outLength = length;
    return true;
}
