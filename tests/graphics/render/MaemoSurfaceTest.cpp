// The screen surface over a real window on a private Xvfb: EGL bring-up at depth 16 and 24,
// clearing, read-back, buffer swaps and the refusals.
#include "graphics/render/MaemoSurface.h"

#include "engine/core/SmartPtr.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace
{

using Tarv::MaemoSurface;
using Tarv::SmartPtr;

class MaemoSurfaceOnXvfb : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsRunning());
        ASSERT_TRUE(m_client.IsOpen());
        m_window = m_client.CreateWindow(800, 480);
        ASSERT_NE(m_window, 0u);
        MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_window);
    }
    void TearDown() override { MaemoSurface::SetNativeWindow(nullptr, 0); }

    TestSupport::XvfbServer m_server{GetParam()};
    TestSupport::XClient m_client{m_server.GetDisplayName()};
    unsigned long m_window = 0;
};

// Each frame reads back its own clear over the whole screen, and the window shows it once swapped.
TEST_P(MaemoSurfaceOnXvfb, EachFrameShowsItsOwnClear)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    EXPECT_EQ(screen->GetBufferSize(), GetParam());
    const int colours[3][3] = {{255, 0, 0}, {0, 255, 0}, {255, 0, 255}};
    for (const auto& colour : colours) {
        ASSERT_TRUE(screen->BeginFrame());
        screen->Clear(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        std::vector<std::uint8_t> pixels;
        ASSERT_TRUE(screen->ReadPixels(0, 0, 800, 480, pixels));
        ASSERT_EQ(pixels.size(), 800u * 480u * 4u);
        for (std::size_t i : {std::size_t{0}, pixels.size() / 2, pixels.size() - 4})
            EXPECT_EQ((std::vector<int>{pixels[i], pixels[i + 1], pixels[i + 2]}),
                      (std::vector<int>{colour[0], colour[1], colour[2]}));
        screen->EndFrame();
    }
    EXPECT_EQ(screen->GetFrameCount(), 3);
    TestSupport::Rgb shown{};
    ASSERT_TRUE(m_client.GetPixel(m_window, 400, 240, shown));
    EXPECT_EQ((std::vector<int>{shown.red, shown.green, shown.blue}), (std::vector<int>{255, 0, 255}));
}

TEST_P(MaemoSurfaceOnXvfb, BadReadBacksAndSizesAreRefused)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    std::vector<std::uint8_t> pixels;
    for (const auto& [x, y, w, h] : {std::array<int, 4>{-1, 0, 1, 1}, {0, 0, 801, 1},
                                     {799, 479, 2, 1}, {0, 0, 0, 0}, {0x7fffffff, 0, 2, 1}})
        EXPECT_FALSE(screen->ReadPixels(x, y, w, h, pixels)) << x << "," << y << " " << w << "x" << h;
    screen->Resize(480, 800);
    screen->Resize(0, -5);
    EXPECT_EQ(screen->GetWidth() * 10000 + screen->GetHeight(), 4800800) << "480x800 kept";
    EXPECT_EQ(screen->GetPitch(), 960);
    EXPECT_TRUE(screen->BeginFrame());
    screen.Reset();
    // A window that does not exist, or a bad size, gives no surface.
    MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_window + 1000);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(800, 480), nullptr);
    MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_window);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(0, 480), nullptr);
    MaemoSurface::SetNativeWindow(nullptr, 0);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(800, 480), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Depths, MaemoSurfaceOnXvfb, ::testing::Values(16, 24));

} // namespace

// A demo frame of turned, scaled, tinted, mirrored and keyed sprites on the screen matches the
// golden image within a small tolerance. BRASHWICK_UPDATE_GOLDEN=1 writes the golden image anew.
#include "tests/graphics/render/RenderTestScreen.h"

#include <cmath>

namespace
{

constexpr int DEMO_WIDTH = 160;
constexpr int DEMO_HEIGHT = 120;

const char* GoldenPath()
{
    return BRASHWICK_SOURCE_DIR "/tests/graphics/render/golden/DemoFrame.ppm";
}

// A 16x16 sprite: a ring over a magenta key background, shaded from the top-left corner.
RenderTest::Rgba SpriteTexel(int x, int y)
{
    const float dx = static_cast<float>(x) - 7.5f, dy = static_cast<float>(y) - 7.5f;
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance > 7.5f)
        return RenderTest::Rgba{255, 0, 255, 255};
    if (distance < 3.0f)
        return RenderTest::Rgba{255, 255, 255, 255};
    return RenderTest::Rgba{40 + 12 * x, 200 - 8 * y, 60 + 10 * (x ^ y), 255};
}

