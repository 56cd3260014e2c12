// Bitmap font tests: the font XML rules (decimal codes, the height rule, first definitions,
// stopping at incomplete elements), glyph fallbacks, kerning direction, damaged and large files.
#include "graphics/text/FontEx.h"

#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "tests/graphics/text/TextTestFonts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
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

std::string Char(const char* code, const char* x, const char* width, const char* height)
{
    return std::string("<char code=\"") + code + "\" x=\"" + x + "\" y=\"010\" width=\"" + width +
           "\" height=\"" + height + "\"/>";
}

struct GlyphCheck {
    std::uint32_t code;
    int x, y, width, height; // -1: not checked
};

struct ParseCase {
    const char* what;
    std::string xml;
    bool parsed;
    std::size_t glyphs, kernings;
    int height; // -1: not checked
    std::vector<GlyphCheck> checks;
    std::vector<std::array<int, 3>> kerning; // left, right, distance
};

const std::string K = "</characters><kerning>", END = "</kerning></f>";

const ParseCase PARSE_CASES[] = {
    // Codes are decimal only (so 0x41 is 0), cell values take hex and octal (y = 010 is 8).
    {"decimal codes, hex and octal cells", Chars(Char("0x41", "0x10", "3", "5")), true, 1, 0, 5,
     {{0, 16, 8, 3, 5}, {65, 16, -1, -1, -1}}, {}},
    {"the first definition of a code wins",
     Chars(Char("65", "1", "3", "5") + Char("65", "9", "3", "5")), true, 1, 0, -1, {{65, 1, -1, -1, -1}}, {}},
    {"a different height ends the parse without kerning",
     "<f><characters>" + Char("1", "0", "3", "16") + Char("2", "0", "3", "16") + Char("3", "0", "3", "12") +
         K + "<pair left=\"1\" right=\"2\" distance=\"1\"/>" + END,
     false, 2, 0, -1, {}, {{1, 2, 0}}},
    {"leading zero heights are kept and give height 0",
     Chars(Char("1", "0", "3", "0") + Char("2", "0", "3", "16") + Char("3", "0", "3", "16")), true, 3, 0,
     0, {{2, -1, -1, -1, 16}}, {}},
    {"an incomplete char ends the glyphs, kerning is still read",
     "<f><characters>" + Char("1", "0", "3", "9") + Char("2", "0", "3", "9") + Char("3", "0", "", "9") +
         Char("4", "0", "3", "9") + K +
         "<pair left=\"65\" right=\"86\" distance=\"2\"/><pair left=\"1\" right=\"2\"/>"
         "<pair left=\"3\" right=\"4\" distance=\"1\"/>" + END,
     true, 2, 1, -1, {}, {{65, 86, 2}, {86, 65, 0}, {3, 4, 0}}},
    {"non-numbers read as zero", Chars(Char("x", "left", "7", "5")), true, 1, 0, -1, {{0, 0, -1, 7, -1}}, {}},
    {"codes beyond Unicode and cells outside the image are glyphs too",
     Chars(Char("1114112", "0", "3", "9") + Char("66", "-4", "3", "9") + Char("67", "0", "-3", "9")),
     true, 3, 0, 9, {{0x110000, 0, -1, 3, -1}, {66, -4, -1, -1, -1}, {67, 0, -1, -1, -1}}, {}},
    {"no characters element", "<f><kerning/></f>", false, 0, 0, 0, {}, {}},
    // No glyphs: a zero cell and height 0, never a read of an empty table.
    {"not XML", "not xml <<", false, 0, 0, 0, {{65, -1, -1, 0, 0}}, {}},
    {"only the first characters element is read",
     "<f><characters>" + Char("1", "0", "3", "9") + "</characters><characters>" + Char("2", "0", "3", "9") +
         "</characters><other>" + Char("3", "0", "3", "9") + "</other></f>",
     true, 1, 0, -1, {}, {}},
};

