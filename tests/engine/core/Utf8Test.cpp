// UTF-8 encoder and strict decoder: every form of every length, every class of invalid input,
// truncated destinations and source buffers that end in the middle of a character.
#include "engine/core/Utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace
{

std::string Encode(const std::u32string& text, std::size_t destSize = 64, int* result = nullptr)
{
    std::vector<char> buffer(destSize + 1, '\x7f');
    const int written = Tarv::EncodeUtf8(buffer.data(), destSize, text.data(), text.size());
    if (result != nullptr)
        *result = written;
    if (written < 0)
        return "<error>";
    EXPECT_EQ(buffer[destSize], '\x7f') << "wrote past the destination";
    return std::string(buffer.data(), static_cast<std::size_t>(written));
}

struct FormCase
{
    char32_t codePoint;
    const char* bytes;
};

void PrintTo(const FormCase& c, std::ostream* os)
{
    *os << "U+" << std::hex << static_cast<unsigned long>(c.codePoint);
}

class Utf8Form : public ::testing::TestWithParam<FormCase>
{
};

// The first and last code point of each length, plus a few in between.
INSTANTIATE_TEST_SUITE_P(EveryLength, Utf8Form,
    ::testing::Values(FormCase{0x01, "\x01"}, FormCase{0x41, "A"}, FormCase{0x7F, "\x7f"},
        FormCase{0x80, "\xc2\x80"}, FormCase{0xE9, "\xc3\xa9"}, FormCase{0x7FF, "\xdf\xbf"},
        FormCase{0x800, "\xe0\xa0\x80"}, FormCase{0x20AC, "\xe2\x82\xac"},
        FormCase{0xD7FF, "\xed\x9f\xbf"}, FormCase{0xE000, "\xee\x80\x80"},
        FormCase{0xFEFF, "\xef\xbb\xbf"}, FormCase{0xFFFD, "\xef\xbf\xbd"},
        FormCase{0x10000, "\xf0\x90\x80\x80"}, FormCase{0x1F600, "\xf0\x9f\x98\x80"},
        FormCase{0x10FFFF, "\xf4\x8f\xbf\xbf"}));

TEST_P(Utf8Form, EncodesAndDecodesBothWays)
{
    const FormCase& c = GetParam();
    const std::string bytes(c.bytes);
    EXPECT_EQ(Encode(std::u32string(1, c.codePoint)), bytes);

    char32_t decoded = 0;
    EXPECT_EQ(Tarv::DecodeUtf8Char(bytes.data(), bytes.size(), decoded), bytes.size());
    EXPECT_EQ(decoded, c.codePoint);

    std::u32string text;
    ASSERT_TRUE(Tarv::DecodeUtf8(bytes.data(), bytes.size(), text));
    EXPECT_EQ(text, std::u32string(1, c.codePoint));
}

// The old long forms beyond the Unicode range, mixed text in order, a zero code point ending the
// text, and a stop before a character that does not fit the destination.
TEST(EncodeUtf8, WritesWhatFits)
{
    const std::tuple<std::u32string, std::size_t, std::string> cases[] = {
        {U"\U00110000", 64, "\xf4\x90\x80\x80"},
        {U"\U001FFFFF", 64, "\xf7\xbf\xbf\xbf"},
        {std::u32string(1, 0x200000), 64, "\xf8\x88\x80\x80\x80"},
        {std::u32string(1, 0x3FFFFFF), 64, "\xfb\xbf\xbf\xbf\xbf"},
        {std::u32string(1, 0x4000000), 64, "\xfc\x84\x80\x80\x80\x80"},
        {std::u32string(1, 0x7FFFFFFF), 64, "\xfd\xbf\xbf\xbf\xbf\xbf"},
        {U"A\u00e9\u20ac", 16, "A\xc3\xa9\xe2\x82\xac"},
        {std::u32string({U'a', 0, U'b'}), 64, "a"},
        {U"a\u20ac", 3, "a"},
        {U"a\u20ac", 4, "a\xe2\x82\xac"},
        {U"\u00e9", 1, ""},
        {U"ab\U0001F600", 5, "ab"},
    };
    for (const auto& [text, size, bytes] : cases) {
        int written = -2;
        EXPECT_EQ(Encode(text, size, &written), bytes);
        EXPECT_EQ(written, int(bytes.size()));
    }
    char buffer[4] = {};
    EXPECT_EQ(Tarv::EncodeUtf8(buffer, 0, U"a", 1), 0);
    EXPECT_EQ(Tarv::EncodeUtf8(buffer, 4, U"a", 0), 0);
}

TEST(EncodeUtf8, RefusesCodePointsThatMayNotBeEncoded)
{
    for (char32_t c : {char32_t(0xD800), char32_t(0xDBFF), char32_t(0xDC00), char32_t(0xDFFF),
             char32_t(0xFFFE), char32_t(0xFFFF), char32_t(0x80000000u), char32_t(0xFFFFFFFFu)}) {
        int written = 0;
        Encode(std::u32string(U"ab") + c, 16, &written);
        EXPECT_EQ(written, -1) << std::hex << c;
    }
}

TEST(EncodeUtf8, OnlyCodePointsReadBeforeTheEndAreChecked)
{
    // A full destination alone does not end the conversion: the next code point is still read.
    int written = 0;
    Encode(std::u32string(U"ab") + char32_t(0xD800), 2, &written);
    EXPECT_EQ(written, -1);
    // A character that does not fit does end it, so what follows is never looked at.
    EXPECT_EQ(Encode(std::u32string(U"a\u20ac") + char32_t(0xD800), 2), "a");
}

struct InvalidCase
{
    const char* name;
    std::string bytes;
};

void PrintTo(const InvalidCase& c, std::ostream* os)
{
    *os << c.name;
}

class Utf8Invalid : public ::testing::TestWithParam<InvalidCase>
{
};

INSTANTIATE_TEST_SUITE_P(EveryClass, Utf8Invalid,
    ::testing::Values(InvalidCase{"overlong2", "\xc1\xbf"}, InvalidCase{"overlong2Nul", "\xc0\x80"},
        InvalidCase{"overlong3", "\xe0\x9f\xbf"}, InvalidCase{"overlong3Slash", "\xe0\x80\xaf"},
        InvalidCase{"overlong4", "\xf0\x8f\xbf\xbf"}, InvalidCase{"surrogateLow", "\xed\xa0\x80"},
        InvalidCase{"surrogateHigh", "\xed\xbf\xbf"},
        InvalidCase{"surrogatePair", "\xed\xa0\xbd\xed\xb8\x80"},
        InvalidCase{"above10FFFF", "\xf4\x90\x80\x80"}, InvalidCase{"leadF5", "\xf5\x80\x80\x80"},
        InvalidCase{"leadF7", "\xf7\xbf\xbf\xbf"}, InvalidCase{"leadF8", "\xf8\x88\x80\x80\x80"},
        InvalidCase{"leadFC", "\xfc\x84\x80\x80\x80\x80"}, InvalidCase{"leadFE", "\xfe"},
        InvalidCase{"leadFF", "\xff"}, InvalidCase{"leadC0", "\xc0"}, InvalidCase{"leadC1", "\xc1\x81"},
        InvalidCase{"loneContinuation", "\x80"}, InvalidCase{"loneContinuationBF", "a\xbf"},
        InvalidCase{"truncated2", "\xc3"}, InvalidCase{"truncated3At1", "\xe2"},
        InvalidCase{"truncated3At2", "\xe2\x82"}, InvalidCase{"truncated4At1", "\xf0"},
        InvalidCase{"truncated4At2", "\xf0\x9f"}, InvalidCase{"truncated4At3", "\xf0\x9f\x98"},
        InvalidCase{"truncatedThenAscii", std::string("\xe2\x82") + "a"},
        InvalidCase{"truncatedByNul", std::string("\xe2\x82\0", 3)},
        InvalidCase{"invalidAfterValid", "ok\xc3\xa9\xff"}),
    [](const ::testing::TestParamInfo<InvalidCase>& info) { return std::string(info.param.name); });

TEST_P(Utf8Invalid, IsRejectedAndGivesAnEmptyText)
{
    const std::string& bytes = GetParam().bytes;
    std::u32string text = U"stale";
    EXPECT_FALSE(Tarv::DecodeUtf8(bytes.data(), bytes.size(), text));
    EXPECT_TRUE(text.empty());
}

TEST(DecodeUtf8, NeverReadsBeyondTheGivenSize)
{
    // The buffer holds a whole euro sign, but only two of its bytes are offered.
    const char bytes[] = "\xe2\x82\xac";
    char32_t c = 0;
    EXPECT_EQ(Tarv::DecodeUtf8Char(bytes, 2, c), 0u);
    std::u32string text;
    EXPECT_FALSE(Tarv::DecodeUtf8(bytes, 2, text));
    EXPECT_EQ(Tarv::DecodeUtf8Char(bytes, 0, c), 0u);
}

TEST(DecodeUtf8, EndsAtTheFirstNulAndIgnoresWhatFollows)
{
    const std::string bytes("ab\0\xff", 4);
    std::u32string text;
    ASSERT_TRUE(Tarv::DecodeUtf8(bytes.data(), bytes.size(), text));
    EXPECT_EQ(text, U"ab");
}

TEST(DecodeUtf8, EmptyInputIsAnEmptySuccess)
{
    std::u32string text = U"stale";
    EXPECT_TRUE(Tarv::DecodeUtf8("", 0, text));
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(Tarv::DecodeUtf8(nullptr, 0, text));
}

TEST(DecodeUtf8, NoncharactersAreValidText)
{
    std::u32string text;
    ASSERT_TRUE(Tarv::DecodeUtf8("\xef\xbf\xbe\xef\xbf\xbf", 6, text));
    EXPECT_EQ(text, std::u32string({0xFFFE, 0xFFFF}));
}

TEST(Utf8RoundTrip, EveryScalarValueSurvivesEncodeAndDecode)
{
    std::u32string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c < 0xE000) || c == 0xFFFE || c == 0xFFFF)
            continue;
        all.push_back(c);
    }
    std::vector<char> bytes(all.size() * 4);
    const int written = Tarv::EncodeUtf8(bytes.data(), bytes.size(), all.data(), all.size());
    ASSERT_GT(written, 0);
    std::u32string decoded;
    ASSERT_TRUE(Tarv::DecodeUtf8(bytes.data(), static_cast<std::size_t>(written), decoded));
    EXPECT_TRUE(decoded == all);
}

} // namespace
