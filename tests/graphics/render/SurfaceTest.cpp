// Drawing operations read back pixel by pixel from real GL frames, on the screen
// and on an off-screen RGBA target: clears, lines, rectangles, clipped, tinted and transformed
// blits, colour keys, alpha, copies and targets drawn back as sources.
#include "graphics/render/Surface.h"

#include "tests/graphics/render/RenderTestScreen.h"

#include <cmath>

namespace
{

using RenderTest::ExpectBlock;
using RenderTest::ExpectPixels;
using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::PatternTexel;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::SmartPtr;
using Tarv::Surface;

// Each case runs on the screen (false) and on a 200x150 off-screen RGBA target (true).
class SurfaceDrawing : public RenderTest::ScreenTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (GetParam())
            m_offscreen = SmartPtr<Surface>(new Surface(200, 150, Tarv::PixelDataGL::FORMAT_RGBA8888));
        const std::uint8_t blue[4] = {0, 0, 255, 255};
        Target()->ClearColor(blue);
        m_pattern = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
    }

    Surface* Target() { return GetParam() ? m_offscreen.Get() : Screen(); }
    Rgba At(int x, int y) { return ReadPixel(Target(), x, y); }
    // Background after the blue clear: an RGBA target is cleared transparent.
    Rgba Background() const { return Rgba{0, 0, 255, GetParam() ? 0 : 255}; }

    SmartPtr<Surface> m_offscreen;
    SmartPtr<Surface> m_pattern;
};

TEST_P(SurfaceDrawing, ClearAndFillCoverTheirRectanglesExactly)
{
    const std::uint8_t red[4] = {255, 0, 0, 7}, green[4] = {0, 255, 0, 255};
    Target()->SetRect(10, 20, 30, 40);
    Target()->ClearColor(red);
    Target()->SetRect(0, 0, Target()->GetWidth(), Target()->GetHeight());
    Target()->FillRect(50, 20, 70, 40, green);
    const Rgba bg = Background(), cleared{255, 0, 0, GetParam() ? 0 : 255}, fill{0, 255, 0, 255};
    ExpectPixels(Target(), {{10, 20, cleared, 0, true}, {39, 59, cleared, 0, true},
                            {40, 59, bg, 0, true},      {39, 60, bg, 0, true},
                            {9, 20, bg, 0, true},       {50, 20, fill, 0, true},
                            {69, 39, fill, 0, true},    {70, 39, bg, 0, true},
                            {69, 40, bg, 0, true},      {49, 20, bg, 0, true}});
    Target()->ClearGrey(128);
    ExpectPixels(Target(), {{0, 0, Rgba{128, 128, 128, cleared.a}, 0, true}});
}

TEST_P(SurfaceDrawing, FillRectAlphaDecidesBlending)
{
    const std::uint8_t clear[4] = {255, 0, 0, 0}, half[4] = {255, 0, 0, 128},
                       opaque[4] = {255, 0, 0, 255};
    Target()->FillRect(0, 0, 10, 10, clear);
    Target()->FillRect(10, 0, 20, 10, half);
    Target()->FillRect(20, 0, 30, 10, opaque);
    ExpectPixels(Target(), {{5, 5, Background(), 0, true},
                            {15, 5, Rgba{128, 0, 127, 128}, 1, GetParam()},
                            {25, 5, Rgba{255, 0, 0, 255}, 0, true}});
    // On the RGBA target, destination alpha composes as coverage: 128 over transparent stays 128.
}

TEST_P(SurfaceDrawing, LinesAndRectangleOutlinesTouchTheirRows)
{
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Target()->DrawLine(20, 10, 60, 10, white);
    Target()->DrawRect(80, 40, 120, 80, white);
    // A line on a pixel boundary lands on one of the two rows (or columns) beside it.
    const auto lit = [this](int x, int y, int dx, int dy) {
        return Near(At(x, y), Rgba{255, 255, 255, 255}) ||
               Near(At(x - dx, y - dy), Rgba{255, 255, 255, 255});
    };
    EXPECT_TRUE(lit(40, 10, 0, 1) && lit(100, 40, 0, 1) && lit(100, 80, 0, 1));
    EXPECT_TRUE(lit(80, 60, 1, 0) && lit(120, 60, 1, 0));
    ExpectPixels(Target(), {{40, 20, Background(), 0, true}, {100, 60, Background(), 0, true}});
}

