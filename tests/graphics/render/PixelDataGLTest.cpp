// Texture staging without GL (power-of-two layout, edge padding, 565 widening, refusals) and
// uploads of odd widths read back through real frames.
#include "graphics/render/PixelDataGL.h"

#include "graphics/render/OpenGLCaps.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <array>
#include <thread>

namespace
{

using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::SmartPtr;
using Tarv::PixelDataGL;

// Staged texels: padded to powers of two repeating the last column and row; 565 widened by bit
// replication to RGB.
TEST(TextureStaging, PadsRepeatingTheEdgesAndWidens565)
{
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::uint8_t alpha[] = {10, 20, 30};
    const std::uint16_t words[2] = {0xffff, 0xf800};
    const struct {
        int width, height, format;
        const std::uint8_t* bytes;
        std::size_t size;
        std::vector<std::uint8_t> staged;
    } cases[] = {
        {3, 2, PixelDataGL::FORMAT_RGB888, rgb, sizeof(rgb),
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 16, 17, 18}},
        {1, 3, PixelDataGL::FORMAT_ALPHA8, alpha, sizeof(alpha), {10, 20, 30, 30}},
        {2, 1, PixelDataGL::FORMAT_RGB565, reinterpret_cast<const std::uint8_t*>(words), 4,
         {255, 255, 255, 255, 0, 0}},
    };
    for (const auto& c : cases) {
        SmartPtr<PixelDataGL> texture(PixelDataGL::CreateFromPixels(c.width, c.height, c.format, c.bytes, c.size));
        ASSERT_NE(texture.Get(), nullptr);
        EXPECT_EQ(texture->GetStagedPixels(), c.staged);
        EXPECT_EQ(texture->GetFormat(), c.format == PixelDataGL::FORMAT_RGB565 ? PixelDataGL::FORMAT_RGB888 : c.format);
    }
    SmartPtr<PixelDataGL> padded(PixelDataGL::CreateFromPixels(3, 2, PixelDataGL::FORMAT_RGB888, rgb, sizeof(rgb)));
    EXPECT_FLOAT_EQ(padded->GetUScale(), 0.25f);
    EXPECT_FLOAT_EQ(padded->GetVScale(), 0.5f);
}

struct BadImage {
    const char* name;
    int width;
    int height;
    int format;
    std::size_t bytes;
};

void PrintTo(const BadImage& bad, std::ostream* out)
{
    *out << bad.name;
}

class TextureRefusal : public ::testing::TestWithParam<BadImage>
{
};

TEST_P(TextureRefusal, GivesNoTexture)
{
    const BadImage bad = GetParam();
    std::vector<std::uint8_t> bytes(bad.bytes + 1, 0);
    EXPECT_EQ(PixelDataGL::CreateFromPixels(bad.width, bad.height, bad.format, bytes.data(), bad.bytes),
              nullptr);
}

INSTANTIATE_TEST_SUITE_P(Images, TextureRefusal,
                         ::testing::Values(BadImage{"ZeroWidth", 0, 4, 3, 64},
                                           BadImage{"NegativeHeight", 4, -1, 3, 64},
                                           BadImage{"WiderThanTheLimit", 8193, 1, 0, 9000},
                                           BadImage{"UnknownFormat", 4, 4, 4, 64},
                                           BadImage{"NegativeFormat", 4, 4, -1, 64},
                                           BadImage{"ShortByOneByte", 4, 4, 3, 63},
                                           BadImage{"ShortRgbRows", 3, 3, 2, 26},
                                           BadImage{"SizeOverflows", 0x7fffffff, 0x7fffffff, 3, 64}),
                         [](const ::testing::TestParamInfo<BadImage>& info) { return std::string(info.param.name); });

TEST(TextureStaging, AdoptsPixelsAlreadyInTextureLayout)
{
    std::vector<std::uint8_t> staged(4 * 2 * 4, 7);
    const std::uint8_t* bytes = staged.data();
    // Sizes that do not match the padding and 565 (never staged as such) leave the bytes.
    for (const auto& [w, h, format] : {std::array<int, 3>{3, 3, 3}, {5, 2, 3}, {3, 2, 1}, {3, 2, 2}})
        EXPECT_EQ(PixelDataGL::AdoptStaged(w, h, format, std::move(staged)), nullptr) << w << h << format;
    SmartPtr<PixelDataGL> texture(PixelDataGL::AdoptStaged(3, 2, PixelDataGL::FORMAT_RGBA8888, std::move(staged)));
    ASSERT_NE(texture.Get(), nullptr);
    EXPECT_EQ(texture->GetStagedPixels().data(), bytes);
    EXPECT_FLOAT_EQ(texture->GetUScale(), 0.25f);
}

