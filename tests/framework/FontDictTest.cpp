// The font dictionary over real font descriptions and pages in a mounted archive: naming and
// the default font, sharing across dictionaries, failed fonts never filed or kept live, font
// image keys, and the anchor arithmetic of one-off texts at the ends of the int range.
#include "framework/FontDict.h"

#include "framework/CacheList.h"
#include "graphics/text/FontEx.h"
#include "tests/framework/AssetWorld.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <gtest/gtest.h>

#include <utility>

#include <climits>

namespace
{

using AssetTest::FontXml;
using AssetTest::MakePng;
using Quor::FontDict;

class FontDictTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        MountArchive({{"fonts/menu.xml", FontXml()},
                      {"fonts/menu.png", MakePng(9, 5, 255)},
                      {"other/menu.xml", FontXml()},
                      {"other/menu.png", MakePng(9, 5, 128)},
                      {"fonts/small.xml", FontXml()},
                      {"fonts/small.png", MakePng(9, 5, 64)},
                      {"fonts/nopage.xml", FontXml()},
                      {"fonts/empty.xml", AssetTest::Text("<font><characters/></font>")},
                      {"fonts/empty.png", MakePng(9, 5, 1)}});
    }

    bool Has(const Tarv::NarrowString& key, bool live)
    {
        for (const auto& entry : Tarv::AssetDict::Instance->ListEntries())
            if (entry.key == key)
                return entry.live == live;
        return false;
    }
};

