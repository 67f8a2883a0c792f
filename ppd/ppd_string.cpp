#include "ppd/ppd_string.h"

#include <string.h>

#include "ppd/ansi_decode.h"

PpdString::~PpdString() = default;

void PpdString::assignFromBytes(const PpdChar *units) { length = ppdDecodeAnsiUnits(units, 0, text); }

void PpdString::copy(const PpdString &other) {
    if (&other == this) return;
    length = other.length;
    for (int32_t i = 0; i < kPpdStringUnits; ++i) text[i] = other.text[i];
}

bool PpdString::equals(const PpdString &other) const {
    if (length != other.length) return false;
    // Texts of this class hold no zero unit before their terminator, so with
    // the terminators where the lengths say, the units before them decide.
    if (length >= 0 && length < kPpdStringUnits && text[length] == 0 && other.text[length] == 0) {
        // Four units at a time; the last chunk, still inside the fixed room
        // as length is at most 259, has the units past the text masked out.
        int32_t i = 0;
        uint64_t x, y;
        for (; i + 4 <= length; i += 4) {
            memcpy(&x, text + i, sizeof x);
            memcpy(&y, other.text + i, sizeof y);
            if (x != y) return false;
        }
        if (i == length) return true;
        memcpy(&x, text + i, sizeof x);
        memcpy(&y, other.text + i, sizeof y);
        return ((x ^ y) & (~uint64_t{0} >> (16 * (4 - (length - i))))) == 0;
    }
    for (int32_t i = 0; i < kPpdStringUnits; ++i) {
        if (text[i] != other.text[i]) return false;
        if (text[i] == 0) return true;
    }
    return true;
}

bool PpdString::equals(const PpdChar *other) const {
    if (!other) return false;
    for (int32_t i = 0; i < kPpdStringUnits; ++i) {
        if (text[i] != other[i]) return false;
        if (text[i] == 0) return true;
    }
    // No terminator in the fixed room: equal only if the other text ends here.
    return other[kPpdStringUnits] == 0;
}