TEST(TextureStaging, NullBytesAndBadTargetsAreRefused)
{
    EXPECT_EQ(PixelDataGL::CreateFromPixels(1, 1, 3, nullptr, 4), nullptr);
    EXPECT_EQ(PixelDataGL::CreateTarget(0, 1, 3), nullptr);
    EXPECT_EQ(PixelDataGL::CreateScreen(-1, 480), nullptr);
}

TEST(TextureStaging, NeverUploadedTextureMakesNoGLCall)
{
    Tarv::GLCalls::ResetCounters();
    const std::uint8_t rgba[4] = {1, 2, 3, 4};
    {
        SmartPtr<PixelDataGL> texture(PixelDataGL::CreateFromPixels(1, 1, 3, rgba, 4));
        SmartPtr<PixelDataGL> target(PixelDataGL::CreateTarget(64, 64, 3));
    }
    EXPECT_EQ(Tarv::GLCalls::GetCounters().calls, 0u);
}

class TextureUpload : public RenderTest::ScreenTest, public ::testing::WithParamInterface<int>
{
};

// One-, two- and three-texel-wide RGB and alpha images have rows that are not a multiple of
// four bytes: they come out right only with an unpack alignment of 1.
TEST_P(TextureUpload, OddWidthsReadBackUnchanged)
{
    const int width = GetParam();
    const auto colour = [](int x, int y) { return Rgba{50 * x + 20, 70 * y + 10, 90, 255}; };
    SmartPtr<Tarv::Surface> rgb = MakeImage(width, 3, Tarv::PixelDataGL::FORMAT_RGB888, colour);
    const auto checker = [](int x, int y) { return Rgba{0, 0, 0, (x + y) % 2 == 0 ? 255 : 0}; };
    SmartPtr<Tarv::Surface> alpha = MakeImage(width, 3, Tarv::PixelDataGL::FORMAT_ALPHA8, checker);
    const int rect[4] = {0, 0, width, 3};
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Screen()->Blit(10, 10, rgb.Get(), rect);
    Screen()->BlitTinted(20, 10, white, alpha.Get(), rect);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_TRUE(Near(ReadPixel(Screen(), 10 + x, 10 + y), colour(x, y)))
                << x << "," << y << ": " << ReadPixel(Screen(), 10 + x, 10 + y);
            const int level = (x + y) % 2 == 0 ? 255 : 0;
            EXPECT_TRUE(Near(ReadPixel(Screen(), 20 + x, 10 + y), Rgba{level, level, level, 255}))
                << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, TextureUpload, ::testing::Values(1, 2, 3, 5));

} // namespace

namespace
{

class TextureLifetime : public RenderTest::ScreenTest
{
};

// An image the driver cannot hold draws nothing, and says so once however often it is drawn.
TEST_F(TextureLifetime, OverTheDriversLimitSaysSoOnceAndDrawsNothing)
{
    Tarv::OpenGLCaps::SetTextureSizeLimit(64);
    SmartPtr<Tarv::Surface> big = MakeImage(100, 10, PixelDataGL::FORMAT_RGB888,
                                            [](int, int) { return Rgba{255, 255, 255, 255}; });
    const int rect[4] = {0, 0, 100, 10};
    testing::internal::CaptureStderr();
    Screen()->Blit(0, 0, big.Get(), rect);
    Screen()->Blit(0, 0, big.Get(), rect);
    const Rgba shown = ReadPixel(Screen(), 5, 5);
    const std::string said = testing::internal::GetCapturedStderr();
    Tarv::OpenGLCaps::SetTextureSizeLimit(0);
    EXPECT_TRUE(Near(shown, Rgba{0, 0, 0, 255})) << shown;
    EXPECT_NE(said.find("100x10"), std::string::npos) << said;
    EXPECT_EQ(said.find("100x10"), said.rfind("100x10")) << said;
}

// A loader thread may drop the last reference to a drawn image; its GL objects wait for the
// GL thread's next frame instead of being deleted without a context.
TEST_F(TextureLifetime, ReleasedOffTheGLThreadIsDeletedAtTheNextFrame)
{
    SmartPtr<Tarv::Surface> image =
        MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_RGB888, [](int, int) { return Rgba{9, 9, 9, 255}; });
    const int rect[4] = {0, 0, 2, 2};
    Screen()->Blit(0, 0, image.Get(), rect);
    Batcher()->Flush();
    const GLuint name = image->GetPixelData()->GetTextureName();
    ASSERT_TRUE(glIsTexture(name));
    std::thread loader([held = std::move(image)]() mutable { held.Reset(); });
    loader.join();
    EXPECT_TRUE(glIsTexture(name)) << "not deleted from the loader thread";
    ASSERT_TRUE(Screen()->BeginFrame());
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureLifetime, RenderTargetDeletesItsFramebuffer)
{
    GLuint framebuffer = 0;
    {
        SmartPtr<Tarv::Surface> target(new Tarv::Surface(8, 8, Tarv::PixelDataGL::FORMAT_RGBA8888));
        target->ClearGrey(10);
        framebuffer = target->GetPixelData()->GetFramebuffer();
        ASSERT_NE(framebuffer, PixelDataGL::InvalidFramebuffer);
        EXPECT_TRUE(glIsFramebuffer(framebuffer));
    }
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    // Drawing goes on into the screen.
    Screen()->ClearGrey(77);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 5, 5), Rgba{77, 77, 77, 255}));
}

