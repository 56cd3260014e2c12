// NarrowString: conversion from wide text and the number-to-text append helpers.
#include "engine/core/NarrowString.h"

#include "engine/core/WideString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

TEST(NarrowStringFromWide, EncodesAsUtf8)
{
    EXPECT_EQ(Tarv::NarrowString(Tarv::WideString(U"A\u00e9\u20ac\U0001F600")),
        "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_TRUE(Tarv::NarrowString(Tarv::WideString()).empty());
}

TEST(NarrowStringFromWide, ASurrogateGivesAnEmptyString)
{
    Tarv::WideString text(U"abc");
    text.push_back(0xDC00);
    EXPECT_TRUE(Tarv::NarrowString(text).empty());
}

TEST(NarrowStringFromWide, EndsAtAZeroCodePoint)
{
    Tarv::WideString text(U"ab");
    text.push_back(0);
    text.append(U"cd");
    EXPECT_EQ(Tarv::NarrowString(text), "ab");
}

TEST(NarrowStringFromWide, SixByteFormsAreNotCutShort)
{
    const Tarv::WideString text({0x7FFFFFFF, 0x7FFFFFFF});
    EXPECT_EQ(Tarv::NarrowString(text).size(), 12u);
}

TEST(NarrowStringAppend, FormatsNumbersAsPrintfDoes)
{
    Tarv::NarrowString text("v");
    text.AppendChar('=').AppendInt(-5).AppendChar(' ').AppendUInt(4000000000u);
    EXPECT_EQ(text, "v=-5 4000000000");

    Tarv::NarrowString limits;
    limits.AppendInt(INT_MIN).AppendChar('/').AppendUInt(UINT_MAX);
    EXPECT_EQ(limits, "-2147483648/4294967295");
}

TEST(NarrowStringAppend, FloatsGetSixDecimals)
{
    EXPECT_EQ(Tarv::NarrowString().AppendFloat(0.5f), "0.500000");
    EXPECT_EQ(Tarv::NarrowString().AppendFloat(-1.25f), "-1.250000");
    EXPECT_EQ(Tarv::NarrowString().AppendFloat(FLT_MAX),
        "340282346638528859811704183484516925440.000000");
}

TEST(NarrowStringAppend, AppendCharKeepsNulBytes)
{
    Tarv::NarrowString text;
    text.AppendChar('\0').AppendChar('x');
    EXPECT_EQ(text.size(), 2u);
}