TEST_P(SurfaceDrawing, BlitsClipTheSourceWithoutMovingTheDestination)
{
    const int whole[4] = {0, 0, 4, 4}, leftClipped[4] = {-2, 0, 4, 4},
              pastRight[4] = {2, 1, 10, 10}, outside[4] = {10, 10, 4, 4};
    Target()->Blit(40, 30, m_pattern.Get(), whole);
    ExpectBlock(Target(), 40, 30, 4, 4, PatternTexel, true);
    Target()->Blit(40, 50, m_pattern.Get(), leftClipped);
    Target()->Blit(60, 50, m_pattern.Get(), pastRight);
    Target()->Blit(80, 50, m_pattern.Get(), outside);
    const Rgba bg = Background();
    ExpectPixels(Target(), {{44, 30, bg, 0, true},          {40, 34, bg, 0, true},
                            {40, 50, PatternTexel(0, 0)},   {41, 50, PatternTexel(1, 0)},
                            {42, 50, bg, 0, true},          {60, 50, PatternTexel(2, 1)},
                            {61, 52, PatternTexel(3, 3)},   {62, 50, bg, 0, true},
                            {60, 53, bg, 0, true},          {80, 50, bg, 0, true}});
}

TEST_P(SurfaceDrawing, TintMultipliesColourAndIgnoresItsAlpha)
{
    SmartPtr<Surface> white = MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_RGB888,
                                        [](int, int) { return Rgba{255, 255, 255, 0}; });
    const std::uint8_t tint[4] = {255, 0, 0, 0}, grey[4] = {128, 64, 32, 255};
    const int rect[4] = {0, 0, 2, 2};
    Target()->BlitTinted(10, 10, tint, white.Get(), rect);
    Target()->BlitTinted(20, 10, grey, m_pattern.Get(), rect);
    // Texel (0, 0) is 10, 10, 200.
    ExpectPixels(Target(), {{10, 10, Rgba{255, 0, 0, 255}, 0, true}, {20, 10, Rgba{5, 3, 25, 255}, 1}});
}

TEST_P(SurfaceDrawing, SourceAlphaZeroHalfAndFull)
{
    const int rect[4] = {0, 0, 4, 4};
    const std::uint8_t alphas[3] = {0, 128, 255};
    for (int i = 0; i < 3; ++i) {
        m_pattern->SetAlpha(alphas[i]);
        Target()->Blit(10 + 10 * i, 10, m_pattern.Get(), rect);
    }
    // Texel (0, 0), 10, 10, 200, half over the blue background.
    ExpectPixels(Target(), {{10, 10, Background(), 0, true},
                            {20, 10, Rgba{5, 5, 228, 0}, 1},
                            {30, 10, PatternTexel(0, 0), 0, true}});
}

TEST_P(SurfaceDrawing, ColourKeyDiscardsOnlyKeyTexelsWhenFlagged)
{
    // Left column magenta (any alpha), the rest yellow.
    SmartPtr<Surface> sprite = MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_RGBA8888, [](int x, int) {
        return x == 0 ? Rgba{255, 0, 255, 255} : Rgba{255, 255, 0, 255};
    });
    const int rect[4] = {0, 0, 2, 2};
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    Target()->Blit(10, 10, sprite.Get(), rect);
    sprite->SetFlags(0);
    Target()->Blit(20, 10, sprite.Get(), rect);
    // Another key colour set on the image.
    sprite->GetPixelData()->SetColorKey(Tarv::Color{255, 255, 0, 255});
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    Target()->Blit(30, 10, sprite.Get(), rect);
    const Rgba bg = Background(), magenta{255, 0, 255, 255}, yellow{255, 255, 0, 255};
    ExpectPixels(Target(), {{10, 10, bg, 0, true}, {11, 10, yellow, 0, true},
                            {20, 10, magenta, 0, true}, {30, 10, magenta, 0, true},
                            {31, 10, bg, 0, true}});
}

TEST_P(SurfaceDrawing, AlphaImageRightAfterAKeyedSpriteDrawsInItsColour)
{
    SmartPtr<Surface> sprite = MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_RGB888,
                                         [](int, int) { return Rgba{255, 0, 255, 255}; });
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    // A glyph: opaque left column, transparent right column.
    SmartPtr<Surface> glyph = MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_ALPHA8, [](int x, int) {
        return Rgba{0, 0, 0, x == 0 ? 255 : 0};
    });
    const int rect[4] = {0, 0, 2, 2};
    const std::uint8_t green[4] = {0, 255, 0, 255};
    Target()->Blit(10, 10, sprite.Get(), rect);
    Target()->BlitTinted(20, 10, green, glyph.Get(), rect);
    // And an ordinary image right after the glyph is drawn with the texture program again.
    Target()->Blit(30, 10, m_pattern.Get(), rect);
    ExpectPixels(Target(), {{10, 10, Background(), 0, true}, {20, 10, Rgba{0, 255, 0, 255}, 0, true},
                            {21, 10, Background(), 0, true}, {30, 10, PatternTexel(0, 0), 0, true}});
}

