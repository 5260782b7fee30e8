#include "base/Bits.h"

#include <gtest/gtest.h>

using namespace dbase;

TEST(Bits, IntToBasePadsAndNeverCuts) {
    EXPECT_EQ(IntToBase(5, 8, 2, '0'), "00000101");
    EXPECT_EQ(IntToBase(300, 8, 2, '0'), "100101100");
    EXPECT_EQ(IntToBase(-5, 4, 2, '0'), "0101");
    EXPECT_EQ(IntToBase(255, 1, 16, '0'), "FF");
    EXPECT_EQ(IntToBase(35, 0, 36, '0'), "Z");
    EXPECT_EQ(IntToBase(7, 8, 1, '0'), "");
    EXPECT_EQ(IntToBase(7, 8, 37, '0'), "");
}

TEST(Bits, BaseToIntStopsBeforeTheDigitThatExceedsMax) {
    EXPECT_EQ(BaseToInt("0111", 2, 6), 3);
    EXPECT_EQ(BaseToInt("11", 2, 2), 1);
    EXPECT_EQ(BaseToInt("1111111111111111", 2, 8191), 8191);
    EXPECT_EQ(BaseToInt("ff", 16, 1000), 255);
    EXPECT_EQ(BaseToInt("12x4", 10, 100000), 12);
    EXPECT_EQ(BaseToInt("102", 2, 100), 2); // '2' is not a binary digit
    EXPECT_EQ(BaseToInt("101", 40, 100), 0);
}

TEST(Bits, CappedFieldAgreesWithTheTextForm) {
    const struct {
        int width;
        unsigned max;
    } caps[] = {{2, 2}, {4, 6}, {16, 5000}, {8, 63}, {16, 8191}, {8, 7}, {8, 255}};
    for (const auto& c : caps)
        for (unsigned v = 0; v < (1u << c.width); ++v)
            ASSERT_EQ(CappedField(v, c.width, c.max),
                      static_cast<unsigned>(BaseToInt(IntToBase(v, c.width, 2, '0'), 2, c.max)))
                << "width " << c.width << " max " << c.max << " value " << v;
}

TEST(Bits, DecimalTextsWrittenInPlaceAgreeWithToString) {
    // Every length, and the string reused from a longer and a shorter text.
    std::string s = "a much longer text than any number";
    for (unsigned v = 0; v <= 200000; ++v) {
        SetDecText(s, v);
        ASSERT_EQ(s, std::to_string(v));
        if (v % 7 == 0) s.clear();
    }
    for (unsigned v : {999999u, 1000000u, 4294967295u}) {
        SetDecText(s, v);
        EXPECT_EQ(s, std::to_string(v));
    }
}

TEST(Bits, DecimalTextsOfTenths) {
    EXPECT_EQ(TenthsText(192), "19.2");
    EXPECT_EQ(TenthsText(130), "13");
    EXPECT_EQ(TenthsText(0), "0");
    EXPECT_EQ(TenthsText(3592), "359.2");
}
