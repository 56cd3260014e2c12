// Displays over the one screen surface: orientation from the size, resizing in place, and the
// portrait-mode requests on a server without the handheld's window manager.
#include "graphics/render/Display.h"

#include "graphics/render/MaemoDisplay.h"
#include "graphics/render/MaemoSurface.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

namespace
{

using Tarv::Display;
using Tarv::MaemoSurface;
using Tarv::SmartPtr;

class DisplayOnXvfb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_client.IsOpen());
        m_window = m_client.CreateWindow(800, 480);
        MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_window);
    }
    void TearDown() override
    {
        Display::ReleaseScreenSurface();
        MaemoSurface::SetNativeWindow(nullptr, 0);
    }

    TestSupport::XvfbServer m_server{24};
    TestSupport::XClient m_client{m_server.GetDisplayName()};
    unsigned long m_window = 0;
};

TEST_F(DisplayOnXvfb, OrientationFollowsTheSizeOfTheOneScreenSurface)
{
    EXPECT_EQ(Display::Create(0, 480), nullptr);
    EXPECT_EQ(Display::Create(800, -1), nullptr);
    EXPECT_EQ(Display::ScreenSurface.Get(), nullptr);
    SmartPtr<Display> landscape(Display::Create(800, 480));
    ASSERT_NE(landscape.Get(), nullptr);
    EXPECT_EQ(landscape->GetOrientation(), Tarv::ORIENTATION_90);
    EXPECT_EQ(landscape->GetSupportedOrientations(), 3);
    SmartPtr<Display> portrait(Display::Create(480, 800));
    EXPECT_EQ(portrait->GetOrientation(), Tarv::ORIENTATION_0);
    SmartPtr<Display> square(Display::Create(480, 480));
    EXPECT_EQ(square->GetOrientation(), Tarv::ORIENTATION_0);
    // Each later display resizes the one screen surface, kept alive by every display and the
    // global reference.
    MaemoSurface* screen = Display::ScreenSurface.Get();
    EXPECT_EQ(landscape->GetScreen(), screen);
    EXPECT_EQ(square->GetScreen(), screen);
    SmartPtr<Display> wide(Display::Create(1024, 600));
    ASSERT_NE(wide.Get(), nullptr);
    EXPECT_NE(wide.Get(), landscape.Get());
    EXPECT_EQ(screen->GetWidth() * 10000 + screen->GetHeight(), 10240600);
    EXPECT_EQ(screen->GetPitch(), 2048);
    EXPECT_EQ(screen->GetRefCount(), 5);
}

// Without the handheld's window manager the atoms do not exist and the requests are skipped;
// once they exist, portrait sets the two properties and landscape clears them.
TEST_F(DisplayOnXvfb, PortraitRequestsReachTheWindowOnlyWhenTheirAtomsExist)
{
    SmartPtr<Display> display(Display::Create(800, 480));
    ASSERT_NE(display.Get(), nullptr);
    const auto properties = [&] {
        return m_client.HasProperty(m_window, "_HILDON_PORTRAIT_MODE_SUPPORT") +
               2 * m_client.HasProperty(m_window, "_HILDON_PORTRAIT_MODE_REQUEST");
    };
    EXPECT_TRUE(display->SetOrientation(Tarv::ORIENTATION_0));
    EXPECT_TRUE(display->SetOrientation(Tarv::ORIENTATION_90));
    EXPECT_FALSE(display->SetOrientation(Tarv::ORIENTATION_180));
    EXPECT_FALSE(display->SetOrientation(Tarv::ORIENTATION_270));
    EXPECT_EQ(properties(), 0); // the test's own look interns both atoms
    EXPECT_TRUE(display->SetOrientation(Tarv::ORIENTATION_0));
    EXPECT_EQ(properties(), 3);
    // The stored orientation waits for the window manager's reconfiguration.
    EXPECT_EQ(display->GetOrientation(), Tarv::ORIENTATION_90);
    EXPECT_TRUE(display->SetOrientation(Tarv::ORIENTATION_90));
    EXPECT_EQ(properties(), 0);
}

TEST(Display, WithoutNativeWindowThereIsNoDisplay)
{
    MaemoSurface::SetNativeWindow(nullptr, 0);
    EXPECT_EQ(Display::Create(800, 480), nullptr);
}

} // namespace
