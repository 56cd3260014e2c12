// Typesetter tests: word splitting, whitespace modes, breaking and splitting, line feeds,
// alignment, box height, ideographs, spacing, kerning, fallbacks, plain layout and extents.
#include "graphics/text/Typesetter.h"

#include "graphics/text/RichString.h"
#include "tests/graphics/text/TextTestFonts.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

using Tarv::FontEx;
using Tarv::GlyphArray;
using Tarv::RichString;
using Tarv::ScreenGlyph;
using Tarv::SmartPtr;
using Tarv::WideString;
using namespace Tarv::Text;

namespace
{

class TypesetterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseFont(TextTest::LayoutFont());
        format.SetWhitespaceMode(WHITESPACE_KEEP);
    }

    void UseFont(const SmartPtr<FontEx>& newFont)
    {
        font = newFont;
        set = TextTest::SetOf(font.Get());
        format.SetFontSet(set.Get());
    }

    GlyphArray Lay(const std::u32string& text, int w, int h = 0, int x = 0, int y = 0)
    {
        const RichString rich{WideString(text), format};
        Typesetter typesetter;
        const std::int32_t box[4] = {x, y, w, h};
        return typesetter.Layout(rich, box);
    }

    // Copies, so that they outlive a temporary array.
    static std::vector<ScreenGlyph> Records(const GlyphArray& glyphs)
    {
        std::vector<ScreenGlyph> out;
        for (const ScreenGlyph* g = glyphs.get(); g->image; ++g)
            out.push_back(*g);
        return out;
    }

    // The character each record shows, found by its cell in the page.
    char32_t CodeOf(const ScreenGlyph& g) const
    {
        for (char32_t c : std::u32string(U"\t\n\r 0123456789"
                                         U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                         U"\u4E00\u4E01\u4E02\uFFFD")) {
            if (font->GetGlyph(c).x == g.rect[0] && font->GetGlyph(c).width == g.rect[2])
                return c;
        }
        return U'?';
    }

    // The placed text, one string per distinct y, in placement order.
    std::vector<std::u32string> Lines(const GlyphArray& glyphs) const
    {
        std::vector<std::u32string> lines;
        int lastY = INT_MIN;
        for (const ScreenGlyph& g : Records(glyphs)) {
            if (lines.empty() || g.y != lastY)
                lines.emplace_back();
            lastY = g.y;
            lines.back() += CodeOf(g);
        }
        return lines;
    }

    SmartPtr<FontEx> font;
    SmartPtr<FontSet> set;
    Format format;
};

using Texts = std::vector<std::u32string>;

} // namespace

TEST_F(TypesetterTest, EmptyTextGivesTheTerminatorAloneWithNoExtent)
{
    const GlyphArray glyphs = Lay(U"", 100);
    EXPECT_FALSE(glyphs[0].image);
    EXPECT_EQ(Typesetter::GetTextWidth(glyphs.get()), 0);
    EXPECT_EQ(Typesetter::GetTextHeight(glyphs.get()), 0);
}

// The layout font's letters are 10 wide, spaces 5, "W" 30, ideographs 20 (see TextTestFonts.h).
struct BreakCase {
    const char* what;
    int whitespace;
    std::u32string text;
    int width;
    Texts lines;
};

const BreakCase BREAKS[] = {
    {"trim and collapse", WHITESPACE_TRIM_COLLAPSE, U"  a   b  ", 1000, {U"a b"}},
    {"collapse", WHITESPACE_COLLAPSE, U"  a   b  ", 1000, {U" a b "}},
    {"trim", WHITESPACE_TRIM, U"  a   b  ", 1000, {U"a   b"}},
    {"an unknown mode trims only", 5, U"  a   b  ", 1000, {U"a   b"}},
    {"keep", WHITESPACE_KEEP, U"  a   b  ", 1000, {U"  a   b  "}},
    {"only whitespace, trimmed", WHITESPACE_TRIM_COLLAPSE, U" \t  ", 100, {}},
    {"a word ending exactly at the edge stays", WHITESPACE_KEEP, U"abc def", 65, {U"abc def"}},
    {"one pixel less breaks", WHITESPACE_KEEP, U"abc def", 64, {U"abc", U"def"}},
    {"overlong words split at a line start", WHITESPACE_KEEP, U"abcdefgh", 25, {U"ab", U"cd", U"ef", U"gh"}},
    {"after other words they move down whole, clipped", WHITESPACE_KEEP, U"ab abcdefgh", 50, {U"ab", U"abcde"}},
    {"a character wider than the box stays alone", WHITESPACE_KEEP, U"W", 20, {U"W"}},
    {"and the rest goes on the next line", WHITESPACE_KEEP, U"Wab", 20, {U"W", U"ab"}},
    {"a negative width places nothing", WHITESPACE_KEEP, U"ab cd", -10, {}},
    {"ideographs break between each other", WHITESPACE_KEEP, U"\u4E00\u4E01\u4E02", 45, {U"\u4E00\u4E01", U"\u4E02"}},
    {"a letter takes the first ideograph into its word", WHITESPACE_KEEP, U"a\u4E00\u4E01", 49, {U"a\u4E00", U"\u4E01"}},
    {"both fit", WHITESPACE_KEEP, U"a\u4E00\u4E01", 50, {U"a\u4E00\u4E01"}},
    {"a space that does not fit is dropped", WHITESPACE_KEEP, U"abc def", 32, {U"abc", U"def"}},
    {"a group of line breaks ends the line once", WHITESPACE_KEEP, U"a\r\nb", 100, {U"a", U"b"}},
    {"so does a space before one", WHITESPACE_KEEP, U"a \nb", 100, {U"a", U"b"}},
};

