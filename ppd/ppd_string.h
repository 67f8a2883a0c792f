// A text of fixed capacity: at most 259 characters and a zero unit. The
// operations keep `text[length]` zero and no zero unit before it.
#pragma once

#include "ppd/ansi_decode.h"
#include "ppd/ppd_char.h"

constexpr int32_t kPpdStringUnits = 260;
constexpr int32_t kPpdStringMaxLength = kPpdStringUnits - 1;

class PpdString {
public:
    PpdString() : length(0) { text[0] = 0; }
    virtual ~PpdString();
    PpdString(const PpdString &other) { copy(other); }
    PpdString &operator=(const PpdString &other) {
        copy(other);
        return *this;
    }

    // Takes the units of `units` up to the first zero unit, keeps the low 8
    // bits of each as a byte, and decodes the bytes through the system's
    // ANSI code page. A text longer than 259 characters is cut at 259. No
    // text (null) makes the string empty.
    void assignFromBytes(const PpdChar *units);
    // The same, where the caller knows that the first `readable` units may
    // all be read (a token and its length): the result does not change, the
    // decoding may only go faster.
    void assignFromBytes(const PpdChar *units, int32_t readable) {
        length = ppdDecodeAnsiUnits(units, readable, text);
    }
    // Copies the length and all 260 units.
    void copy(const PpdString &other);
    void clear() {
        length = 0;
        text[0] = 0;
    }
    // Equal lengths and equal units up to the terminator; letter case counts.
    bool equals(const PpdString &other) const;
    // Equal units up to the terminator; false when no text is given.
    bool equals(const PpdChar *other) const;

    int32_t length;
    PpdChar text[kPpdStringUnits];
};
