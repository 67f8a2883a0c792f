// The Windows build decodes PPD bytes through the system's ANSI code page;
// under a code page 1252 system it must agree with the fixed table the native
// build uses.
#include <gtest/gtest.h>
#include <windows.h>

#include "ppd/ansi_decode.h"
#include "tests/ppd/ppd_test_util.h"

namespace {

TEST(PpdAnsiDecoding, SystemConversionMatchesTheNativeTable) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
    for (int b = 1; b < 256; ++b) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(b), 0};
        PpdChar system[kPpdStringUnits], table[kPpdStringUnits];
        ASSERT_EQ(ppdDecodeAnsi(bytes, system), 1) << b;
        ASSERT_EQ(ppdDecodeWindows1252(bytes, table), 1) << b;
        EXPECT_EQ(system[0], table[0]) << "byte " << b;
    }
}

TEST(PpdAnsiDecoding, HexEncodedBytesDecodeThroughTheCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
    auto doc = ppd_test::parsePpd("*OpenUI *Media/Caf<E9> <80>: PickOne\n*CloseUI: *Media\n");
    ASSERT_EQ(doc->featureCount, 1);
    EXPECT_TRUE(doc->featureAt(0)->translation.equals(L"Caf\u00E9 \u20AC"));

    // A decoded text longer than 259 characters is cut, not refused.
    unsigned char longBytes[400];
    for (unsigned char &b : longBytes) b = 0xE9;
    longBytes[399] = 0;
    PpdChar out[kPpdStringUnits];
    EXPECT_EQ(ppdDecodeAnsi(longBytes, out), 259);
    EXPECT_EQ(out[258], 0x00E9);
    EXPECT_EQ(out[259], 0);
}

}  // namespace