void DrawDemoFrame(Tarv::Surface* screen)
{
    using Tarv::SmartPtr;
    using Tarv::Surface;
    const std::uint8_t background[4] = {32, 48, 64, 255};
    screen->ClearColor(background);
    SmartPtr<Surface> sprite =
        RenderTest::MakeImage(16, 16, Tarv::PixelDataGL::FORMAT_RGB888, SpriteTexel);
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    const std::uint8_t stripe[4] = {200, 180, 40, 255};
    screen->FillRect(0, 100, DEMO_WIDTH, 110, stripe);
    const std::uint8_t frame[4] = {250, 250, 250, 255};
    screen->DrawRect(2, 2, DEMO_WIDTH - 3, DEMO_HEIGHT - 3, frame);
    const int whole[4] = {0, 0, 16, 16};
    screen->Blit(8, 8, sprite.Get(), whole);
    const float pivot[2] = {8, 8};
    for (int i = 0; i < 5; ++i) {
        const float x = 40.0f + 24.0f * static_cast<float>(i), y = 20.0f;
        const float angle = 0.4f * static_cast<float>(i);
        const float scale = 1.0f + 0.25f * static_cast<float>(i);
        screen->BlitTransformed(sprite.Get(), &x, &y, &angle, &scale, pivot, i % 3);
    }
    const std::uint8_t tints[3][4] = {{255, 80, 80, 255}, {80, 255, 80, 255}, {120, 120, 255, 255}};
    for (int i = 0; i < 3; ++i) {
        const float x = 30.0f + 45.0f * static_cast<float>(i), y = 70.0f;
        const float angle = -0.6f * static_cast<float>(i + 1), scale = 2.0f;
        screen->BlitTransformedTinted(sprite.Get(), &x, &y, &angle, &scale, pivot, 2 - i, whole,
                                      tints[i]);
    }
    sprite->SetAlpha(128);
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY | Tarv::Surface::FLAG_LINEAR);
    const float x = 140, y = 100, angle = 0.3f, scale = 1.5f;
    screen->BlitTransformed(sprite.Get(), &x, &y, &angle, &scale, pivot, 1);
}

class DemoFrame : public RenderTest::ScreenTest
{
};

TEST_F(DemoFrame, MatchesTheGoldenImage)
{
    DrawDemoFrame(Screen());
    const RenderTest::GoldenDiff diff =
        RenderTest::CompareGolden(Screen(), GoldenPath(), DEMO_WIDTH, DEMO_HEIGHT, 8);
    Screen()->EndFrame();
    ASSERT_TRUE(diff.compared) << GoldenPath();
    // Rasterisers may differ on a few edge pixels of the turned sprites.
    EXPECT_LE(diff.differing, DEMO_WIDTH * DEMO_HEIGHT / 200) << diff.differing << " pixels differ";
}

} // namespace

namespace
{

class ScreenFrames : public RenderTest::ScreenTest
{
};

// A frame's end draws what is pending and leaves nothing; an empty frame draws nothing but swaps.
TEST_F(ScreenFrames, FrameEndFlushesAndEmptyFramesStillSwap)
{
    const std::uint8_t red[4] = {255, 0, 0, 255};
    Screen()->FillRect(0, 0, 10, 10, red);
    EXPECT_GT(Batcher()->GetPendingVertices(), 0);
    Screen()->EndFrame();
    EXPECT_EQ(Batcher()->GetPendingVertices(), 0);
    EXPECT_EQ(Tarv::GLCalls::GetCounters().drawCalls, 1u);
    Tarv::GLCalls::ResetCounters();
    const int frames = Screen()->GetFrameCount();
    ASSERT_TRUE(Screen()->BeginFrame());
    Screen()->EndFrame();
    EXPECT_EQ(Tarv::GLCalls::GetCounters().drawCalls, 0u);
    EXPECT_EQ(Screen()->GetFrameCount(), frames + 1);
}

TEST_F(ScreenFrames, ResizedScreenGetsItsViewportAtTheNextDrawing)
{
    Tarv::SmartPtr<Tarv::Display> smaller(Tarv::Display::Create(400, 240));
    ASSERT_NE(smaller.Get(), nullptr);
    EXPECT_EQ(Screen()->GetRect()[2], 400);
    const std::uint8_t green[4] = {0, 255, 0, 255};
    Screen()->FillRect(0, 0, 400, 240, green);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 240);
    // Row 0 of the 240-high screen is the window's row 239 from the bottom.
    EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), 399, 0),
                                 RenderTest::Rgba{0, 255, 0, 255}));
    Tarv::SmartPtr<Tarv::Display> back(Tarv::Display::Create(800, 480));
    Screen()->ClearGrey(0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
}

} // namespace
