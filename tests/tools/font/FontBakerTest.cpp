// Font baker tests: code lists, and a DejaVu Sans page baked, written and loaded back through the
// engine's bitmap font reader (glyphs, one line height, kerning, the alpha-only page, fallbacks).
#include "tools/font/FontBaker.h"

#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "graphics/text/FontEx.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

using Tarv::Tools::BakedFont;
using Tarv::Tools::BakeFont;
using Tarv::Tools::FontBakeOptions;
using Tarv::Tools::ParseCodeList;

namespace
{

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

} // namespace

TEST(FontBakerCodes, ParsesNamedSetsNumbersAndRanges)
{
    std::vector<std::uint32_t> codes;
    ASSERT_TRUE(ParseCodeList("latin1", codes));
    EXPECT_EQ(codes.size(), 95u + 96u);
    codes.clear();
    ASSERT_TRUE(ParseCodeList("0x391-0x393,65,,65", codes));
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{65, 0x391, 0x392, 0x393}));
    for (const char* bad : {"5-3", "abc", "0x110000", "-4", "1-", "7x"}) {
        codes.clear();
        EXPECT_FALSE(ParseCodeList(bad, codes)) << bad;
    }
}

TEST(FontBaker, RefusesAMissingFontAndSillySizes)
{
    FontBakeOptions options;
    options.fontPath = "/nonexistent.ttf";
    BakedFont font;
    std::string error;
    EXPECT_FALSE(BakeFont(options, font, error));
    EXPECT_FALSE(error.empty());
    options.fontPath = DEJAVU;
    options.pixelSize = 0;
    EXPECT_FALSE(BakeFont(options, font, error));
}

class FontBakerFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() /
                 ("brashwick-fontbake-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_root);
        Tarv::VfsInit();
        Tarv::VfsMountNative(Tarv::NarrowString(m_root.string() + "/"), "", 0);
    }
    void TearDown() override
    {
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_root);
    }
    std::filesystem::path m_root;
};

TEST_F(FontBakerFiles, BakedDejaVuLoadsThroughTheFontReader)
{
    FontBakeOptions options;
    options.fontPath = DEJAVU;
    options.pixelSize = 16;
    ASSERT_TRUE(ParseCodeList("latin1,0x391-0x3A9", options.codes));
    BakedFont baked;
    std::string error;
    ASSERT_TRUE(BakeFont(options, baked, error)) << error;
    ASSERT_TRUE(Tarv::Tools::WriteBakedFont(baked, (m_root / "dejavu16").string(), error)) << error;

    const Tarv::SmartPtr<Tarv::FontEx> font(new Tarv::FontEx("dejavu16.xml", "dejavu16.png"));
    EXPECT_EQ(font->GetGlyphCount(), baked.glyphCount);
    EXPECT_GT(font->GetGlyphCount(), 200u);
    EXPECT_EQ(font->GetHeight(), baked.lineHeight); // the tab, the lowest code, has the line height
    EXPECT_GE(baked.lineHeight, 16);
    EXPECT_GT(font->GetKerningCount(), 0u);
    EXPECT_EQ(font->GetKerningCount(), baked.kerningCount);
    EXPECT_GT(font->GetKerning('A', 'V'), 0);
    EXPECT_EQ(font->GetGlyph(10).width, 0);
    EXPECT_EQ(font->GetGlyph(9).width, font->GetGlyph(32).width);

    // A character the font lacks falls back to the replacement glyph, which DejaVu has.
    const Tarv::FontEx::Glyph& fallback = font->GetGlyph(0x4E00);
    EXPECT_EQ(fallback.x, font->GetGlyph(0xFFFD).x);
    EXPECT_GT(fallback.width, 0);

    ASSERT_NE(font->GetImage(), nullptr);
    ASSERT_NE(font->GetImage()->GetPixelData(), nullptr);
    EXPECT_EQ(font->GetImage()->GetPixelData()->GetFormat(), Tarv::PixelDataGL::FORMAT_ALPHA8);
    EXPECT_EQ(font->GetImage()->GetWidth(), baked.pageWidth);

    // Omega's cell holds ink; the space's does not.
    auto ink = [&](std::uint32_t code) {
        const Tarv::FontEx::Glyph& g = font->GetGlyph(code);
        int sum = 0;
        for (int y = g.y; y < g.y + g.height; ++y)
            for (int x = g.x; x < g.x + g.width; ++x)
                sum += baked.page[std::size_t(y) * std::size_t(baked.pageWidth) + std::size_t(x)];
        return sum;
    };
    EXPECT_GT(ink(0x3A9), 1000);
    EXPECT_EQ(ink(32), 0);
}
