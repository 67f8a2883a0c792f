#include "ppd/ppd_string.h"

#include "ppd/ansi_decode.h"

PpdString::~PpdString() = default;

void PpdString::assignFromBytes(const PpdChar *units) {
    // Only the first kPpdDecodeByteLimit bytes can reach the 259 characters
    // kept, so the byte string lives on the stack and needs no allocation.
    unsigned char bytes[kPpdDecodeByteLimit + 1];
    int32_t n = 0;
    if (units) {
        for (; n < kPpdDecodeByteLimit && units[n] != 0; ++n) bytes[n] = static_cast<unsigned char>(units[n] & 0xFF);
    }
    bytes[n] = 0;
    length = ppdDecodeAnsi(bytes, text);
}

void PpdString::copy(const PpdString &other) {
    if (&other == this) return;
    length = other.length;
    for (int32_t i = 0; i < kPpdStringUnits; ++i) text[i] = other.text[i];
}

bool PpdString::equals(const PpdString &other) const {
    if (length != other.length) return false;
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
