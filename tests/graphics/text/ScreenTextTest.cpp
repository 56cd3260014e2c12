// Screen text tests: block sizes from both constructors, then real frames under Xvfb: tinting,
// the shadow pass, invisible pages, page colours, one draw call per block, and golden images of
// wrapped, centred, right-aligned and multi-line text in a DejaVu font baked at test time.
#include "graphics/text/ScreenText.h"

#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/graphics/text/TextTestFonts.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::FontEx;
using Tarv::ScreenText;
using Tarv::SmartPtr;
using Tarv::Surface;
using Tarv::WideString;
using Tarv::Text::Format;

namespace
{

Format FormatWith(Tarv::Text::FontSet* set, int alignment = Tarv::Text::ALIGN_LEFT)
{
    Format format;
    format.SetFontSet(set);
    format.SetFontName("default");
    format.SetAlignment(alignment);
    return format;
}

} // namespace

// Format blocks take the box width and the box height, or the text's when the box has none;
// font blocks measure their one line.
TEST(ScreenTextSize, BlocksMeasureTheirBoxOrText)
{
    const SmartPtr<FontEx> font = TextTest::LayoutFont(), font17 = TextTest::LayoutFont(17);
    const auto set = TextTest::SetOf(font.Get());
    const Format format = FormatWith(set.Get());
    const auto boxed = [&](const char32_t* text, int w, int h) {
        return ScreenText(format, WideString(text), ScreenText::BoxSize{w, h});
    };
    const struct {
        ScreenText block;
        int width, height;
        bool placed;
    } cases[] = {
        {boxed(U"", 200, 0), 200, 0, false},
        {boxed(U"a long text that wraps", 200, 50), 200, 50, true},
        {boxed(U"abc abc abc", 70, 0), 70, 40, true},
        {boxed(U"x", INT_MAX, 0), INT_MAX, 20, true},
        {boxed(U"abc", -5, -3), -5, -3, false},
        {ScreenText(font17.Get(), WideString()), 0, 0, false},
        {ScreenText(font17.Get(), WideString(U"abc\nW")), 30, 17, true},
        {ScreenText(nullptr, WideString(U"abc")), 0, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.block.GetWidth(), c.width);
        EXPECT_EQ(c.block.GetHeight(), c.height) << c.width;
        EXPECT_EQ(bool(c.block.GetGlyphs()[0].image), c.placed) << c.width;
    }
}

namespace
{

// A font over a real page: glyph "a" a solid 4x4 cell at (0, 0), "b" one at (4, 0).
class ScreenTextDrawing : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        UsePage(Tarv::PixelDataGL::FORMAT_ALPHA8);
        const std::uint8_t grey[4] = {100, 100, 100, 255};
        Screen()->FillRect(0, 0, 100, 100, grey);
        Batcher()->Flush();
        Batcher()->ResetStats();
    }

    void UsePage(int format)
    {
        s_page = MakeImage(8, 4, format, [](int x, int) {
            return x < 4 ? Rgba{0, 200, 0, 255} : Rgba{0, 0, 200, 255};
        });
        font = TextTest::ParseFont(TextTest::FontXml({{'a', 4}, {'b', 4}}, 4), false);
        FontEx::SetImageProvider([](const Tarv::NarrowString&) { return s_page; });
        font->LoadImage("page.png");
        FontEx::SetImageProvider(nullptr);
        set = TextTest::SetOf(font.Get());
    }

    Format Coloured(std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        Format format = FormatWith(set.Get());
        format.SetColor(r, g, b, 255);
        return format;
    }

    static inline SmartPtr<Surface> s_page;
    SmartPtr<FontEx> font;
    SmartPtr<Tarv::Text::FontSet> set;
};

} // namespace

TEST_F(ScreenTextDrawing, TheShadowPassRunsBeforeAnyGlyphAndIsOneDrawCall)
{
    ScreenText text(Coloured(250, 250, 250), WideString(U"ab"), ScreenText::BoxSize{50, 0});
    text.SetShadow(true);
    text.Render(*Screen(), 10, 20);
    Batcher()->Flush();
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 1u);
    // "a"'s shadow lies under "b" and is covered by it; "b"'s shows right of and below it.
    EXPECT_TRUE(Near(ReadPixel(Screen(), 14, 21), Rgba{250, 250, 250, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 18, 22), Rgba{0, 0, 0, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 12, 24), Rgba{0, 0, 0, 255}, 2));
}

