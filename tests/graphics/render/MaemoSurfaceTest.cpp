// The screen surface over a real window on a private Xvfb: EGL bring-up at depth 16 and 24,
// clearing, read-back, buffer swaps and the refusals.
#include "graphics/render/MaemoSurface.h"

#include "engine/core/SmartPtr.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

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

TEST_P(MaemoSurfaceOnXvfb, ClearedFrameReadsBackItsColour)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    EXPECT_EQ(screen->GetBufferSize(), GetParam() == 16 ? 16 : 24);
    ASSERT_TRUE(screen->BeginFrame());
    screen->Clear(1.0f, 0.0f, 1.0f, 1.0f);

    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(screen->ReadPixels(0, 0, 800, 480, pixels));
    ASSERT_EQ(pixels.size(), 800u * 480u * 4u);
    for (std::size_t i : {std::size_t{0}, pixels.size() / 2, pixels.size() - 4}) {
        EXPECT_EQ(pixels[i], 255);
        EXPECT_EQ(pixels[i + 1], 0);
        EXPECT_EQ(pixels[i + 2], 255);
    }
    screen->EndFrame();
    EXPECT_EQ(screen->GetFrameCount(), 1);

    // After the swap the window itself shows the colour.
    TestSupport::Rgb shown{};
    ASSERT_TRUE(m_client.GetPixel(m_window, 400, 240, shown));
    EXPECT_EQ(shown.red, 255);
    EXPECT_EQ(shown.green, 0);
    EXPECT_EQ(shown.blue, 255);
}

TEST_P(MaemoSurfaceOnXvfb, EachFrameShowsItsOwnClear)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& colour : colours) {
        ASSERT_TRUE(screen->BeginFrame());
        screen->Clear(colour[0], colour[1], colour[2], 1.0f);
        std::vector<std::uint8_t> pixel;
        ASSERT_TRUE(screen->ReadPixels(799, 479, 1, 1, pixel));
        EXPECT_EQ(pixel[0], colour[0] * 255);
        EXPECT_EQ(pixel[1], colour[1] * 255);
        EXPECT_EQ(pixel[2], colour[2] * 255);
        screen->EndFrame();
    }
    EXPECT_EQ(screen->GetFrameCount(), 3);
}

TEST_P(MaemoSurfaceOnXvfb, ReadBackOutsideTheScreenIsRefused)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    std::vector<std::uint8_t> pixels;
    EXPECT_FALSE(screen->ReadPixels(-1, 0, 1, 1, pixels));
    EXPECT_FALSE(screen->ReadPixels(0, 0, 801, 1, pixels));
    EXPECT_FALSE(screen->ReadPixels(799, 479, 2, 1, pixels));
    EXPECT_FALSE(screen->ReadPixels(0, 0, 0, 0, pixels));
    EXPECT_FALSE(screen->ReadPixels(0x7fffffff, 0, 2, 1, pixels));
}

TEST_P(MaemoSurfaceOnXvfb, ResizeChangesSizeAndPitchOnly)
{
    SmartPtr<MaemoSurface> screen(MaemoSurface::CreateScreenSurface(800, 480));
    ASSERT_NE(screen.Get(), nullptr);
    screen->Resize(480, 800);
    EXPECT_EQ(screen->GetWidth(), 480);
    EXPECT_EQ(screen->GetHeight(), 800);
    EXPECT_EQ(screen->GetPitch(), 960);
    screen->Resize(0, -5);
    EXPECT_EQ(screen->GetWidth(), 480);
    EXPECT_TRUE(screen->BeginFrame());
}

INSTANTIATE_TEST_SUITE_P(Depths, MaemoSurfaceOnXvfb, ::testing::Values(16, 24));

TEST(MaemoSurface, NoNativeWindowGivesNoSurface)
{
    MaemoSurface::SetNativeWindow(nullptr, 0);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(800, 480), nullptr);
}

