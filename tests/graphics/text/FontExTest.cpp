// Bitmap font tests: the font XML rules (decimal codes, the height rule, first definitions,
// stopping at incomplete elements), glyph fallbacks, kerning direction and damaged files.
#include "graphics/text/FontEx.h"

#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "graphics/render/Texture.h"
#include "tests/graphics/text/TextTestFonts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using Tarv::FontEx;
using Tarv::NarrowString;
using Tarv::SmartPtr;
using TextTest::ParseFont;

namespace
{

std::string Chars(const std::string& elements)
{
    return "<f><characters>" + elements + "</characters></f>";
}

} // namespace

TEST(FontExParse, CodesAreDecimalOnlyWhileCellValuesTakeHexAndOctal)
{
    const SmartPtr<FontEx> font =
        ParseFont(Chars("<char code=\"0x41\" x=\"0x10\" y=\"010\" width=\"3\" height=\"5\"/>"));
    ASSERT_EQ(font->GetGlyphCount(), 1u);
    const FontEx::Glyph& g = font->GetGlyph(0);
    EXPECT_EQ(g.x, 16);
    EXPECT_EQ(g.y, 8);
    EXPECT_EQ(font->GetGlyph(65).x, 16); // 65 is missing: the lowest code stands in
}

TEST(FontExParse, FirstDefinitionOfACodeWins)
{
    const SmartPtr<FontEx> font = ParseFont(Chars(
        "<char code=\"65\" x=\"1\" y=\"0\" width=\"3\" height=\"5\"/>"
        "<char code=\"65\" x=\"9\" y=\"0\" width=\"3\" height=\"5\"/>"));
    EXPECT_EQ(font->GetGlyph(65).x, 1);
}

TEST(FontExParse, ADifferentHeightEndsTheParseWithoutKerning)
{
    bool parsed = true;
    const SmartPtr<FontEx> font = ParseFont(
        "<f><characters><char code=\"1\" x=\"0\" y=\"0\" width=\"3\" height=\"16\"/>"
        "<char code=\"2\" x=\"0\" y=\"0\" width=\"3\" height=\"16\"/>"
        "<char code=\"3\" x=\"0\" y=\"0\" width=\"3\" height=\"12\"/></characters>"
        "<kerning><pair left=\"1\" right=\"2\" distance=\"1\"/></kerning></f>",
        true, &parsed);
    EXPECT_FALSE(parsed);
    EXPECT_EQ(font->GetGlyphCount(), 2u);
    EXPECT_EQ(font->GetKerningCount(), 0u);
}

TEST(FontExParse, LeadingZeroHeightsAreKeptAndGiveHeightZero)
{
    bool parsed = false;
    const SmartPtr<FontEx> font = ParseFont(Chars(
        "<char code=\"1\" x=\"0\" y=\"0\" width=\"3\" height=\"0\"/>"
        "<char code=\"2\" x=\"0\" y=\"0\" width=\"3\" height=\"16\"/>"
        "<char code=\"3\" x=\"0\" y=\"0\" width=\"3\" height=\"16\"/>"),
        true, &parsed);
    EXPECT_TRUE(parsed);
    EXPECT_EQ(font->GetGlyphCount(), 3u);
    EXPECT_EQ(font->GetHeight(), 0);
    EXPECT_EQ(font->GetGlyph(2).height, 16);
}

TEST(FontExParse, AnIncompleteCharEndsTheGlyphsButKerningIsStillRead)
{
    const SmartPtr<FontEx> font = ParseFont(
        "<f><characters><char code=\"1\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/>"
        "<char code=\"2\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/>"
        "<char code=\"3\" x=\"0\" y=\"0\" width=\"\" height=\"9\"/>"
        "<char code=\"4\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/></characters>"
        "<kerning><pair left=\"65\" right=\"86\" distance=\"2\"/><pair left=\"1\" right=\"2\"/>"
        "<pair left=\"3\" right=\"4\" distance=\"1\"/></kerning></f>");
    EXPECT_EQ(font->GetGlyphCount(), 2u);
    EXPECT_EQ(font->GetKerningCount(), 1u);
    EXPECT_EQ(font->GetKerning(65, 86), 2);
    EXPECT_EQ(font->GetKerning(86, 65), 0);
    EXPECT_EQ(font->GetKerning(3, 4), 0);
}

