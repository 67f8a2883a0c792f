#include "ppd/ppd_tokenizer.h"

#include <stdio.h>

namespace {

constexpr unsigned char B = PpdCharBlank;
constexpr unsigned char D = PpdCharDelimiter;

constexpr int32_t kPercent = 0x25;
constexpr int32_t kQuote = 0x22;

}  // namespace

// Blanks: 0x00, tab, line feed, form feed, carriage return, space.
// Delimiters: quotation mark and colon. Everything else, the vertical tab,
// the percent sign, the asterisk and all bytes from 0x80 included, is
// ordinary. Defined constexpr (the header's declaration gives it external
// linkage) so that the tokenizer's tables below are built from it.
constexpr unsigned char PpdCharClass[256] = {
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

namespace {

// What a byte means where a token may begin (phase 1).
enum LeadAction : unsigned char {
    LeadToken = 0,     // the token begins with it
    LeadBlank = 1,     // skipped
    LeadComment = 2,   // percent sign: a comment up to the line end
    LeadAsterisk = 3,  // a comment when a percent sign follows, else a token
};

// The tables below are indexed by the reader's result plus one, so that end
// of input (-1) has the entry 0 and needs no test of its own.

// Bit StopPlain: ends a plain token read without allowBlanks (end of input,
// blanks, delimiters). Bit StopPlainBlanks: ends it with allowBlanks (the
// same less tab and space). Bit StopQuoted: ends a quoted token (end of
// input, quotation mark). Bit StopComment: ends a comment (end of input,
// line feed, carriage return).
enum StopBits : unsigned char {
    StopPlain = 1,
    StopPlainBlanks = 2,
    StopQuoted = 4,
    StopComment = 8,
};

struct TokenTables {
    unsigned char lead[256];
    unsigned char stop[257];
};

constexpr TokenTables makeTables() {
    TokenTables t{};
    for (int b = 0; b < 256; ++b) {
        unsigned char cls = PpdCharClass[b];
        t.lead[b] = cls == PpdCharBlank ? LeadBlank : LeadToken;
        unsigned char stop = 0;
        if (cls != PpdCharOrdinary) {
            stop |= StopPlain;
            if (b != 0x09 && b != 0x20) stop |= StopPlainBlanks;
        }
        if (b == kQuote) stop |= StopQuoted;
        if (b == 0x0A || b == 0x0D) stop |= StopComment;
        t.stop[b + 1] = stop;
    }
    t.lead[kPercent] = LeadComment;
    t.lead[0x2A] = LeadAsterisk;
    t.stop[0] = StopPlain | StopPlainBlanks | StopQuoted | StopComment;
    return t;
}

constexpr TokenTables kTables = makeTables();

// Reads bytes straight from the stream; only used once the lookahead is empty.
struct StreamReader {
    FILE *file;
    int32_t read() const { return ppdReadStreamByte(file); }
};

// Reads bytes through the source's reader function.
struct SourceReader {
    ByteSource *source;
    int32_t read() const { return source->get(); }
};

// Takes one byte: stores it and returns true, or returns false (the byte is
// dropped) when its stop entry has a bit of `Stop`.
template <unsigned char Stop, typename Reader>
inline bool storeByte(Reader reader, PpdChar *&out) {
    int32_t b = reader.read();
    if (kTables.stop[b + 1] & Stop) return false;
    *out++ = static_cast<PpdChar>(b);
    return true;
}

// Stores bytes until one whose stop entry has a bit of `Stop`, or the limit.
// `out` points after the units stored so far; returns the new end. The byte
// that ends the token, or the one read at the limit, is dropped. Far from
// the limit the bytes are taken four at a time with one test of the room.
template <unsigned char Stop, typename Reader>
inline PpdChar *storeUntil(Reader reader, PpdChar *out, PpdChar *limit) {
    while (limit - out >= 4) {
        if (!storeByte<Stop>(reader, out) || !storeByte<Stop>(reader, out) || !storeByte<Stop>(reader, out) ||
            !storeByte<Stop>(reader, out)) {
            return out;
        }
    }
    for (;;) {
        if (out == limit) {
            reader.read();
            return out;
        }
        if (!storeByte<Stop>(reader, out)) return out;
    }
}

template <typename Reader>
bool readToken(ByteSource *source, Reader reader, PpdChar *buffer, int32_t *outLength, bool allowBlanks) {
    // Phase 1: skip blanks and comments up to the first byte of a token.
    // Both "*%" and "%" start a comment that runs to the next line end (the
    // line end itself is consumed). Only the first byte can be a lookahead
    // byte; after it the lookahead is empty and bytes come from the reader.
    // The byte after an asterisk is looked at (the source's peek) by reading
    // it into `second`: it is the token's second byte unless it is a percent
    // sign. When that read meets the end of input, `second` stays empty and
    // the reader is asked again in phase 2, as after a peek.
    int32_t first = source->get();
    int32_t second = -1;
    for (;;) {
        if (first < 0) break;
        unsigned char lead = kTables.lead[first];
        if (lead == LeadToken) break;
        if (lead == LeadBlank) {
            first = reader.read();
            continue;
        }
        if (lead == LeadAsterisk) {
            second = reader.read();
            if (second != kPercent) break;
            second = -1;  // the percent sign: comment text
        }
        int32_t b;
        do {
            b = reader.read();
        } while (!(kTables.stop[b + 1] & StopComment));
        if (b < 0) {
            first = -1;
            break;
        }
        first = reader.read();
    }
    if (first < 0) {
        // The input ended before a token began.
        buffer[0] = 0;
        *outLength = 0;
        return false;
    }

    // Phase 2: read the token. The byte that ends it (closing quote, blank,
    // delimiter, or the byte read when the limit is reached) is dropped.
    PpdChar *const limit = buffer + kPpdTokenMaxUnits;
    PpdChar *out = buffer;
    if (first == kQuote) {
        out = storeUntil<StopQuoted>(reader, out, limit);
    } else {
        *out++ = static_cast<PpdChar>(first);
        // The byte after the first may have been read already in phase 1.
        int32_t b = second >= 0 ? second : reader.read();
        unsigned char stop = allowBlanks ? StopPlainBlanks : StopPlain;
        if (!(kTables.stop[b + 1] & stop)) {
            *out++ = static_cast<PpdChar>(b);
            out = allowBlanks ? storeUntil<StopPlainBlanks>(reader, out, limit)
                              : storeUntil<StopPlain>(reader, out, limit);
        }
    }
    *out = 0;
    *outLength = static_cast<int32_t>(out - buffer);
    return true;
}

}  // namespace

bool PpdTokenizer::nextToken(ByteSource *source, PpdChar *buffer, int32_t *outLength, bool allowBlanks) {
    if (!source || !buffer || !outLength) {
        if (outLength) *outLength = 0;
        if (buffer) buffer[0] = 0;
        return false;
    }
    return nextTokenGiven(*source, buffer, *outLength, allowBlanks);
}

bool PpdTokenizer::nextTokenGiven(ByteSource &source, PpdChar *buffer, int32_t &outLength, bool allowBlanks) {
    // A file source is read through the stream without the function call
    // per byte; any other reader goes through the source.
    if (FILE *file = source.stream()) {
        return readToken(&source, StreamReader{file}, buffer, &outLength, allowBlanks);
    }
    return readToken(&source, SourceReader{&source}, buffer, &outLength, allowBlanks);
}