TEST_F(FontDictTest, FirstFontIsNamedByBaseNameAndBecomesTheDefault)
{
    FontDict fonts;
    ASSERT_TRUE(fonts.LoadFont("fonts/menu.xml"));
    ASSERT_TRUE(fonts.LoadFont("fonts/small.xml"));
    EXPECT_EQ(fonts.GetFontSet()->GetDefaultName(), "menu");
    Tarv::FontEx* menu = fonts.GetFontSet()->GetFont("menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(fonts.GetFontSet()->GetFont("default"), menu);
    EXPECT_NE(fonts.GetFontSet()->GetFont("small"), menu);
    EXPECT_EQ(menu->GetHeight(), 5);
    EXPECT_EQ(fonts.GetFormat().GetFontSet(), fonts.GetFontSet());
}

TEST_F(FontDictTest, FontsAreSharedAcrossDictionaries)
{
    FontDict first;
    FontDict second;
    first.LoadFont("fonts/menu.xml");
    second.LoadFont("fonts/menu.xml");
    EXPECT_EQ(first.GetFontSet()->GetFont("menu"), second.GetFontSet()->GetFont("menu"));
    EXPECT_EQ(Tarv::AssetDict::Instance->GetLoadCount(), 2u); // the font and its page
}

TEST_F(FontDictTest, SameBaseNameKeepsTheFirstAndReleasesTheSecond)
{
    FontDict fonts;
    fonts.LoadFont("fonts/menu.xml");
    const Tarv::FontEx* first = fonts.GetFontSet()->GetFont("menu");
    EXPECT_TRUE(fonts.LoadFont("other/menu.xml"));
    EXPECT_EQ(fonts.GetFontSet()->GetFont("menu"), first);
    EXPECT_TRUE(Has("other/menu.xml", false));
}

TEST_F(FontDictTest, FailedFontsAreNeitherFiledNorLive)
{
    FontDict fonts;
    EXPECT_FALSE(fonts.LoadFont("fonts/nopage.xml"));
    EXPECT_FALSE(fonts.LoadFont("fonts/empty.xml"));
    EXPECT_FALSE(fonts.LoadFont("fonts/missing.xml"));
    EXPECT_FALSE(fonts.LoadFont("fonts/menu.png"));
    EXPECT_FALSE(fonts.LoadFont("ab"));
    EXPECT_EQ(fonts.GetFontSet()->GetFontCount(), 0u);
    EXPECT_TRUE(Has("fonts/nopage.xml", false));
    // The first good font still becomes the default.
    ASSERT_TRUE(fonts.LoadFont("fonts/small.xml"));
    EXPECT_EQ(fonts.GetFontSet()->GetDefaultName(), "small");
}

TEST_F(FontDictTest, FontKeyOptionsGoToItsImage)
{
    const auto plain = Tarv::AssetDict::GetFont("fonts/menu.xml", false);
    const auto linear = Tarv::AssetDict::GetFont("fonts/menu.xml@linear", false);
    ASSERT_TRUE(plain && linear);
    EXPECT_NE(plain, linear);
    EXPECT_TRUE(Has("fonts/menu.png", true));
    EXPECT_TRUE(Has("fonts/menu.png@linear", true));
    EXPECT_EQ(linear->GetImage()->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR);
    EXPECT_EQ(plain->GetImage()->GetFlags(0xffffffffu), 0u);
}

TEST_F(FontDictTest, ReleasedFontLoadsAgainAndListedFontsAreHeld)
{
    Tarv::WeakPtr<Tarv::FontEx> weak(Tarv::AssetDict::GetFont("fonts/menu.xml", false));
    EXPECT_TRUE(weak.IsExpired());
    EXPECT_TRUE(Tarv::AssetDict::GetFont("fonts/menu.xml", false));

    Quor::CacheList::GetInstance()->Add("*.xml");
    {
        FontDict fonts;
        fonts.LoadFont("fonts/small.xml");
        weak = Tarv::WeakPtr<Tarv::FontEx>(fonts.GetFontSet()->GetFont("small"));
    }
    EXPECT_FALSE(weak.IsExpired());
}

TEST_F(FontDictTest, DrawingWithoutAFontOrSurfaceDrawsNothing)
{
    FontDict fonts;
    const Tarv::SmartPtr<Tarv::Surface> target(new Tarv::Surface(nullptr));
    fonts.DrawText(target.Get(), INT_MIN, INT_MAX, U"ABC", Quor::TEXT_RIGHT | Quor::TEXT_BOTTOM, "menu");
    fonts.DrawNarrowText(nullptr, 0, 0, "ABC", 0, "menu");
    fonts.LoadFont("fonts/menu.xml");
    fonts.DrawNarrowText(target.Get(), INT_MIN, INT_MIN, "ABC", Quor::TEXT_HCENTER | Quor::TEXT_VCENTER, "x");
    fonts.DrawNarrowText(target.Get(), 0, 0, "\xff", 0, "menu");
    EXPECT_EQ(fonts.GetFormat().GetOwnFontName(), "menu");
    EXPECT_EQ(fonts.GetFormat().GetAlignment(), Tarv::Text::ALIGN_LEFT);
    // An empty text draws nothing, yet leaves the format aligned as its anchor says; without
    // an anchor that is left and top.
    fonts.DrawText(target.Get(), 0, 0, U"", Quor::TEXT_RIGHT | Quor::TEXT_BOTTOM, "menu");
    EXPECT_EQ(fonts.GetFormat().GetAlignment(), Tarv::Text::ALIGN_RIGHT);
    EXPECT_EQ(fonts.GetFormat().GetVerticalAlignment(), Tarv::Text::VALIGN_BOTTOM);
    fonts.DrawText(target.Get(), 0, 0, U"", "menu");
    EXPECT_EQ(fonts.GetFormat().GetAlignment(), Tarv::Text::ALIGN_LEFT);
    EXPECT_EQ(fonts.GetFormat().GetVerticalAlignment(), Tarv::Text::VALIGN_TOP);
}

// The flagged edge of a 10 x 5 text lands on the point; coordinates near the int limits
// neither overflow nor wrap.
TEST(FontDictAnchor, PointLandsOnTheFlaggedEdge)
{
    const int R = Quor::TEXT_RIGHT, H = Quor::TEXT_HCENTER, B = Quor::TEXT_BOTTOM, V = Quor::TEXT_VCENTER;
    const struct { int flags, x, y, left, top; } cases[] = {
        {0, 100, 50, 100, 50}, {Quor::TEXT_LEFT | Quor::TEXT_TOP, 100, 50, 100, 50}, {R, 100, 50, 90, 50},
        {H, 100, 50, 95, 50}, {R | H, 100, 50, 90, 50}, {B, 100, 50, 100, 45}, {V, 100, 50, 100, 48},
        {B | V, 100, 50, 100, 45}, {R | B, INT_MIN, INT_MIN, INT_MIN, INT_MIN}, {H | V, INT_MIN + 3, -7, INT_MIN, -9},
        {R, INT_MAX, INT_MAX, INT_MAX - 10, INT_MAX}};
    for (const auto& c : cases) {
        int left = 0;
        int top = 0;
        FontDict::GetAnchoredOrigin(c.x, c.y, 10, 5, c.flags, left, top);
        EXPECT_EQ(std::make_pair(left, top), std::make_pair(c.left, c.top)) << c.flags << " " << c.x << "," << c.y;
    }
}

// Real frames under a private Xvfb: the flagged point of the text lands on (x, y).
class FontDictDrawing : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        Tarv::VfsInit();
        const AssetTest::Bytes archive = Archives::Pack(
            {{"fonts/menu.xml", FontXml()}, {"fonts/menu.png", MakePng(9, 5, 255)}}, Tarv::ContainerWriter::Options());
        const std::string path = m_dir.Path() + "/fonts.pak";
        ASSERT_TRUE(TestFiles::WriteBytes(path, archive));
        Tarv::VfsAddMount(new Tarv::PakMount(path.c_str(), "", 0));
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        ASSERT_TRUE(fonts.LoadFont("fonts/menu.xml"));
    }

    void TearDown() override
    {
        Tarv::AssetDict::Instance.Reset();
        Tarv::VfsShutdown();
    }

    // True when the pixel shows the font page's red.
    bool Inked(int x, int y) { return RenderTest::Near(RenderTest::ReadPixel(Screen(), x, y), {255, 20, 30, 255}, 4); }

    TestFiles::TempDir m_dir;
    FontDict fonts;
};

