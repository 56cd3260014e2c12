// Drawing operations read back pixel by pixel from real GL frames on llvmpipe, on the screen
// and on an off-screen RGBA target: clears, lines, rectangles, clipped, tinted and transformed
// blits, colour keys, alpha, copies and targets drawn back as sources.
#include "graphics/render/Surface.h"

#include "tests/graphics/render/RenderTestScreen.h"

#include <cmath>

namespace
{

using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::PatternTexel;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::SmartPtr;
using Tarv::Surface;

constexpr Rgba BLUE{0, 0, 255, 255};

// Each case runs on the screen (false) and on a 200x150 off-screen RGBA target (true).
class SurfaceDrawing : public RenderTest::ScreenTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (GetParam())
            m_offscreen = SmartPtr<Surface>(new Surface(200, 150, Tarv::Texture::FORMAT_RGBA8888));
        const std::uint8_t blue[4] = {0, 0, 255, 255};
        Target()->ClearColor(blue);
        m_pattern = MakeImage(4, 4, Tarv::Texture::FORMAT_RGB888, PatternTexel);
    }

    Surface* Target() { return GetParam() ? m_offscreen.Get() : Screen(); }
    Rgba At(int x, int y) { return ReadPixel(Target(), x, y); }
    // Background after the blue clear: an RGBA target is cleared transparent.
    Rgba Background() const { return Rgba{0, 0, 255, GetParam() ? 0 : 255}; }

    SmartPtr<Surface> m_offscreen;
    SmartPtr<Surface> m_pattern;
};

TEST_P(SurfaceDrawing, ClearFillsOnlyTheClipRectangle)
{
    const std::uint8_t red[4] = {255, 0, 0, 7};
    Target()->SetRect(10, 20, 30, 40);
    Target()->ClearColor(red);
    Target()->SetRect(0, 0, Target()->GetWidth(), Target()->GetHeight());
    const int clearedAlpha = GetParam() ? 0 : 255;
    EXPECT_TRUE(Near(At(10, 20), Rgba{255, 0, 0, clearedAlpha}, 0, true)) << At(10, 20);
    EXPECT_TRUE(Near(At(39, 59), Rgba{255, 0, 0, clearedAlpha}, 0, true)) << At(39, 59);
    EXPECT_TRUE(Near(At(40, 59), Background(), 0, true)) << At(40, 59);
    EXPECT_TRUE(Near(At(39, 60), Background(), 0, true));
    EXPECT_TRUE(Near(At(9, 20), Background(), 0, true));
    Target()->ClearGrey(128);
    EXPECT_TRUE(Near(At(0, 0), Rgba{128, 128, 128, clearedAlpha}, 0, true)) << At(0, 0);
}

TEST_P(SurfaceDrawing, FillRectCoversItsCornersExactly)
{
    const std::uint8_t green[4] = {0, 255, 0, 255};
    Target()->FillRect(10, 20, 30, 40, green);
    EXPECT_TRUE(Near(At(10, 20), Rgba{0, 255, 0, 255}, 0, true)) << At(10, 20);
    EXPECT_TRUE(Near(At(29, 39), Rgba{0, 255, 0, 255}, 0, true));
    EXPECT_TRUE(Near(At(30, 39), Background(), 0, true));
    EXPECT_TRUE(Near(At(29, 40), Background(), 0, true));
    EXPECT_TRUE(Near(At(9, 20), Background(), 0, true));
}

TEST_P(SurfaceDrawing, FillRectAlphaDecidesBlending)
{
    const std::uint8_t clear[4] = {255, 0, 0, 0};
    const std::uint8_t half[4] = {255, 0, 0, 128};
    const std::uint8_t opaque[4] = {255, 0, 0, 255};
    Target()->FillRect(0, 0, 10, 10, clear);
    Target()->FillRect(10, 0, 20, 10, half);
    Target()->FillRect(20, 0, 30, 10, opaque);
    EXPECT_TRUE(Near(At(5, 5), Background(), 0, true)) << At(5, 5);
    EXPECT_TRUE(Near(At(15, 5), Rgba{128, 0, 127, 0}, 1)) << At(15, 5);
    EXPECT_TRUE(Near(At(25, 5), Rgba{255, 0, 0, 255}, 0, true)) << At(25, 5);
    if (GetParam()) {
        // Destination alpha composes as coverage: 128 over transparent stays 128.
        EXPECT_NEAR(At(15, 5).a, 128, 1);
    }
}