TEST(MaemoSurface, WindowThatDoesNotExistGivesNoSurface)
{
    TestSupport::XvfbServer server(24);
    TestSupport::XClient client(server.GetDisplayName());
    ASSERT_TRUE(client.IsOpen());
    const unsigned long window = client.CreateWindow(100, 100);
    MaemoSurface::SetNativeWindow(client.GetDisplay(), window + 1000);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(800, 480), nullptr);
    MaemoSurface::SetNativeWindow(client.GetDisplay(), window);
    EXPECT_EQ(MaemoSurface::CreateScreenSurface(0, 480), nullptr);
    MaemoSurface::SetNativeWindow(nullptr, 0);
}

} // namespace

// A demo frame of turned, scaled, tinted, mirrored and keyed sprites on the screen matches the
// golden image within a small tolerance. BRASHWICK_UPDATE_GOLDEN=1 writes the golden image anew.
#include "tests/graphics/render/RenderTestScreen.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

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
        RenderTest::MakeImage(16, 16, Tarv::PIXEL_FORMAT_RGB888, SpriteTexel);
    sprite->SetFlags(Tarv::SURFACE_COLOR_KEY);
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
    sprite->SetFlags(Tarv::SURFACE_COLOR_KEY | Tarv::SURFACE_LINEAR);
    const float x = 140, y = 100, angle = 0.3f, scale = 1.5f;
    screen->BlitTransformed(sprite.Get(), &x, &y, &angle, &scale, pivot, 1);
}

bool ReadGolden(std::vector<std::uint8_t>& rgb)
{
    std::ifstream in(GoldenPath(), std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    if (!in || magic != "P6" || width != DEMO_WIDTH || height != DEMO_HEIGHT || maximum != 255)
        return false;
    rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return rgb.size() == static_cast<std::size_t>(DEMO_WIDTH * DEMO_HEIGHT * 3);
}

class DemoFrame : public RenderTest::ScreenTest
{
};

TEST_F(DemoFrame, MatchesTheGoldenImage)
{
    DrawDemoFrame(Screen());
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(Screen()->ReadBack(0, 0, DEMO_WIDTH, DEMO_HEIGHT, rgba));
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), &rgba[i], &rgba[i] + 3);
    Screen()->EndFrame();

    const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(GoldenPath(), std::ios::binary);
        out << "P6\n" << DEMO_WIDTH << " " << DEMO_HEIGHT << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<long>(rgb.size()));
        GTEST_SKIP() << "golden image written";
    }
    std::vector<std::uint8_t> golden;
    ASSERT_TRUE(ReadGolden(golden)) << GoldenPath();
    int differing = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        for (std::size_t c = 0; c < 3; ++c) {
            if (std::abs(rgb[i + c] - golden[i + c]) > 8) {
                ++differing;
                break;
            }
        }
    }
    // Rasterisers may differ on a few edge pixels of the turned sprites.
    EXPECT_LE(differing, DEMO_WIDTH * DEMO_HEIGHT / 200) << differing << " pixels differ";
}

} // namespace

namespace
{

class ScreenFrames : public RenderTest::ScreenTest
{
};

TEST_F(ScreenFrames, EmptyFrameDrawsNothingButStillSwaps)
{
    Screen()->EndFrame();
    Tarv::GLCalls::ResetCounters();
    const int frames = Screen()->GetFrameCount();
    ASSERT_TRUE(Screen()->BeginFrame());
    Screen()->EndFrame();
    EXPECT_EQ(Tarv::GLCalls::GetCounters().drawCalls, 0u);
    EXPECT_EQ(Screen()->GetFrameCount(), frames + 1);
}

TEST_F(ScreenFrames, FrameEndLeavesNothingPending)
{
    const std::uint8_t red[4] = {255, 0, 0, 255};
    Screen()->FillRect(0, 0, 10, 10, red);
    EXPECT_GT(Batcher()->GetPendingVertices(), 0);
    Screen()->EndFrame();
    EXPECT_EQ(Batcher()->GetPendingVertices(), 0);
    EXPECT_EQ(Tarv::GLCalls::GetCounters().drawCalls, 1u);
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
