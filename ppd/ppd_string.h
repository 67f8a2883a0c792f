// A text of fixed capacity: at most 259 characters and a zero unit.
#pragma once

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