TEST_P(SurfaceDrawing, LinesAndRectangleOutlinesTouchTheirRows)
{
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Target()->DrawLine(20, 10, 60, 10, white);
    Target()->DrawRect(80, 40, 120, 80, white);
    // A line on a pixel boundary lands on one of the two rows beside it.
    const auto lit = [this](int x, int y) {
        return Near(At(x, y), Rgba{255, 255, 255, 255}) ||
               Near(At(x, y - 1), Rgba{255, 255, 255, 255});
    };
    EXPECT_TRUE(lit(40, 10));
    EXPECT_TRUE(Near(At(40, 20), Background(), 0, true));
    EXPECT_TRUE(lit(100, 40));
    EXPECT_TRUE(lit(100, 80));
    EXPECT_TRUE(Near(At(100, 60), Background(), 0, true)) << "the outline is not filled";
    const auto litColumn = [this](int x, int y) {
        return Near(At(x, y), Rgba{255, 255, 255, 255}) ||
               Near(At(x - 1, y), Rgba{255, 255, 255, 255});
    };
    EXPECT_TRUE(litColumn(80, 60));
    EXPECT_TRUE(litColumn(120, 60));
}

TEST_P(SurfaceDrawing, BlitCopiesEveryTexelToItsPixel)
{
    const int rect[4] = {0, 0, 4, 4};
    Target()->Blit(40, 30, m_pattern.Get(), rect);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(At(40 + x, 30 + y), PatternTexel(x, y), 0, true))
                << x << "," << y << ": " << At(40 + x, 30 + y);
    EXPECT_TRUE(Near(At(44, 30), Background(), 0, true));
    EXPECT_TRUE(Near(At(40, 34), Background(), 0, true));
}

TEST_P(SurfaceDrawing, ClippedSourceEdgeDoesNotMoveTheDestination)
{
    const int leftClipped[4] = {-2, 0, 4, 4};
    Target()->Blit(40, 30, m_pattern.Get(), leftClipped);
    EXPECT_TRUE(Near(At(40, 30), PatternTexel(0, 0))) << At(40, 30);
    EXPECT_TRUE(Near(At(41, 30), PatternTexel(1, 0)));
    EXPECT_TRUE(Near(At(42, 30), Background(), 0, true)) << "two columns survive the clip";

    const int pastRight[4] = {2, 1, 10, 10};
    Target()->Blit(60, 30, m_pattern.Get(), pastRight);
    EXPECT_TRUE(Near(At(60, 30), PatternTexel(2, 1))) << At(60, 30);
    EXPECT_TRUE(Near(At(61, 32), PatternTexel(3, 3)));
    EXPECT_TRUE(Near(At(62, 30), Background(), 0, true));
    EXPECT_TRUE(Near(At(60, 33), Background(), 0, true));

    const int outside[4] = {10, 10, 4, 4};
    Target()->Blit(80, 30, m_pattern.Get(), outside);
    EXPECT_TRUE(Near(At(80, 30), Background(), 0, true));
}

TEST_P(SurfaceDrawing, TintMultipliesColourAndIgnoresItsAlpha)
{
    SmartPtr<Surface> white =
        MakeImage(2, 2, Tarv::Texture::FORMAT_RGB888, [](int, int) { return Rgba{255, 255, 255, 0}; });
    const std::uint8_t tint[4] = {255, 0, 0, 0};
    const int rect[4] = {0, 0, 2, 2};
    Target()->BlitTinted(10, 10, tint, white.Get(), rect);
    EXPECT_TRUE(Near(At(10, 10), Rgba{255, 0, 0, 255}, 0, true)) << At(10, 10);
    const std::uint8_t grey[4] = {128, 64, 32, 255};
    Target()->BlitTinted(20, 10, grey, m_pattern.Get(), rect);
    const Rgba texel = PatternTexel(0, 0);
    const Rgba modulated{texel.r * 128 / 255, texel.g * 64 / 255, texel.b * 32 / 255, 255};
    EXPECT_TRUE(Near(At(20, 10), modulated, 1))
        << At(20, 10);
}