TEST_F(FontDictDrawing, AnchorPutsTheFlaggedPointOfTheTextOnThePointTopLeftByDefault)
{
    // "ABC" is 9 x 5 pixels: bottom right at (100, 50) covers 91..99 x 45..49, the centre at
    // (200, 50) covers 196..204 x 48..52.
    fonts.DrawText(Screen(), 100, 50, U"ABC", Quor::TEXT_RIGHT | Quor::TEXT_BOTTOM, "menu");
    fonts.DrawText(Screen(), 200, 50, U"ABC", Quor::TEXT_HCENTER | Quor::TEXT_VCENTER, "default");
    const struct
    {
        int left, top, right, bottom;
    } blocks[] = {{91, 45, 99, 49}, {196, 48, 204, 52}};
    for (const auto& b : blocks) {
        EXPECT_TRUE(Inked(b.left, b.top)) << b.left;
        EXPECT_TRUE(Inked(b.right, b.bottom)) << b.left;
        EXPECT_FALSE(Inked(b.left - 1, b.top + 2)) << b.left;
        EXPECT_FALSE(Inked(b.right + 1, b.top + 2)) << b.left;
        EXPECT_FALSE(Inked(b.left + 4, b.top - 1)) << b.left;
        EXPECT_FALSE(Inked(b.left + 4, b.bottom + 1)) << b.left;
    }
    // Top left is the default; empty text draws nothing.
    fonts.DrawNarrowText(Screen(), 10, 20, "A", 0, "menu");
    EXPECT_TRUE(Inked(10, 20));
    EXPECT_TRUE(Inked(12, 24));
    EXPECT_FALSE(Inked(13, 22));
    Batcher()->Flush();
    Batcher()->ResetStats();
    fonts.DrawText(Screen(), 10, 20, U"", 0, "menu");
    Batcher()->Flush();
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 0u);
}

// Each centred line starts at x - w / 2 of its own width w: "AB" (6 pixels) at 297, "A" (3
// pixels) at 299, not centred inside the wider line.
TEST_F(FontDictDrawing, CentredLinesAreEachCentredOnThePoint)
{
    fonts.DrawText(Screen(), 300, 50, U"AB\nA", Quor::TEXT_HCENTER, "menu");
    EXPECT_TRUE(Inked(297, 52));
    EXPECT_FALSE(Inked(296, 52));
    int second = 55;
    while (second < 80 && !Inked(300, second))
        ++second;
    ASSERT_LT(second, 80);
    EXPECT_TRUE(Inked(299, second));
    EXPECT_FALSE(Inked(298, second));
    EXPECT_TRUE(Inked(301, second));
    EXPECT_FALSE(Inked(302, second));
}

} // namespace