TEST_P(SurfaceDrawing, MirrorsSwapTextureCorners)
{
    const float y = 40, angle = 0, scale = 1, pivot[2] = {0, 0};
    const float xs[4] = {10, 20, 30, 40};
    for (int mirror = 0; mirror < 4; ++mirror)
        Target()->BlitTransformed(m_pattern.Get(), &xs[mirror], &y, &angle, &scale, pivot, mirror);
    // No mirror matches a plain blit; 1 flips top to bottom, 2 left to right, 3 acts as 0.
    ExpectBlock(Target(), 10, 40, 4, 4, PatternTexel, true);
    ExpectBlock(Target(), 20, 40, 4, 4, [](int i, int j) { return PatternTexel(i, 3 - j); });
    ExpectBlock(Target(), 30, 40, 4, 4, [](int i, int j) { return PatternTexel(3 - i, j); });
    ExpectBlock(Target(), 40, 40, 4, 4, PatternTexel);
}

TEST_P(SurfaceDrawing, TurnScaleAndPivot)
{
    // A quarter turn clockwise about the image's centre, twice the size: covers 56..63 both
    // ways, each texel 2x2 pixels, the source's top-left texel at the top-right corner.
    const float x = 60, y = 60, angle = static_cast<float>(M_PI / 2), scale = 2;
    const float pivot[2] = {2, 2};
    Target()->BlitTransformed(m_pattern.Get(), &x, &y, &angle, &scale, pivot, 0);
    // A source rect, tinted: only the top-left 2x2 at scale 1.
    const int rect[4] = {0, 0, 2, 2};
    const std::uint8_t tint[4] = {255, 0, 255, 0};
    const float x2 = 100, y2 = 60, none = 0, one = 1, origin[2] = {0, 0};
    Target()->BlitTransformedTinted(m_pattern.Get(), &x2, &y2, &none, &one, origin, 0, rect, tint);
    const Rgba bg = Background();
    ExpectPixels(Target(), {{63, 56, PatternTexel(0, 0)}, {56, 56, PatternTexel(0, 3)},
                            {56, 63, PatternTexel(3, 3)}, {63, 63, PatternTexel(3, 0)},
                            {62, 57, PatternTexel(0, 0)}, {55, 60, bg, 0, true},
                            {64, 60, bg, 0, true},        {101, 61, Rgba{50, 0, 200, 255}},
                            {102, 61, bg, 0, true}});
}

TEST_P(SurfaceDrawing, CopyHoldsTheSamePixels)
{
    const auto pixel = [](int x, int y) { return Rgba{x * 50, y * 100, 7, 255}; };
    SmartPtr<Surface> big = MakeImage(5, 3, Tarv::PixelDataGL::FORMAT_RGBA8888, pixel);
    SmartPtr<Surface> copy(big->Copy());
    ASSERT_NE(copy.Get(), nullptr);
    EXPECT_EQ(copy->GetWidth() * 10 + copy->GetHeight(), 53);
    const int rect[4] = {0, 0, 5, 3};
    Target()->Blit(10, 10, copy.Get(), rect);
    ExpectBlock(Target(), 10, 10, 5, 3, pixel);
}

INSTANTIATE_TEST_SUITE_P(Targets, SurfaceDrawing, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Offscreen" : "Screen";
                         });

// Texture pixels cannot be read or written from the CPU: every read is opaque black and no
// write, inside the rect, on its inclusive right and bottom edges or outside, changes a pixel.
TEST_P(SurfaceDrawing, PixelAccessReadsOpaqueBlackAndWritesNothing)
{
    const Tarv::Color red{255, 0, 0, 255}, black{0, 0, 0, 255};
    Target()->SetRect(0, 0, 10, 10);
    const int points[][2] = {{5, 5}, {10, 5}, {5, 10}, {10, 10}, {11, 5}, {-1, 0}};
    for (const auto& p : points)
        Target()->SetPixel(p[0], p[1], red);
    for (const auto& p : points)
        EXPECT_EQ(Target()->GetPixel(p[0], p[1]), black) << p[0] << "," << p[1];
    for (const auto& p : {std::make_pair(5, 5), std::make_pair(10, 5), std::make_pair(10, 10)})
        EXPECT_TRUE(Near(ReadPixel(Target(), p.first, p.second), Background(), 0, true)) << p.first << "," << p.second;
}

class SurfaceOnScreen : public RenderTest::ScreenTest
{
};

// An image not drawn yet reads the same: its staged texels stay as they were loaded.
TEST_F(SurfaceOnScreen, AnImageBeforeItsFirstDrawIsNotWrittenEither)
{
    SmartPtr<Surface> image = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
    image->SetPixel(4, 4, Tarv::Color{255, 255, 255, 255});
    image->SetPixel(1, 1, Tarv::Color{255, 255, 255, 255});
    EXPECT_EQ(image->GetPixel(1, 1), (Tarv::Color{0, 0, 0, 255}));
    Tarv::Color staged;
    ASSERT_TRUE(image->GetPixelData()->ReadStaged(1, 1, staged));
    EXPECT_EQ(staged, (Tarv::Color{50, 50, 200, 255}));
}

