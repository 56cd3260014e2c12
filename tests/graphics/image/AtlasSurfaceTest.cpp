// Atlas regions: their own size, the page's flags, no page, and a region's pixel (sx, sy)
// drawn from the page's (x + sx, y + sy), turned blits included.
#include "graphics/image/AtlasSurface.h"

#include "tests/graphics/render/RenderTestScreen.h"

#include <gtest/gtest.h>

using namespace Tarv;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;

// A region takes its flags and pixels from the page; without a page there is nothing to draw.
TEST(AtlasSurface, FlagsAndPixelsAreThePages)
{
    SmartPtr<Surface> page(new Surface(PixelDataGL::CreateTarget(64, 32, PixelDataGL::FORMAT_RGBA8888)));
    AtlasSurface region(page.Get(), 10, 20, 5, 6);
    EXPECT_EQ(region.GetFlags(0xffffffffu), 0u);
    page->SetFlags(Surface::FLAG_COLOR_KEY | Surface::FLAG_LINEAR);
    EXPECT_EQ(region.GetFlags(0xffffffffu), Surface::FLAG_COLOR_KEY | Surface::FLAG_LINEAR);
    EXPECT_EQ(region.GetFlags(Surface::FLAG_LINEAR), Surface::FLAG_LINEAR);
    EXPECT_EQ(region.GetPixelData(), page->GetPixelData());
    AtlasSurface orphan(nullptr, 1, 2, 3, 4);
    EXPECT_EQ(orphan.GetPixelData(), nullptr);
    EXPECT_EQ(orphan.GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(orphan.GetImage(), nullptr);
}

namespace
{

class AtlasSurfaceDrawing : public RenderTest::ScreenTest
{
};

} // namespace

TEST_F(AtlasSurfaceDrawing, RegionPixelsComeFromTheirPlaceInThePage)
{
    SmartPtr<Surface> page = RenderTest::MakeImage(4, 4, PixelDataGL::FORMAT_RGB888, RenderTest::PatternTexel);
    SmartPtr<AtlasSurface> region = MakeSmart<AtlasSurface>(page.Get(), 1, 2, 2, 2);
    const int rect[4] = {0, 0, 2, 2};
    Screen()->Blit(50, 60, region.Get(), rect);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 50, 60), RenderTest::PatternTexel(1, 2)));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 51, 61), RenderTest::PatternTexel(2, 3)));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 52, 60), Rgba{0, 0, 0, 255}));

    const float x = 200, y = 100, angle = 0, scale = 1, pivot[2] = {0, 0};
    Screen()->BlitTransformed(region.Get(), &x, &y, &angle, &scale, pivot, 2);
    // Mirrored left to right: the region's right column comes first.
    EXPECT_TRUE(Near(ReadPixel(Screen(), 200, 100), RenderTest::PatternTexel(2, 2)));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 201, 100), RenderTest::PatternTexel(1, 2)));
}
