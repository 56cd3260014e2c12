// NarrowString: conversion from wide text and the number-to-text append helpers.
#include "engine/core/NarrowString.h"

#include "engine/core/WideString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>
#include <utility>

// UTF-8 out; a surrogate gives an empty string, a zero code point ends the text, and six-byte
// forms are not cut short.
TEST(NarrowStringFromWide, EncodesAsUtf8)
{
    const std::pair<std::u32string, std::string> cases[] = {
        {U"A\u00e9\u20ac\U0001F600", "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
        {U"", ""},
        {std::u32string(U"abc") + char32_t(0xDC00), ""},
        {std::u32string({U'a', U'b', 0, U'c', U'd'}), "ab"},
        {std::u32string({0x7FFFFFFF, 0x7FFFFFFF}), "\xfd\xbf\xbf\xbf\xbf\xbf\xfd\xbf\xbf\xbf\xbf\xbf"},
    };
    for (const auto& [wide, narrow] : cases)
        EXPECT_EQ(Tarv::NarrowString(Tarv::WideString(wide)), narrow);
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