TEST_P(SurfaceDrawing, SourceAlphaZeroHalfAndFull)
{
    const int rect[4] = {0, 0, 4, 4};
    const std::uint8_t alphas[3] = {0, 128, 255};
    for (int i = 0; i < 3; ++i) {
        m_pattern->SetAlpha(alphas[i]);
        Target()->Blit(10 + 10 * i, 10, m_pattern.Get(), rect);
    }
    const Rgba texel = PatternTexel(0, 0);
    EXPECT_TRUE(Near(At(10, 10), Background(), 0, true)) << At(10, 10);
    EXPECT_TRUE(Near(At(20, 10), Rgba{(texel.r * 128 + 127) / 255, (texel.g * 128 + 127) / 255,
                                      (texel.b * 128 + 255 * 127 + 127) / 255, 0}, 1))
        << At(20, 10);
    EXPECT_TRUE(Near(At(30, 10), texel, 0, true)) << At(30, 10);
}

TEST_P(SurfaceDrawing, ColourKeyDiscardsOnlyKeyTexelsWhenFlagged)
{
    // Left column magenta (any alpha), the rest yellow.
    SmartPtr<Surface> sprite = MakeImage(2, 2, Tarv::Texture::FORMAT_RGBA8888, [](int x, int) {
        return x == 0 ? Rgba{255, 0, 255, 255} : Rgba{255, 255, 0, 255};
    });
    const int rect[4] = {0, 0, 2, 2};
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    Target()->Blit(10, 10, sprite.Get(), rect);
    EXPECT_TRUE(Near(At(10, 10), Background(), 0, true)) << At(10, 10);
    EXPECT_TRUE(Near(At(11, 10), Rgba{255, 255, 0, 255}, 0, true));
    sprite->SetFlags(0);
    Target()->Blit(20, 10, sprite.Get(), rect);
    EXPECT_TRUE(Near(At(20, 10), Rgba{255, 0, 255, 255}, 0, true)) << At(20, 10);
    // Another key colour set on the image.
    sprite->GetPixelData()->SetColorKey(255, 255, 0);
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    Target()->Blit(30, 10, sprite.Get(), rect);
    EXPECT_TRUE(Near(At(30, 10), Rgba{255, 0, 255, 255}, 0, true));
    EXPECT_TRUE(Near(At(31, 10), Background(), 0, true));
}

TEST_P(SurfaceDrawing, AlphaImageRightAfterAKeyedSpriteDrawsInItsColour)
{
    SmartPtr<Surface> sprite = MakeImage(2, 2, Tarv::Texture::FORMAT_RGB888,
                                         [](int, int) { return Rgba{255, 0, 255, 255}; });
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    // A glyph: opaque left column, transparent right column.
    SmartPtr<Surface> glyph = MakeImage(2, 2, Tarv::Texture::FORMAT_ALPHA8, [](int x, int) {
        return Rgba{0, 0, 0, x == 0 ? 255 : 0};
    });
    const int rect[4] = {0, 0, 2, 2};
    const std::uint8_t green[4] = {0, 255, 0, 255};
    Target()->Blit(10, 10, sprite.Get(), rect);
    Target()->BlitTinted(20, 10, green, glyph.Get(), rect);
    EXPECT_TRUE(Near(At(10, 10), Background(), 0, true));
    EXPECT_TRUE(Near(At(20, 10), Rgba{0, 255, 0, 255}, 0, true)) << At(20, 10);
    EXPECT_TRUE(Near(At(21, 10), Background(), 0, true)) << At(21, 10);
    // And an ordinary image right after the glyph is drawn with the texture program again.
    Target()->Blit(30, 10, m_pattern.Get(), rect);
    EXPECT_TRUE(Near(At(30, 10), PatternTexel(0, 0), 0, true)) << At(30, 10);
}

TEST_P(SurfaceDrawing, TransformedBlitWithoutTurnMatchesBlit)
{
    const float x = 50, y = 40, angle = 0, scale = 1, pivot[2] = {0, 0};
    Target()->BlitTransformed(m_pattern.Get(), &x, &y, &angle, &scale, pivot, 0);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Near(At(50 + i, 40 + j), PatternTexel(i, j), 0, true)) << i << "," << j;
}