class RenderTargetFormat : public RenderTest::ScreenTest
{
};

// Alpha and RGBA targets keep their format, every other format number makes an RGB target.
// The storage shows in the alpha a half-transparent fill leaves over a transparent start: RGB
// storage has no alpha to keep and reads back opaque, RGBA storage (an alpha target's too, as
// GL cannot draw into alpha-only storage) keeps the half. A clear of the target's own is
// transparent only on an RGBA target.
TEST_F(RenderTargetFormat, OnlyAlphaAndRgbaKeepTheirFormat)
{
    const struct {
        int asked;
        int made;
        int alphaAfterClear;
        int alphaAfterHalfFill;
    } rows[] = {{PixelDataGL::FORMAT_RGBA8888, PixelDataGL::FORMAT_RGBA8888, 0, 128},
                {PixelDataGL::FORMAT_ALPHA8, PixelDataGL::FORMAT_ALPHA8, 255, 128},
                {PixelDataGL::FORMAT_RGB888, PixelDataGL::FORMAT_RGB888, 255, 255},
                {PixelDataGL::FORMAT_RGB565, PixelDataGL::FORMAT_RGB888, 255, 255},
                {4, PixelDataGL::FORMAT_RGB888, 255, 255},
                {9, PixelDataGL::FORMAT_RGB888, 255, 255},
                {-1, PixelDataGL::FORMAT_RGB888, 255, 255}};
    const std::uint8_t clear[4] = {200, 100, 50, 0}, halfWhite[4] = {255, 255, 255, 128};
    const float transparent = 0.0f;
    for (const auto& row : rows) {
        SmartPtr<Tarv::Surface> target(new Tarv::Surface(4, 4, row.asked));
        ASSERT_NE(target->GetPixelData(), nullptr) << row.asked;
        EXPECT_EQ(target->GetPixelData()->GetFormat(), row.made) << row.asked;
        target->ClearColor(clear);
        const Rgba cleared = ReadPixel(target.Get(), 1, 1);
        EXPECT_TRUE(Near(cleared, Rgba{200, 100, 50, row.alphaAfterClear}, 0, true))
            << row.asked << ": " << cleared;
        Batcher()->SetRenderTarget(target->GetPixelData(), target->GetFlags(0xffffffffu));
        Batcher()->SetClipRect(target->GetRect());
        Batcher()->Clear(&transparent, &transparent, &transparent, &transparent);
        target->FillRect(0, 0, 4, 4, halfWhite);
        const Rgba filled = ReadPixel(target.Get(), 1, 1);
        EXPECT_TRUE(Near(filled, Rgba{128, 128, 128, row.alphaAfterHalfFill}, 1, true))
            << row.asked << ": " << filled;
    }
}

// An alpha target can be drawn into: its opaque clear draws back as full coverage in the tint
// colour.
TEST_F(RenderTargetFormat, AlphaTargetCanBeDrawnInto)
{
    SmartPtr<Tarv::Surface> mask(new Tarv::Surface(8, 8, PixelDataGL::FORMAT_ALPHA8));
    ASSERT_EQ(mask->GetPixelData()->GetFormat(), PixelDataGL::FORMAT_ALPHA8);
    const std::uint8_t any[4] = {0, 0, 0, 0}, green[4] = {0, 255, 0, 255};
    testing::internal::CaptureStderr();
    mask->ClearColor(any);
    const int rect[4] = {0, 0, 8, 8};
    Screen()->BlitTinted(10, 10, green, mask.Get(), rect);
    RenderTest::ExpectPixels(Screen(), {{10, 10, Rgba{0, 255, 0, 255}}, {17, 17, Rgba{0, 255, 0, 255}},
                                        {18, 17, Rgba{0, 0, 0, 255}}});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