TEST(FontExParse, NonNumbersReadAsZero)
{
    const SmartPtr<FontEx> font =
        ParseFont(Chars("<char code=\"x\" x=\"left\" y=\"0\" width=\"7\" height=\"5\"/>"));
    ASSERT_EQ(font->GetGlyphCount(), 1u);
    EXPECT_EQ(font->GetGlyph(0).x, 0);
    EXPECT_EQ(font->GetGlyph(0).width, 7);
}

TEST(FontExParse, CodesBeyondUnicodeAndNegativeCellsAreNotGlyphs)
{
    const SmartPtr<FontEx> font = ParseFont(Chars(
        "<char code=\"1114112\" x=\"0\" y=\"0\" width=\"3\" height=\"40\"/>"
        "<char code=\"66\" x=\"-4\" y=\"0\" width=\"3\" height=\"40\"/>"
        "<char code=\"67\" x=\"0\" y=\"0\" width=\"-3\" height=\"9\"/>"
        "<char code=\"65\" x=\"2\" y=\"0\" width=\"3\" height=\"9\"/>"));
    EXPECT_EQ(font->GetGlyphCount(), 1u);
    EXPECT_EQ(font->GetHeight(), 9);
    EXPECT_EQ(font->GetGlyph(0x110000).x, 2);
}

TEST(FontExParse, NoCharactersElementOrNotXmlGivesAnEmptyFont)
{
    bool parsed = true;
    SmartPtr<FontEx> font = ParseFont("<f><kerning/></f>", true, &parsed);
    EXPECT_FALSE(parsed);
    parsed = true;
    font = ParseFont("not xml <<", true, &parsed);
    EXPECT_FALSE(parsed);
    EXPECT_EQ(font->GetGlyphCount(), 0u);
    // No glyphs: a zero cell and height 0, never a read of an empty table.
    const FontEx::Glyph& g = font->GetGlyph(65);
    EXPECT_EQ(g.width, 0);
    EXPECT_EQ(g.height, 0);
    EXPECT_EQ(font->GetHeight(), 0);
}

TEST(FontExParse, OnlyTheFirstCharactersElementIsRead)
{
    const SmartPtr<FontEx> font = ParseFont(
        "<f><characters><char code=\"1\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/></characters>"
        "<characters><char code=\"2\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/></characters>"
        "<other><char code=\"3\" x=\"0\" y=\"0\" width=\"3\" height=\"9\"/></other></f>");
    EXPECT_EQ(font->GetGlyphCount(), 1u);
}

TEST(FontExGlyphs, MissingCodesFallBackToReplacementThenLowestCode)
{
    SmartPtr<FontEx> font = ParseFont(Chars(
        "<char code=\"66\" x=\"1\" y=\"0\" width=\"3\" height=\"5\"/>"
        "<char code=\"65533\" x=\"2\" y=\"0\" width=\"3\" height=\"5\"/>"));
    EXPECT_EQ(font->GetGlyph(67).x, 2);
    EXPECT_EQ(font->GetGlyph(0xFFFFFFFFu).x, 2);
    font = ParseFont(Chars("<char code=\"70\" x=\"1\" y=\"0\" width=\"3\" height=\"5\"/>"
                           "<char code=\"66\" x=\"4\" y=\"0\" width=\"3\" height=\"5\"/>"));
    EXPECT_EQ(font->GetGlyph(67).x, 4);
}

TEST(FontExKeys, SplitsTheFontKeyIntoXmlAndImageKeys)
{
    NarrowString xml, image;
    EXPECT_TRUE(FontEx::SplitFontKey("fonts/a.xml@linear", xml, image));
    EXPECT_EQ(xml, "fonts/a.xml");
    EXPECT_EQ(image, "fonts/a.png@linear");
    EXPECT_TRUE(FontEx::SplitFontKey("b.xml", xml, image));
    EXPECT_EQ(image, "b.png");
    EXPECT_FALSE(FontEx::SplitFontKey("", xml, image));
    EXPECT_FALSE(FontEx::SplitFontKey("ab", xml, image));
    EXPECT_FALSE(FontEx::SplitFontKey(".xml", xml, image));
    EXPECT_FALSE(FontEx::SplitFontKey("a.png@x.xml", xml, image));
    EXPECT_TRUE(xml.empty());
}

class FontExFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() /
                 ("brashwick-fontex-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_root);
        Tarv::VfsInit();
        Tarv::VfsMountNative(NarrowString(m_root.string() + "/"), "", 0);
    }
    void TearDown() override
    {
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_root);
    }
    void Write(const char* name, const std::string& text)
    {
        std::ofstream(m_root / name, std::ios::binary) << text;
    }
    std::filesystem::path m_root;
};

TEST_F(FontExFiles, AMissingFontFileGivesAnEmptyFontWithoutImage)
{
    const SmartPtr<FontEx> font(new FontEx("none.xml", "none.png"));
    EXPECT_EQ(font->GetGlyphCount(), 0u);
    EXPECT_EQ(font->GetImage(), nullptr);
}

TEST_F(FontExFiles, AnUndecodablePageLeavesTheImageNullButKeepsTheGlyphs)
{
    Write("f.xml", Chars("<char code=\"65\" x=\"0\" y=\"0\" width=\"3\" height=\"5\"/>"));
    Write("f.png", "not a png");
    const SmartPtr<FontEx> font(new FontEx("f.xml", "f.png"));
    EXPECT_EQ(font->GetGlyphCount(), 1u);
    EXPECT_EQ(font->GetImage(), nullptr);
}

TEST_F(FontExFiles, TheProviderIsAskedForTheImageKey)
{
    static NarrowString asked;
    Write("f.xml", Chars("<char code=\"65\" x=\"0\" y=\"0\" width=\"3\" height=\"5\"/>"));
    FontEx::SetImageProvider([](const NarrowString& key) {
        asked = key;
        return TextTest::StandInPage(key);
    });
    const SmartPtr<FontEx> font(new FontEx("f.xml", "f.png@linear"));
    FontEx::SetImageProvider(nullptr);
    EXPECT_EQ(asked, "f.png@linear");
    EXPECT_NE(font->GetImage(), nullptr);
}

namespace
{

std::string Le32(std::uint32_t v)
{
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

} // namespace

// Pages read without an asset dictionary go through the image readers and texture staging:
// 565 words widen with bit replication, run-length pages decode their runs.
TEST_F(FontExFiles, RawPagesDecodeLikeEveryOtherImage)
{
    Write("f.xml", Chars("<char code=\"65\" x=\"0\" y=\"0\" width=\"2\" height=\"1\"/>"));
    Write("w.png", "C565" + Le32(2) + Le32(1) + std::string("\xff\xff\x00\xf8", 4));
    // One row: an opaque red repeat run, then a translucent blue one with alpha5 16.
    Write("r.png", "CRLE" + Le32(2) + Le32(1) + Le32(14) +
                       std::string("\x0a\x0b\x00\x04\x01\x00\x00\xf8\x03\x01\x00\x10\x1f\x00", 14));
    const SmartPtr<FontEx> white(new FontEx("f.xml", "w.png"));
    const SmartPtr<FontEx> runs(new FontEx("f.xml", "r.png"));
    ASSERT_NE(white->GetImage(), nullptr);
    ASSERT_NE(runs->GetImage(), nullptr);
    EXPECT_EQ(white->GetImage()->GetPixel(0, 0), (Tarv::Color{255, 255, 255, 255}));
    EXPECT_EQ(white->GetImage()->GetPixel(1, 0), (Tarv::Color{255, 0, 0, 255}));
    EXPECT_EQ(runs->GetImage()->GetPixel(0, 0), (Tarv::Color{255, 0, 0, 255}));
    EXPECT_EQ(runs->GetImage()->GetPixel(1, 0), (Tarv::Color{0, 0, 255, 132}));
}