TEST_F(TypesetterTest, BreaksLinesByWidthAndWhitespaceMode)
{
    for (const BreakCase& c : BREAKS) {
        format.SetWhitespaceMode(c.whitespace);
        EXPECT_EQ(Lines(Lay(c.text, c.width)), c.lines) << c.what;
    }
}

// Where one record lands: spacing follows every character and line, right alignment ends the
// line with its spacing at the box edge, centring truncates toward zero, line feeds in a group
// end the line once, and a leading one makes an empty first line.
struct PlaceCase {
    const char* what;
    int letterSpacing, lineSpacing, alignment;
    std::u32string text;
    int width, boxX, boxY;
    std::size_t record;
    int x, y;
};

const PlaceCase PLACES[] = {
    {"a kept space has its own record", 0, 0, ALIGN_LEFT, U"ab cd", 1000, 0, 0, 3, 25, 0},
    {"after it, the next word", 0, 0, ALIGN_LEFT, U"ab cd", 1000, 0, 0, 4, 35, 0},
    {"a dropped space", 0, 0, ALIGN_LEFT, U"abc def", 32, 0, 0, 3, 0, 20},
    {"line feeds in a group", 0, 0, ALIGN_LEFT, U"a\n\n\nb", 100, 0, 0, 1, 0, 20},
    {"a leading line feed", 0, 3, ALIGN_LEFT, U"\nab", 100, 0, 7, 0, 0, 10},
    {"line spacing", 0, 5, ALIGN_LEFT, U"a\nb\nc", 100, 0, 0, 2, 0, 50},
    {"letter spacing", 2, 0, ALIGN_LEFT, U"ab", 100, 0, 0, 1, 12, 0},
    {"right alignment", 2, 0, ALIGN_RIGHT, U"ab", 100, 5, 0, 0, 81, 0},
    {"right alignment, last", 2, 0, ALIGN_RIGHT, U"ab", 100, 5, 0, 1, 93, 0}, // + 10 + 2 = box right
    {"centring", 0, 0, ALIGN_CENTER, U"abc", 37, 0, 0, 0, 3, 0},
    {"centring a wider character", 0, 0, ALIGN_CENTER, U"W", 23, 0, 0, 0, -3, 0},
    {"an unknown alignment is left", 0, 0, 7, U"abc", 37, 0, 0, 0, 0, 0},
};

TEST_F(TypesetterTest, PlacesRecordsBySpacingAndAlignment)
{
    for (const PlaceCase& c : PLACES) {
        format.SetLetterSpacing(c.letterSpacing);
        format.SetLineSpacing(c.lineSpacing);
        format.SetAlignment(c.alignment);
        const auto records = Records(Lay(c.text, c.width, 0, c.boxX, c.boxY));
        ASSERT_GT(records.size(), c.record) << c.what;
        EXPECT_EQ(records[c.record].x, c.x) << c.what;
        EXPECT_EQ(records[c.record].y, c.y) << c.what;
    }
    format.SetLetterSpacing(2);
    format.SetAlignment(ALIGN_LEFT);
    EXPECT_EQ(Lines(Lay(U"ab ab", 52)), (Texts{U"ab", U"ab"}));
    EXPECT_EQ(Lines(Lay(U"ab ab", 55)), Texts{U"ab ab"});
}

TEST_F(TypesetterTest, LinesStartOnlyWithinTheBoxHeight)
{
    const std::u32string text = U"ab\ncd\nef\ngh";
    const GlyphArray limited = Lay(text, 100, 50);
    EXPECT_EQ(Lines(limited), (Texts{U"ab", U"cd", U"ef"}));
    EXPECT_FALSE(limited[6].image); // the records after the last placed glyph stay default
    EXPECT_EQ(Lines(Lay(text, 100, 0)).size(), 4u);
    EXPECT_FALSE(Lay(text, 100, -1)[0].image);
}

TEST_F(TypesetterTest, KerningPullsTheRightCharacterCloser)
{
    UseFont(TextTest::LayoutFont(20, {{'a', 'b', 2}, {0, 'c', 1}}));
    const auto records = Records(Lay(U"ab c", 100));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].x, 8);
    EXPECT_EQ(records[3].x, 22); // a word's first character is kerned against code 0
}

