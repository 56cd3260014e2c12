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
