#include "ppd/ansi_decode.h"

#include "ppd/ppd_string.h"

#include <string.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Windows-1252 for 0x80-0x9F; every other byte is the character of the same
// value. The five bytes the code page leaves undefined map to the control
// character of the same value, as the Windows conversion does.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The whole code page as one table, so that decoding is one lookup a byte.
struct Cp1252Table {
    PpdChar unit[256];
};

constexpr Cp1252Table makeCp1252Table() {
    Cp1252Table t{};
    for (int b = 0; b < 256; ++b) {
        t.unit[b] = static_cast<PpdChar>((b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : b);
    }
    return t;
}

constexpr Cp1252Table kCp1252 = makeCp1252Table();

}  // namespace

int32_t ppdDecodeWindows1252(const unsigned char *bytes, PpdChar *out) {
    if (!out) return 0;
    out[0] = 0;
    if (!bytes) return 0;
    int32_t n = 0;
    for (unsigned char b; n < kPpdStringMaxLength && (b = bytes[n]) != 0; ++n) out[n] = kCp1252.unit[b];
    out[n] = 0;
    return n;
}

#ifdef _WIN32

int32_t ppdDecodeAnsi(const unsigned char *bytes, PpdChar *out) {
    if (!out) return 0;
    out[0] = 0;
    if (!bytes) return 0;
    int count = 0;
    while (count < kPpdDecodeByteLimit && bytes[count]) ++count;
    if (count == 0) return 0;

    // Decode into room for every character the bytes can give (never more
    // units than bytes), then cut at 259, so that a long text is shortened
    // rather than refused by the conversion.
    wchar_t decoded[kPpdDecodeByteLimit + 1];
    int units = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char *>(bytes), count, decoded,
                                    kPpdDecodeByteLimit + 1);
    if (units <= 0) return 0;
    if (units > kPpdStringMaxLength) {
        units = kPpdStringMaxLength;
        if (decoded[units - 1] >= 0xD800 && decoded[units - 1] <= 0xDBFF) --units;
    }
    for (int i = 0; i < units; ++i) out[i] = decoded[i];
    out[units] = 0;
    return units;
}

int32_t ppdDecodeAnsiUnits(const PpdChar *units, int32_t /*readable*/, PpdChar *out) {
    // Only the first kPpdDecodeByteLimit bytes can reach the 259 characters
    // kept, so the byte string lives on the stack and needs no allocation.
    unsigned char bytes[kPpdDecodeByteLimit + 1];
    int32_t n = 0;
    if (units) {
        for (; n < kPpdDecodeByteLimit && units[n] != 0; ++n) bytes[n] = static_cast<unsigned char>(units[n] & 0xFF);
    }
    bytes[n] = 0;
    return ppdDecodeAnsi(bytes, out);
}

#else

int32_t ppdDecodeAnsi(const unsigned char *bytes, PpdChar *out) { return ppdDecodeWindows1252(bytes, out); }

int32_t ppdDecodeAnsiUnits(const PpdChar *units, int32_t readable, PpdChar *out) {
    // One byte is one character in this code page, and the byte string would
    // end at the first zero low byte: decode the units' low bytes directly.
    out[0] = 0;
    if (!units) return 0;
    int32_t n = 0;
    // Within the readable units, four units at a time while all four are
    // 0x01-0x7F, which the code page leaves as they are.
    const int32_t wide = readable < kPpdStringMaxLength ? readable : kPpdStringMaxLength;
    while (n + 4 <= wide) {
        uint64_t four;
        memcpy(&four, units + n, sizeof four);
        if ((four & 0xFF80FF80FF80FF80ull) != 0 || ((four - 0x0001000100010001ull) & 0x8000800080008000ull) != 0) break;
        memcpy(out + n, &four, sizeof four);
        n += 4;
    }
    for (unsigned char b; n < kPpdStringMaxLength && (b = static_cast<unsigned char>(units[n] & 0xFF)) != 0; ++n) {
        out[n] = kCp1252.unit[b];
    }
    out[n] = 0;
    return n;
}

#endif
