// The PPD tokenizer: cuts the byte stream into keywords, words and quoted
// values, skipping blanks and comments. One byte becomes one 16-bit unit of
// the same value; nothing is decoded here.
#pragma once

#include "ppd/byte_source.h"
#include "ppd/ppd_char.h"

// Size of the token buffer every nextToken call writes into, in units.
constexpr int32_t kPpdTokenBufferUnits = 0x100000;
// Longest token stored; the zero unit after it always fits.
constexpr int32_t kPpdTokenMaxUnits = 0xFFFFF;

// Byte classes of PpdCharClass.
enum PpdCharClassValue : unsigned char {
    PpdCharOrdinary = 0,
    PpdCharBlank = 1,      // 0x00, tab, line feed, form feed, carriage return, space
    PpdCharDelimiter = 2,  // quotation mark, colon
};

extern const unsigned char PpdCharClass[256];

class PpdTokenizer {
public:
    // Reads one token into `buffer` (kPpdTokenBufferUnits units), zero
    // terminated, and its length into *outLength. With allowBlanks, tab and
    // space do not end a plain token. Returns false when the input ended
    // before a token began (then the buffer holds an empty text and the
    // length is 0), or when any argument is missing.
    static bool nextToken(ByteSource *source, PpdChar *buffer, int32_t *outLength, bool allowBlanks);
    // nextToken for a caller that always passes all three (the parser).
    static bool nextTokenGiven(ByteSource &source, PpdChar *buffer, int32_t &outLength, bool allowBlanks);
};