TEST(FontExParse, ReadsTheFontXmlRules)
{
    for (const ParseCase& c : PARSE_CASES) {
        bool parsed = !c.parsed;
        const SmartPtr<FontEx> font = ParseFont(c.xml, true, &parsed);
        EXPECT_EQ(parsed, c.parsed) << c.what;
        EXPECT_EQ(font->GetGlyphCount(), c.glyphs) << c.what;
        EXPECT_EQ(font->GetKerningCount(), c.kernings) << c.what;
        EXPECT_TRUE(c.height < 0 || font->GetHeight() == c.height) << c.what;
        for (const GlyphCheck& g : c.checks) {
            const FontEx::Glyph& glyph = font->GetGlyph(g.code);
            EXPECT_TRUE(g.x < 0 || glyph.x == g.x) << c.what << ": x " << glyph.x;
            EXPECT_TRUE(g.y < 0 || glyph.y == g.y) << c.what << ": y " << glyph.y;
            EXPECT_TRUE(g.width < 0 || glyph.width == g.width) << c.what << ": width " << glyph.width;
            EXPECT_TRUE(g.height < 0 || glyph.height == g.height) << c.what << ": height " << glyph.height;
        }
        for (const auto& [left, right, distance] : c.kerning)
            EXPECT_EQ(font->GetKerning(left, right), distance) << c.what;
    }
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
    // Any ending is replaced, not only ".xml"; the options stay with the image.
    EXPECT_TRUE(FontEx::SplitFontKey("fonts/b.fnt@ck", xml, image));
    EXPECT_EQ(xml, "fonts/b.fnt");
    EXPECT_EQ(image, "fonts/b.png@ck");
    EXPECT_TRUE(FontEx::SplitFontKey("a.png@x.xml", xml, image));
    EXPECT_EQ(image, "a.png@x.xml");
    EXPECT_FALSE(FontEx::SplitFontKey("", xml, image));
    EXPECT_FALSE(FontEx::SplitFontKey("ab", xml, image));
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

// However large the file: here its glyph comes after 17 MiB of comment.
TEST_F(FontExFiles, AFontFileOfAnySizeIsReadWhole)
{
    Write("big.xml", "<f><!--" + std::string(std::size_t(17) << 20, 'x') + "--><characters>" +
                         "<char code=\"65\" x=\"0\" y=\"0\" width=\"3\" height=\"5\"/></characters></f>");
    const SmartPtr<FontEx> font(new FontEx("big.xml", "none.png"));
    EXPECT_EQ(font->GetGlyphCount(), 1u);
    EXPECT_EQ(font->GetHeight(), 5);
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

// A texel of an image that was not drawn yet; (1, 2, 3, 4) when there is none.
Tarv::Color Staged(const Tarv::Surface& image, int x, int y)
{
    Tarv::Color texel{1, 2, 3, 4};
    if (image.GetPixelData() != nullptr)
        image.GetPixelData()->ReadStaged(x, y, texel);
    return texel;
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
    EXPECT_EQ(Staged(*white->GetImage(), 0, 0), (Tarv::Color{255, 255, 255, 255}));
    EXPECT_EQ(Staged(*white->GetImage(), 1, 0), (Tarv::Color{255, 0, 0, 255}));
    EXPECT_EQ(Staged(*runs->GetImage(), 0, 0), (Tarv::Color{255, 0, 0, 255}));
    EXPECT_EQ(Staged(*runs->GetImage(), 1, 0), (Tarv::Color{0, 0, 255, 132}));
}

// Without a provider the image key is a plain path: its "@" options are part of the file name.
TEST_F(FontExFiles, WithoutAProviderTheImageKeyIsAPlainPath)
{
    Write("f.xml", Chars("<char code=\"65\" x=\"0\" y=\"0\" width=\"2\" height=\"1\"/>"));
    const std::string page = "C565" + Le32(1) + Le32(1) + std::string("\xff\xff", 2);
    Write("p.png", page);
    Write("q.png@linear", page);
    const SmartPtr<FontEx> optionsStripped(new FontEx("f.xml", "p.png@linear"));
    const SmartPtr<FontEx> wholeName(new FontEx("f.xml", "q.png@linear"));
    EXPECT_EQ(optionsStripped->GetImage(), nullptr);
    ASSERT_NE(wholeName->GetImage(), nullptr);
    EXPECT_EQ(wholeName->GetImage()->GetFlags(0xffffffffu), 0u);
}