TEST_F(SurfaceOnScreen, TargetDrawnBackAsSourceIsUpright)
{
    SmartPtr<Surface> target(new Surface(6, 5, Tarv::PixelDataGL::FORMAT_RGBA8888));
    target->ClearGrey(0);
    SmartPtr<Surface> pattern = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
    const int rect[4] = {0, 0, 4, 4};
    target->Blit(1, 0, pattern.Get(), rect);
    const int whole[4] = {0, 0, 6, 5};
    Screen()->Blit(100, 100, target.Get(), whole);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(ReadPixel(Screen(), 101 + x, 100 + y), PatternTexel(x, y)))
                << x << "," << y;
    // The target's bottom row stayed transparent: the screen shows its black clear.
    EXPECT_TRUE(Near(ReadPixel(Screen(), 101, 104), Rgba{0, 0, 0, 255}));
}

// Every byte value of every channel works as a key: row k keys the colour of column k, which
// alone goes; its neighbours, one step away in each channel, stay.
TEST_F(SurfaceOnScreen, EveryKeyColourDiscardsExactlyItsOwnTexels)
{
    const auto texel = [](int x, int) { return Rgba{x, 255 - x, (x * 7) & 255, 255}; };
    SmartPtr<Surface> ramp = MakeImage(256, 1, Tarv::PixelDataGL::FORMAT_RGB888, texel);
    ramp->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    const int rect[4] = {0, 0, 256, 1};
    for (int k = 0; k < 256; ++k) {
        const Rgba key = texel(k, 0);
        ramp->GetPixelData()->SetColorKey(Tarv::Color{std::uint8_t(key.r), std::uint8_t(key.g),
                                                      std::uint8_t(key.b), 255});
        Screen()->Blit(0, k, ramp.Get(), rect);
    }
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(RenderTest::ReadBack(Screen(), 0, 0, 256, 256, rgba));
    int missed = 0, wrong = 0;
    for (int k = 0; k < 256; ++k) {
        for (int x = 0; x < 256; ++x) {
            const std::uint8_t* p = rgba.data() + (std::size_t(k) * 256 + std::size_t(x)) * 4;
            const Rgba got{p[0], p[1], p[2], p[3]};
            const bool keyed = Near(got, Rgba{0, 0, 0, 255});
            missed += x == k && !keyed ? 1 : 0;
            wrong += x != k && !Near(got, texel(x, 0)) ? 1 : 0;
        }
    }
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(wrong, 0);
}

// Bad sources draw nothing: the screen (never a source, nor copyable), a surface without pixel
// data (the refused size says why), and source rectangles that would overflow.
TEST_F(SurfaceOnScreen, BadSourcesDrawNothing)
{
    EXPECT_EQ(Screen()->Copy(), nullptr);
    SmartPtr<Surface> target(new Surface(8, 8, Tarv::PixelDataGL::FORMAT_RGBA8888));
    const std::uint8_t red[4] = {255, 0, 0, 255};
    target->ClearColor(red);
    const int rect[4] = {0, 0, 8, 8};
    target->Blit(0, 0, Screen(), rect);
    target->Blit(0, 0, target.Get(), rect);
    EXPECT_TRUE(Near(ReadPixel(target.Get(), 3, 3), Rgba{255, 0, 0, 0}, 0, true));

    testing::internal::CaptureStderr();
    SmartPtr<Surface> empty(new Surface(nullptr));
    SmartPtr<Surface> tooBig(new Surface(100000, 4, Tarv::PixelDataGL::FORMAT_RGBA8888));
    EXPECT_EQ(empty->GetWidth(), 0);
    EXPECT_EQ(tooBig->GetPixelData(), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("100000x4"), std::string::npos);
    Batcher()->Flush();
    Batcher()->ResetStats();
    empty->FillRect(0, 0, 4, 4, red);
    Screen()->Blit(0, 0, empty.Get(), rect);
    EXPECT_EQ(empty->Copy(), nullptr);
    ExpectPixels(Screen(), {{0, 0, Rgba{0, 0, 0, 255}}});
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 0u);
    SmartPtr<Surface> pattern = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
    const int huge[4] = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
    const int negative[4] = {-0x7fffffff, 0, -5, 3};
    Screen()->Blit(10, 10, pattern.Get(), huge);
    Screen()->Blit(10, 10, pattern.Get(), negative);
    ExpectPixels(Screen(), {{10, 10, Rgba{0, 0, 0, 255}}});
}

} // namespace
