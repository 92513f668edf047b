// The transfer volume's number text: 15 significant digits, and its reading.
#include <gtest/gtest.h>

#include <cmath>

#include "text/NumberText.h"

using namespace pomurina;

TEST(FloatToText, WritesFifteenSignificantDigits) {
    EXPECT_EQ(FloatToText(0), "0");
    EXPECT_EQ(FloatToText(1536), "1536");
    EXPECT_EQ(FloatToText(1536 / 1024.0), "1.5");
    EXPECT_EQ(FloatToText(1536 / 1048576.0), "0.00146484375");
    EXPECT_EQ(FloatToText(1536 / 1073741824.0), "1.43051147460938E-6");
    EXPECT_EQ(FloatToText(123456789), "123456789");
    EXPECT_EQ(FloatToText(123456789 / 1024.0),
              "120563.270507813");  // a sixteenth digit 5 rounds up
    EXPECT_EQ(FloatToText(123456789 / 1048576.0), "117.737568855286");
    EXPECT_EQ(FloatToText(123456789 / 1073741824.0), "0.11497809458524");
    EXPECT_EQ(FloatToText(1e15), "1E15");
    EXPECT_EQ(FloatToText(999999999999999.0), "999999999999999");
    EXPECT_EQ(FloatToText(0.0001), "0.0001");
    EXPECT_EQ(FloatToText(0.00001), "1E-5");
    EXPECT_EQ(FloatToText(9999999999999999.0), "1E16");  // rounding carries into a new digit
    EXPECT_EQ(FloatToText(0.5), "0.5");
    EXPECT_EQ(FloatToText(-2.5), "-2.5");
    EXPECT_EQ(FloatToText(1.5e300), "1.5E300");
    EXPECT_EQ(FloatToText(std::nan("")), "NAN");
}

TEST(TextToFloat, ReadsWhatFloatToTextWrites) {
    EXPECT_EQ(TextToFloat("1536"), 1536.0);
    EXPECT_EQ(TextToFloat("1.43051147460938E-6"), 1.43051147460938e-6);
    EXPECT_EQ(TextToFloat("1E15"), 1e15);
    EXPECT_EQ(TextToFloat("-0.5"), -0.5);
    for (const char* bad : {"-", "", "1.", ".5", "1E", "1,5", " 1", "1 ", "abc", "1E+"})
        EXPECT_FALSE(TextToFloat(bad).has_value()) << bad;
}

TEST(TextToFloat, ConversionsStartAgainFromTheRoundedText) {
    // 1536 bytes shown in Gb and back in bytes is no longer exactly 1536.
    const double gb = *TextToFloat(FloatToText(1536 / 1073741824.0));
    EXPECT_EQ(FloatToText(gb * 1073741824.0), "1536.00000000001");
}