TEST_P(SurfaceDrawing, MirrorsSwapTextureCorners)
{
    const float y = 40, angle = 0, scale = 1, pivot[2] = {0, 0};
    const float xs[4] = {10, 20, 30, 40};
    for (int mirror = 0; mirror < 4; ++mirror)
        Target()->BlitTransformed(m_pattern.Get(), &xs[mirror], &y, &angle, &scale, pivot, mirror);
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(Near(At(10 + i, 40 + j), PatternTexel(i, j)));
            EXPECT_TRUE(Near(At(20 + i, 40 + j), PatternTexel(i, 3 - j))) << "top to bottom";
            EXPECT_TRUE(Near(At(30 + i, 40 + j), PatternTexel(3 - i, j))) << "left to right";
            EXPECT_TRUE(Near(At(40 + i, 40 + j), PatternTexel(i, j))) << "3 acts as 0";
        }
    }
}

TEST_P(SurfaceDrawing, TurnScaleAndPivot)
{
    // A quarter turn clockwise about the image's centre, twice the size.
    const float x = 60, y = 60, angle = static_cast<float>(M_PI / 2), scale = 2;
    const float pivot[2] = {2, 2};
    Target()->BlitTransformed(m_pattern.Get(), &x, &y, &angle, &scale, pivot, 0);
    // Covers 56..63 both ways; the source's top-left texel ends at the top-right corner.
    EXPECT_TRUE(Near(At(63, 56), PatternTexel(0, 0))) << At(63, 56);
    EXPECT_TRUE(Near(At(56, 56), PatternTexel(0, 3))) << At(56, 56);
    EXPECT_TRUE(Near(At(56, 63), PatternTexel(3, 3))) << At(56, 63);
    EXPECT_TRUE(Near(At(63, 63), PatternTexel(3, 0))) << At(63, 63);
    EXPECT_TRUE(Near(At(62, 57), PatternTexel(0, 0))) << "each texel covers 2x2 pixels";
    EXPECT_TRUE(Near(At(55, 60), Background(), 0, true));
    EXPECT_TRUE(Near(At(64, 60), Background(), 0, true));

    // A source rect, tinted: only the top-left 2x2 at scale 1.
    const int rect[4] = {0, 0, 2, 2};
    const std::uint8_t tint[4] = {255, 0, 255, 0};
    const float x2 = 100, y2 = 60, none = 0, one = 1, origin[2] = {0, 0};
    Target()->BlitTransformedTinted(m_pattern.Get(), &x2, &y2, &none, &one, origin, 0, rect, tint);
    const Rgba texel = PatternTexel(1, 1);
    EXPECT_TRUE(Near(At(101, 61), Rgba{texel.r, 0, texel.b, 255}, 0)) << At(101, 61);
    EXPECT_TRUE(Near(At(102, 61), Background(), 0, true));
}

TEST_P(SurfaceDrawing, CopyHoldsTheSamePixels)
{
    SmartPtr<Surface> big = MakeImage(5, 3, Tarv::Texture::FORMAT_RGBA8888,
                                      [](int x, int y) { return Rgba{x * 50, y * 100, 7, 255}; });
    SmartPtr<Surface> copy(big->Copy());
    ASSERT_NE(copy.Get(), nullptr);
    EXPECT_EQ(copy->GetWidth(), 5);
    EXPECT_EQ(copy->GetHeight(), 3);
    const int rect[4] = {0, 0, 5, 3};
    Target()->Blit(10, 10, copy.Get(), rect);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_TRUE(Near(At(10 + x, 10 + y), Rgba{x * 50, y * 100, 7, 255})) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Targets, SurfaceDrawing, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Offscreen" : "Screen";
                         });

TEST_P(SurfaceDrawing, PixelsAreWrittenAndReadInsideTheRectOnly)
{
    const Tarv::Color red{255, 0, 0, 255};
    Target()->SetRect(0, 0, 10, 10);
    Target()->SetPixel(5, 5, red);
    Target()->SetPixel(10, 5, red); // the rect's right edge is outside it
    EXPECT_EQ(Target()->GetPixel(5, 5), red);
    const Rgba b = Background();
    EXPECT_EQ(Target()->GetPixel(10, 5), (Tarv::Color{std::uint8_t(b.r), std::uint8_t(b.g), std::uint8_t(b.b), std::uint8_t(b.a)}));
    EXPECT_EQ(Target()->GetPixel(-1, 0), Tarv::Color{});
}

