// The number readers: scanf forms, range limits, and the fixed-point decimal reader.
#include "engine/core/TextNumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <ostream>

using namespace Tarv;

struct IntCase
{
    const char* text;
    bool ok;
    int value;
};

void PrintTo(const IntCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TextNumberInt : public testing::TestWithParam<IntCase>
{
};

TEST_P(TextNumberInt, ReadsLikePercentI)
{
    int value = 12345;
    EXPECT_EQ(ReadTextInt(GetParam().text, value), GetParam().ok);
    EXPECT_EQ(value, GetParam().ok ? GetParam().value : 12345);
}

INSTANTIATE_TEST_SUITE_P(Forms, TextNumberInt, testing::Values(
    IntCase{"0x1F", true, 31}, IntCase{"0X1f", true, 31}, IntCase{"010", true, 8},
    IntCase{"08", true, 0}, IntCase{"12abc", true, 12}, IntCase{"  -5", true, -5},
    IntCase{"+7", true, 7}, IntCase{"-0x10", true, -16}, IntCase{"0", true, 0},
    IntCase{"2147483647", true, 2147483647}, IntCase{"-2147483648", true, -2147483647 - 1},
    IntCase{"2147483648", false, 0}, IntCase{"-2147483649", false, 0},
    IntCase{"99999999999999999999999", false, 0}, IntCase{"0xFFFFFFFF", false, 0},
    IntCase{"", false, 0}, IntCase{"abc", false, 0}, IntCase{"-", false, 0},
    IntCase{"- 5", false, 0}, IntCase{"x5", false, 0}));

TEST(TextNumber, NullTextFailsEverywhere)
{
    int i = 0;
    unsigned u = 0;
    short s = 0;
    unsigned short us = 0;
    float f = 0.0f, y = 0.0f, z = 0.0f;
    EXPECT_FALSE(ReadTextInt(nullptr, i));
    EXPECT_FALSE(ReadTextUInt(nullptr, u));
    EXPECT_FALSE(ReadTextShort(nullptr, s));
    EXPECT_FALSE(ReadTextUShort(nullptr, us));
    EXPECT_FALSE(ReadTextFixedFloat(nullptr, f));
    EXPECT_FALSE(ReadTextVector(nullptr, f, y, z));
}

TEST(TextNumber, UnsignedFormsAreDecimalOnly)
{
    unsigned u = 0;
    EXPECT_TRUE(ReadTextUInt("0x10", u));
    EXPECT_EQ(u, 0u);
    EXPECT_TRUE(ReadTextUInt("010", u));
    EXPECT_EQ(u, 10u);
    EXPECT_TRUE(ReadTextUInt("-0", u));
    EXPECT_EQ(u, 0u);
}

struct FloatCase
{
    const char* text;
    bool ok;
    float value;
};

void PrintTo(const FloatCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TextNumberFixed : public testing::TestWithParam<FloatCase>
{
};

TEST_P(TextNumberFixed, ReadsSignIntegerAndFraction)
{
    float value = 42.0f;
    EXPECT_EQ(ReadTextFixedFloat(GetParam().text, value), GetParam().ok);
    EXPECT_FLOAT_EQ(value, GetParam().ok ? GetParam().value : 42.0f);
}

INSTANTIATE_TEST_SUITE_P(Forms, TextNumberFixed, testing::Values(
    FloatCase{"0.5", true, 0.5f}, FloatCase{"-0.5", true, -0.5f}, FloatCase{"3", true, 3.0f},
    FloatCase{"1.08", true, 1.08f}, FloatCase{"-1.25", true, -1.25f}, FloatCase{"7.25xyz", true, 7.25f},
    FloatCase{"2.", true, 2.0f}, FloatCase{" +4.5", true, 4.5f}, FloatCase{"1e5", true, 1.0f},
    FloatCase{"0.1234567890123", true, 0.123456789f},
    FloatCase{"0.99999999999999999999999999", true, 1.0f},
    FloatCase{"123456789012.5", true, 123456789012.5f},
    FloatCase{".5", false, 0.0f}, FloatCase{"abc", false, 0.0f}, FloatCase{"", false, 0.0f},
    FloatCase{"-", false, 0.0f}, FloatCase{"-.5", false, 0.0f}));

TEST(TextNumber, FixedPointBeyondFloatRangeFails)
{
    float value = 1.0f;
    const std::string huge(60, '9');
    EXPECT_FALSE(ReadTextFixedFloat(huge.c_str(), value));
    EXPECT_FALSE(ReadTextFixedFloat(("-" + huge).c_str(), value));
    EXPECT_EQ(value, 1.0f);
    EXPECT_TRUE(ReadTextFixedFloat(std::string(400, '0').c_str(), value));
    EXPECT_EQ(value, 0.0f);
}

TEST(TextNumber, VectorNeedsThreeFiniteParts)
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
    EXPECT_TRUE(ReadTextVector(" 1.5 ,-2, 3e1 ", x, y, z));
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, -2.0f);
    EXPECT_EQ(z, 30.0f);
    EXPECT_FALSE(ReadTextVector("1,2,", x, y, z));
    EXPECT_FALSE(ReadTextVector("1,2,1e999", x, y, z));
    EXPECT_FALSE(ReadTextVector("1,nan,2", x, y, z));
    EXPECT_FALSE(ReadTextVector("1 2 3", x, y, z));
}