// Cells outside the page and codes beyond Unicode are glyphs like any other: drawn, they are
// clipped to the page and touch nothing outside it.
TEST_F(ScreenTextDrawing, CellsOutsideThePageAreClipped)
{
    font = TextTest::ParseFont(
        "<f><characters><char code=\"97\" x=\"-4\" y=\"0\" width=\"4\" height=\"4\"/>"
        "<char code=\"98\" x=\"6\" y=\"0\" width=\"6\" height=\"4\"/>"
        "<char code=\"1114112\" x=\"0\" y=\"-9\" width=\"4\" height=\"4\"/></characters></f>",
        false);
    FontEx::SetImageProvider([](const Tarv::NarrowString&) { return s_page; });
    font->LoadImage("page.png");
    FontEx::SetImageProvider(nullptr);
    set = TextTest::SetOf(font.Get());
    WideString text(U"ab");
    text.push_back(char32_t(0x110000));
    ScreenText block(Coloured(250, 250, 250), text, ScreenText::BoxSize{200, 0});
    block.Render(*Screen(), 10, 20);
    // "a" shows nothing; "b" its page's last two columns only; the third glyph nothing.
    RenderTest::ExpectPixels(Screen(), {{11, 21, Rgba{100, 100, 100, 255}, 2},
                                        {14, 21, Rgba{250, 250, 250, 255}, 2},
                                        {16, 21, Rgba{100, 100, 100, 255}, 2},
                                        {21, 21, Rgba{100, 100, 100, 255}, 2}});
}

TEST_F(ScreenTextDrawing, AnInvisiblePageOrAnEmptyBlockDrawsNothing)
{
    const ScreenText empty(Coloured(250, 20, 30), WideString(), ScreenText::BoxSize{200, 0});
    empty.Render(*Screen(), 10, 20);
    s_page->SetAlpha(0);
    ScreenText text(Coloured(250, 250, 250), WideString(U"ab"), ScreenText::BoxSize{50, 0});
    text.SetShadow(true);
    text.Render(*Screen(), 10, 20);
    Batcher()->Flush();
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 0u);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 12, 24), Rgba{100, 100, 100, 255}, 2));
}

// Alpha pages are tinted by the glyph colour; colour pages show their own colours, with a black
// shadow.
TEST_F(ScreenTextDrawing, PagesShowTheTintOrTheirOwnColours)
{
    const Rgba tint{250, 20, 30, 255}, grey{100, 100, 100, 255};
    const ScreenText alpha(Coloured(250, 20, 30), WideString(U"ab"), ScreenText::BoxSize{50, 0});
    alpha.Render(*Screen(), 10, 20);
    RenderTest::ExpectPixels(Screen(), {{11, 21, tint, 2}, {17, 23, tint, 2}, {18, 21, grey, 2}});
    UsePage(Tarv::PixelDataGL::FORMAT_RGB888);
    ScreenText colour(Coloured(250, 20, 30), WideString(U"ab"), ScreenText::BoxSize{50, 0});
    colour.SetShadow(true);
    colour.Render(*Screen(), 10, 40);
    RenderTest::ExpectPixels(Screen(), {{11, 41, Rgba{0, 200, 0, 255}, 2},
                                        {15, 41, Rgba{0, 0, 200, 255}, 2},
                                        {18, 44, Rgba{0, 0, 0, 255}, 2}});
}
namespace
{

constexpr int GOLDEN_WIDTH = 256;
constexpr int GOLDEN_HEIGHT = 128;

std::string GoldenPath(const char* name)
{
    return std::string(BRASHWICK_SOURCE_DIR "/tests/graphics/text/golden/") + name + ".ppm";
}

// Bakes DejaVu Sans at 14 pixels (Latin-1, Greek, Cyrillic) once for the golden tests.
class ScreenTextGolden : public RenderTest::ScreenTest
{
protected:
    static void SetUpTestSuite()
    {
        ScreenTest::SetUpTestSuite();
        s_root = std::filesystem::temp_directory_path() /
                 ("brashwick-textgolden-" + std::to_string(::getpid()));
        std::filesystem::create_directories(s_root);
        s_font = TextTest::BakeDejaVu14(s_root);
        s_set = TextTest::SetOf(s_font.Get());
    }