TEST_F(TypesetterTest, MissingCharactersUseTheReplacementGlyph)
{
    const auto records = Records(Lay(U"a\u00E9b\U0010FFFF", 100));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(CodeOf(records[1]), U'\uFFFD');
    EXPECT_EQ(records[2].x, 18);
    EXPECT_EQ(CodeOf(records[3]), U'\uFFFD');
}

TEST_F(TypesetterTest, AMaximumWidthBoxWithKerningDoesNotOverflow)
{
    UseFont(TextTest::LayoutFont(20, {{0, 'a', 3}, {'a', 'b', 3}}));
    format.SetAlignment(ALIGN_RIGHT);
    const auto records = Records(Lay(U"ab", INT_MAX));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].x, INT_MAX - 10);
}

TEST_F(TypesetterTest, RunsKeepTheirColoursAndAMergedSpaceTakesTheLastOnes)
{
    format.SetWhitespaceMode(WHITESPACE_TRIM_COLLAPSE);
    format.SetColor(255, 0, 0, 255);
    Format blue;
    blue.SetColor(0, 0, 255, 255);
    RichString rich(WideString(U"a "), format);
    rich.Append(WideString(U"  b"), blue);
    Typesetter typesetter;
    const std::int32_t box[4] = {0, 0, 100, 0};
    const GlyphArray glyphs = typesetter.Layout(rich, box);
    const auto records = Records(glyphs);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].color[0], 255);
    EXPECT_EQ(records[1].color[2], 255);
    EXPECT_EQ(records[1].x, 10);
    EXPECT_EQ(records[2].color[2], 255);
    EXPECT_EQ(records[2].x, 15);
}

// The text uses one font when only one run has characters; that is decided before whitespace
// handling. Here the last run is spaces alone, trimmed away later, so "cd" keeps its own font,
// whose letters are 20 wide, and is not laid out in the first run's.
TEST_F(TypesetterTest, TheSingleFontChoiceComesBeforeTrimming)
{
    std::vector<TextTest::GlyphCell> wideLetters;
    for (std::uint32_t c = 'a'; c <= 'z'; ++c)
        wideLetters.push_back({c, 20});
    const SmartPtr<FontEx> wide = TextTest::ParseFont(TextTest::FontXml(wideLetters, 20));
    set->AddFont("wide", wide.Get());
    format.SetWhitespaceMode(WHITESPACE_TRIM_COLLAPSE);
    Format inWide;
    inWide.SetFontName("wide");
    RichString rich(WideString(U"ab"), format);
    rich.Append(WideString(U"cd"), inWide);
    rich.Append(WideString(U"  "), Format());
    Typesetter typesetter;
    const std::int32_t box[4] = {0, 0, 1000, 0};
    std::vector<std::pair<int, int>> placed; // x and glyph width of each record
    for (const ScreenGlyph& g : Records(typesetter.Layout(rich, box)))
        placed.emplace_back(g.x, g.rect[2]);
    EXPECT_EQ(placed, (std::vector<std::pair<int, int>>{{0, 10}, {10, 10}, {20, 20}, {40, 20}}));
}

TEST_F(TypesetterTest, ATextWithoutFontsPlacesNothingUnlessTheTypesetterHasAFallback)
{
    Format bare;
    const RichString rich(WideString(U"ab"), bare);
    const std::int32_t box[4] = {0, 0, 100, 0};
    Typesetter plain;
    EXPECT_FALSE(plain.Layout(rich, box)[0].image);
    Typesetter withFallback(set.Get());
    EXPECT_EQ(Records(withFallback.Layout(rich, box)).size(), 2u);
}

TEST_F(TypesetterTest, ExtentsSpanAllRecords)
{
    const GlyphArray glyphs = Lay(U"ab\nW", 100, 0, 4, 6);
    EXPECT_EQ(Typesetter::GetTextWidth(glyphs.get()), 30);
    EXPECT_EQ(Typesetter::GetTextHeight(glyphs.get()), 40);
}

TEST_F(TypesetterTest, PlainLayoutDrawsTheLineFeedAndStartsANewLine)
{
    const GlyphArray glyphs = LayoutPlainText(WideString(U"ab\ncd"), font.Get());
    const auto records = Records(glyphs);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(CodeOf(records[2]), U'\n');
    EXPECT_EQ(records[2].x, 20);
    EXPECT_EQ(records[3].x, 0);
    EXPECT_EQ(records[3].y, 20);
    EXPECT_EQ(records[4].color[3], 255);
    EXPECT_EQ(Typesetter::GetTextWidth(glyphs.get()), 20);
    EXPECT_FALSE(LayoutPlainText(WideString(U"ab"), nullptr)[0].image);
}

TEST(GlyphWriter, NeverWritesTheTerminator)
{
    ScreenGlyph records[3];
    GlyphWriter writer(records, 3);
    EXPECT_EQ(writer.GetCurrent(), &records[0]);
    writer.Advance();
    EXPECT_EQ(writer.GetCurrent(), &records[1]);
    writer.Advance();
    writer.Advance();
    EXPECT_EQ(writer.GetCurrent(), nullptr);
    GlyphWriter empty(records, 1);
    EXPECT_EQ(empty.GetCurrent(), nullptr);
}