class SurfaceOnScreen : public RenderTest::ScreenTest
{
};

// Before its first draw an image is read and written in its staged texels; afterwards through
// GL, with the same results.
TEST_F(SurfaceOnScreen, ImagePixelsReadTheSameBeforeAndAfterTheFirstDraw)
{
    SmartPtr<Surface> image = MakeImage(4, 4, Tarv::Texture::FORMAT_RGB888, PatternTexel);
    SmartPtr<Surface> alpha = MakeImage(2, 1, Tarv::Texture::FORMAT_ALPHA8,
                                        [](int x, int) { return Rgba{0, 0, 0, 100 + x}; });
    const Tarv::Color white{255, 255, 255, 255}, pattern{50, 10, 200, 255};
    EXPECT_EQ(alpha->GetPixel(1, 0), (Tarv::Color{0, 0, 0, 101}));
    EXPECT_EQ(image->GetPixel(1, 0), pattern);
    image->SetPixel(2, 2, white);
    image->SetPixel(3, 3, Tarv::Color{0, 0, 0, 0}); // no alpha: an RGB texel keeps its colour
    const int rect[4] = {0, 0, 4, 4};
    Screen()->Blit(0, 0, image.Get(), rect);
    EXPECT_TRUE(image->GetPixelData()->GetStagedPixels().empty());
    EXPECT_EQ(image->GetPixel(1, 0), pattern);
    EXPECT_EQ(image->GetPixel(2, 2), white);
    EXPECT_EQ(image->GetPixel(3, 3), (Tarv::Color{130, 130, 200, 255}));
    image->SetPixel(0, 0, white);
    EXPECT_EQ(image->GetPixel(0, 0), white);
}

TEST_F(SurfaceOnScreen, TargetDrawnBackAsSourceIsUpright)
{
    SmartPtr<Surface> target(new Surface(6, 5, Tarv::Texture::FORMAT_RGBA8888));
    target->ClearGrey(0);
    SmartPtr<Surface> pattern = MakeImage(4, 4, Tarv::Texture::FORMAT_RGB888, PatternTexel);
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

TEST_F(SurfaceOnScreen, ScreenIsNeverASource)
{
    EXPECT_EQ(Screen()->Copy(), nullptr);
    SmartPtr<Surface> target(new Surface(8, 8, Tarv::Texture::FORMAT_RGBA8888));
    const std::uint8_t red[4] = {255, 0, 0, 255};
    target->ClearColor(red);
    const int rect[4] = {0, 0, 8, 8};
    target->Blit(0, 0, Screen(), rect);
    target->Blit(0, 0, target.Get(), rect);
    EXPECT_TRUE(Near(ReadPixel(target.Get(), 3, 3), Rgba{255, 0, 0, 0}, 0, true));
}

TEST_F(SurfaceOnScreen, SurfacesWithoutPixelDataDrawNothing)
{
    testing::internal::CaptureStderr();
    SmartPtr<Surface> empty(new Surface(nullptr));
    SmartPtr<Surface> tooBig(new Surface(100000, 4, Tarv::Texture::FORMAT_RGBA8888));
    EXPECT_EQ(empty->GetWidth(), 0);
    EXPECT_EQ(tooBig->GetPixelData(), nullptr);
    // The refused size says why the surface will draw nothing.
    EXPECT_NE(testing::internal::GetCapturedStderr().find("100000x4"), std::string::npos);
    const std::uint8_t red[4] = {255, 0, 0, 255};
    const int rect[4] = {0, 0, 4, 4};
    empty->FillRect(0, 0, 4, 4, red);
    Screen()->Blit(0, 0, empty.Get(), rect);
    EXPECT_EQ(empty->Copy(), nullptr);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 0, 0), Rgba{0, 0, 0, 255}));
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 0u);
}

TEST_F(SurfaceOnScreen, HostileSourceRectanglesDoNotOverflow)
{
    SmartPtr<Surface> pattern = MakeImage(4, 4, Tarv::Texture::FORMAT_RGB888, PatternTexel);
    const int huge[4] = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
    const int negative[4] = {-0x7fffffff, 0, -5, 3};
    Screen()->Blit(10, 10, pattern.Get(), huge);
    Screen()->Blit(10, 10, pattern.Get(), negative);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 10, 10), Rgba{0, 0, 0, 255}));
}

} // namespace
