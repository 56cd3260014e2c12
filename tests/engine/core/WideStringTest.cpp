// WideString: conversion from UTF-8 narrow text, whatever the C locale says.
#include "engine/core/WideString.h"

#include "engine/core/NarrowString.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>

TEST(WideStringFromNarrow, DecodesUtf8UnderTheCLocale)
{
    // The plain "C" locale would make a locale-bound conversion fail on any non-ASCII text.
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(Tarv::WideString(Tarv::NarrowString("caf\xc3\xa9 \xe2\x82\xac")), U"caf\u00e9 \u20ac");
    std::setlocale(LC_CTYPE, saved.c_str());
}

// Invalid input gives an empty text, a NUL byte ends it, and text round-trips through narrow.
TEST(WideStringFromNarrow, InvalidInputIsEmptyAndNulEndsTheText)
{
    const std::pair<std::string, std::u32string> cases[] = {
        {"abc\xe2\x82", U""}, {"\xc0\xaf", U""}, {"", U""}, {std::string("ab\0\xff", 4), U"ab"}};
    for (const auto& [narrow, wide] : cases)
        EXPECT_EQ(Tarv::WideString(Tarv::NarrowString(narrow)), wide);
    const Tarv::WideString text(U"Z\u00df\u6c34\U0001D11E\uFFFD");
    EXPECT_EQ(Tarv::WideString(Tarv::NarrowString(text)), text);
}
