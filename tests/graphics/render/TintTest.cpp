// The tint effect read back from real frames: unchanged at 1.0, darkening on the vertex colour,
// brightening through its own program, in-place processing, and the programs after it.
#include "graphics/render/Tint.h"

#include "tests/graphics/render/RenderTestScreen.h"

#include <limits>

namespace
{

using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::SmartPtr;
using Tarv::Surface;
using Tarv::Tint;

class TintOnScreen : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_source = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGBA8888,
                             [](int, int) { return Rgba{100, 60, 200, 255}; });
    }

    Rgba TintedPixel(float red, float green, float blue)
    {
        Tint tint;
        tint.SetColor(&red, &green, &blue);
        tint.Apply(m_source.Get(), Screen());
        return Shown();
    }

    Rgba Shown() { return ReadPixel(Screen(), 1, 1); }

    SmartPtr<Surface> m_source;
};

// Factor 1 draws the source unchanged through the built-in program, whatever the source's alpha
// (which only decides blending); a half factor darkens through the vertex colour.
TEST_F(TintOnScreen, FactorsUpToOneGoThroughTheVertexColour)
{
    EXPECT_TRUE(Near(TintedPixel(1, 1, 1), Rgba{100, 60, 200, 255})) << Shown();
    EXPECT_EQ(Batcher()->GetCurrentShader(), Batcher()->GetBuiltInShader(1));
    EXPECT_TRUE(Near(TintedPixel(0.5f, 0.5f, 0.5f), Rgba{50, 30, 100, 255}, 1)) << Shown();
    m_source->SetAlpha(100);
    EXPECT_TRUE(Near(TintedPixel(1, 1, 1), Rgba{100, 60, 200, 255})) << Shown();
}

TEST_F(TintOnScreen, FactorAboveOneBrightensThroughTheTintProgramAndClamps)
{
    Tint tint;
    const float two = 2.0f, one = 1.0f;
    tint.SetColor(&two, &one, &one);
    EXPECT_FALSE(tint.GetShader().IsBuilt());
    tint.Apply(m_source.Get(), Screen());
    EXPECT_TRUE(tint.GetShader().IsLinked());
    EXPECT_TRUE(Near(Shown(), Rgba{200, 60, 200, 255}, 1)) << Shown();
    tint.SetColor(&two, &two, &two);
    tint.Apply(m_source.Get(), Screen());
    EXPECT_TRUE(Near(Shown(), Rgba{200, 120, 255, 255}, 1)) << Shown();

    // The next ordinary blit, with nothing else changed, is drawn by the built-in program.
    SmartPtr<Surface> plain = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGBA8888,
                                        [](int, int) { return Rgba{10, 20, 30, 255}; });
    const int rect[4] = {0, 0, 4, 4};
    Screen()->Blit(0, 0, m_source.Get(), rect);
    EXPECT_TRUE(Near(Shown(), Rgba{100, 60, 200, 255})) << Shown();
    Screen()->Blit(10, 0, plain.Get(), rect);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 11, 1), Rgba{10, 20, 30, 255}));
}

TEST_F(TintOnScreen, ProcessInPlaceWithFactorOneLooksUnchanged)
{
    SmartPtr<Surface> target(new Surface(8, 8, Tarv::PixelDataGL::FORMAT_RGB888));
    const std::uint8_t colour[4] = {30, 90, 150, 255};
    target->ClearColor(colour);
    Tint tint;
    tint.Process(target.Get());
    const Rgba same = ReadPixel(target.Get(), 4, 4);
    EXPECT_TRUE(Near(same, Rgba{30, 90, 150, 255})) << same;
    const float half = 0.5f;
    tint.SetColor(&half, &half, &half);
    tint.Process(target.Get());
    const Rgba darker = ReadPixel(target.Get(), 4, 4);
    EXPECT_TRUE(Near(darker, Rgba{15, 45, 74, 255}, 1)) << darker;
    // The screen cannot be copied: nothing happens.
    tint.Process(Screen());
    tint.Apply(Screen(), target.Get());
    EXPECT_TRUE(Near(ReadPixel(target.Get(), 4, 4), Rgba{15, 45, 74, 255}, 1));
}

// Stored factors are the product truncated towards zero; a NaN or a product past the int range
// (no defined conversion) stores 0 or the nearest int.
TEST(TintColour, StoresFactorTimes255Truncated)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float factor;
        int stored;
    } rows[] = {{1.0f, 255},       {0.5f, 127},       {2.0f, 510},
                {-0.5f, -127},     {0.0f, 0},         {nan, 0},
                {1e30f, std::numeric_limits<int>::max()},
                {-1e30f, std::numeric_limits<int>::min()}};
    for (const auto& row : rows) {
        Tint tint;
        const float one = 1.0f;
        tint.SetColor(&row.factor, &one, &row.factor);
        EXPECT_EQ(tint.GetRed(), row.stored) << row.factor;
        EXPECT_EQ(tint.GetBlue(), row.stored) << row.factor;
    }
}

// A huge factor brightens its channel to the top, like any factor above 1.0.
TEST_F(TintOnScreen, HugeFactorBrightensToTheTop)
{
    EXPECT_TRUE(Near(TintedPixel(1e30f, 1, 1), Rgba{255, 60, 200, 255}, 1)) << Shown();
}

} // namespace