    static void TearDownTestSuite()
    {
        s_set.Reset();
        s_font.Reset();
        std::filesystem::remove_all(s_root);
        ScreenTest::TearDownTestSuite();
    }

    void SetUp() override
    {
        ScreenTest::SetUp();
        ASSERT_TRUE(s_font);
        ASSERT_NE(s_font->GetImage(), nullptr);
        const std::uint8_t paper[4] = {235, 230, 215, 255};
        Screen()->FillRect(0, 0, GOLDEN_WIDTH, GOLDEN_HEIGHT, paper);
    }

    Format Styled(int alignment, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        Format format = FormatWith(s_set.Get(), alignment);
        format.SetColor(r, g, b, 255);
        return format;
    }

    // At most 0.5% of the pixels may differ by more than 4, none by more than 40.
    // BRASHWICK_UPDATE_GOLDEN=1 rewrites the golden image instead.
    void ExpectGolden(const char* name)
    {
        const RenderTest::GoldenDiff diff = RenderTest::CompareGolden(
            Screen(), GoldenPath(name), GOLDEN_WIDTH, GOLDEN_HEIGHT, 4);
        ASSERT_TRUE(diff.compared) << GoldenPath(name);
        EXPECT_LE(diff.differing, GOLDEN_WIDTH * GOLDEN_HEIGHT / 200);
        EXPECT_LE(diff.worst, 40);
    }

    static inline std::filesystem::path s_root;
    static inline SmartPtr<FontEx> s_font;
    static inline SmartPtr<Tarv::Text::FontSet> s_set;
};

} // namespace

TEST_F(ScreenTextGolden, WrappedLeftText)
{
    const ScreenText text(Styled(Tarv::Text::ALIGN_LEFT, 20, 30, 120),
                          WideString(U"Wrapped text in a narrow box: \u00C7a va, \u00E9l\u00E8ve? "
                                     U"Na\u00EFve r\u00E9sum\u00E9 \u00FCber Stra\u00DFe."),
                          ScreenText::BoxSize{150, 0});
    text.Render(*Screen(), 6, 4);
    ExpectGolden("WrappedLeft");
}

TEST_F(ScreenTextGolden, CentredAndRightAlignedText)
{
    const ScreenText centred(Styled(Tarv::Text::ALIGN_CENTER, 160, 20, 20),
                             WideString(U"Centred \u0391\u0392\u0393\u0394 \u03A9\u03BC\u03AD\u03B3\u03B1"),
                             ScreenText::BoxSize{120, 0});
    centred.Render(*Screen(), 4, 4);
    ScreenText right(Styled(Tarv::Text::ALIGN_RIGHT, 20, 120, 40),
                     WideString(U"Right: \u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440!"),
                     ScreenText::BoxSize{120, 0});
    right.SetShadow(true);
    right.Render(*Screen(), 130, 50);
    ExpectGolden("CentredRight");
}

TEST_F(ScreenTextGolden, MultiLineTextWithAFallbackGlyph)
{
    // U+4E00 is not in the baked font: the replacement glyph is drawn in its place.
    const ScreenText plain(s_font.Get(), WideString(U"Line one\nLine two \u4E00\nLine three"));
    plain.Render(*Screen(), 8, 6);
    const ScreenText lines(Styled(Tarv::Text::ALIGN_LEFT, 90, 40, 110),
                           WideString(U"First\nSecond \u4E00 line\n\nFourth"),
                           ScreenText::BoxSize{120, 60});
    lines.Render(*Screen(), 130, 6);
    ExpectGolden("MultiLine");
}
