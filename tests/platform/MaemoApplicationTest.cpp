// The shell's application on a private Xvfb at depth 16 and 24: the window, cleared frames,
// real key presses, clicks and drags from xdotool, focus pausing, resizing, the accelerometer,
// the window manager's delete message, a window destroyed by another client, and a window
// manager that resizes or holds back the map.
#include "platform/MaemoApplication.h"

#include "graphics/render/Display.h"
#include "graphics/render/MaemoSurface.h"
#include "platform/Osso.h"
#include "tests/platform/PlatformTestDoubles.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <X11/Xlib.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using Lines = std::vector<std::string>;
using PlatformTest::CallLog;
using PlatformTest::FakeHooks;
using Tarv::SmartPtr;

constexpr int WAIT_MS = 20000;

class ShellApp : public PlatformTest::Recording<Tarv::MaemoApplication>
{
public:
    void Render(Tarv::Surface* screen) override
    {
        log.Add("render");
        auto* surface = static_cast<Tarv::MaemoSurface*>(screen);
        surface->Clear(0.0f, 1.0f, 0.0f, 1.0f);
        std::vector<std::uint8_t> pixel;
        if (surface->ReadPixels(surface->GetWidth() - 1, surface->GetHeight() - 1, 1, 1, pixel))
            lastPixel = {pixel[0], pixel[1], pixel[2]};
        ++frames;
    }
    void PostRender(Tarv::Surface*) override { log.Add("post-render"); }

    int frames = 0;
    std::vector<int> lastPixel;
};

class ShellOnXvfb : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsRunning());
        setenv("DISPLAY", m_server.GetDisplayName().c_str(), 1);
        m_app = SmartPtr<ShellApp>(new ShellApp);
        ASSERT_TRUE(m_app->IsReady());
        ASSERT_TRUE(m_client.IsOpen());
        m_window = m_app->GetXWindow();
    }
    void TearDown() override { Tarv::AbstractApp::SetEngineHooks(nullptr); }

    template <class Condition>
    bool Pump(Condition condition, int timeoutMs = WAIT_MS)
    {
        return TestSupport::WaitUntil(
            [&] {
                m_app->RunPass();
                return condition();
            },
            timeoutMs);
    }
    bool Logged(const std::string& line) const { return m_app->log.Count(line) > 0; }
    void Focus()
    {
        m_client.SetFocus(m_window);
        ASSERT_TRUE(Pump([&] { return Logged("focus-in"); }));
        m_app->log.Clear();
    }
    int Tool(const std::vector<std::string>& argv) { return m_server.RunTool(argv); }

    TestSupport::XvfbServer m_server{GetParam()};
    TestSupport::XClient m_client{m_server.GetDisplayName()};
    SmartPtr<ShellApp> m_app;
    unsigned long m_window = 0;
};

// Input, focus, messages and services do not depend on the depth: one server depth is enough.
class ShellInput : public ShellOnXvfb
{
};

TEST_P(ShellOnXvfb, OneWindowAtFullSizeWithEveryFrameClearedAndShown)
{
    const std::vector<unsigned long> windows = m_client.FindWindows("Brashwick");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0], m_window);
    int width = 0, height = 0, depth = 0;
    bool viewable = false;
    ASSERT_TRUE(m_client.GetGeometry(m_window, width, height, depth, viewable));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(depth, GetParam());
    EXPECT_TRUE(viewable);
    EXPECT_TRUE(m_client.AcceptsDeleteWindow(m_window));
    // A bare server knows neither atom, so neither property was set (nor did it end the program).
    EXPECT_FALSE(m_client.HasProperty(m_window, "_NET_WM_STATE"));
    EXPECT_FALSE(m_client.HasProperty(m_window, "_HILDON_NON_COMPOSITED_WINDOW"));
    // The desktop's key auto-repeat is left alone.
    EXPECT_TRUE(m_client.IsAutoRepeatOn());
    EXPECT_EQ(m_app->GetDisplay()->GetOrientation(), Tarv::ORIENTATION_90);
    // Every frame is cleared and shown.
    ASSERT_TRUE(Pump([&] { return m_app->frames >= 3; }));
    EXPECT_EQ(m_app->lastPixel, (std::vector<int>{0, 255, 0}));
    TestSupport::Rgb shown{};
    ASSERT_TRUE(m_client.GetPixel(m_window, 400, 240, shown));
    EXPECT_EQ((std::vector<int>{shown.red, shown.green, shown.blue}), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(m_app->log.Only({"render", "post"}),
              (Lines{"render", "post-render", "render", "post-render", "render", "post-render"}));
}

// Real key presses from xdotool, in order: the handheld's keys only, a key held past the server's
// repeat delay (660 ms) as one press and one release with the desktop's auto-repeat left on, and
// the Fn layer with Fn released before the key.
TEST_P(ShellInput, KeyPressesReachTheKeySlotsInOrder)
{
    const std::pair<std::vector<std::string>, Lines> cases[] = {
        {{"key", "a", "Left", "Return", "F1", "period"},
         {"down 35", "up 35", "down 1", "up 1", "down 6", "up 6", "down 34", "up 34"}},
        {{"keydown", "a", "sleep", "1", "keyup", "a"}, {"down 35", "up 35"}},
        {{"keydown", "ISO_Level3_Shift", "key", "p", "keydown", "q", "keyup", "ISO_Level3_Shift",
          "keyup", "q", "key", "p"},
         {"down 13", "up 13", "down 14", "up 14", "down 50", "up 50"}},
    };
    Focus();
    for (const auto& [keys, sent] : cases) {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), keys.begin(), keys.end());
        ASSERT_EQ(Tool(argv), 0);
        ASSERT_TRUE(Pump([&] { return m_app->log.Only({"down ", "up "}).size() >= sent.size(); }));
        EXPECT_EQ(m_app->log.Only({"down ", "up "}), sent);
        m_app->log.Clear();
    }
    EXPECT_TRUE(m_client.IsAutoRepeatOn());
}

// A click goes to the single- then the multi-touch slot; a drag moves between down and up.
TEST_P(ShellInput, ClicksAndDragsReachTheTouchSlots)
{
    ASSERT_EQ(Tool({"xdotool", "mousemove", "--sync", "100", "200", "click", "1"}), 0);
    ASSERT_TRUE(Pump([&] { return Logged("multi-up 100 200"); }));
    EXPECT_EQ(m_app->log.Only({"touch-down", "touch-up", "multi-down", "multi-up"}),
              (Lines{"touch-down 100 200", "multi-down 100 200", "touch-up 100 200",
                     "multi-up 100 200"}));
    m_app->log.Clear();
    ASSERT_EQ(Tool({"xdotool", "mousemove", "--sync", "100", "100", "mousedown", "1",
                    "mousemove", "--sync", "300", "200", "mouseup", "1"}),
              0);
    ASSERT_TRUE(Pump([&] { return Logged("multi-up 300 200"); }));
    const Lines touches = m_app->log.Only({"touch-", "multi-"});
    const auto down = std::find(touches.begin(), touches.end(), "touch-down 100 100");
    ASSERT_NE(down, touches.end());
    const Lines tail(down, touches.end());
    ASSERT_GE(tail.size(), 6u);
    EXPECT_EQ(tail[1], "multi-down 100 100");
    EXPECT_EQ(Lines(tail.end() - 4, tail.end()),
              (Lines{"touch-move 300 200", "multi-move 300 200", "touch-up 300 200",
                     "multi-up 300 200"}));
}

TEST_P(ShellInput, FocusOutStopsUpdatesAndFocusInResumesThem)
{
    Focus();
    ASSERT_TRUE(Pump([&] { return m_app->updates > 0; }));
    m_client.SetFocus(0);
    ASSERT_TRUE(Pump([&] { return m_app->IsPaused(); }));
    const int updates = m_app->updates;
    const int frames = m_app->frames;
    m_app->RunPass();
    m_app->RunPass();
    EXPECT_EQ(m_app->updates, updates);
    EXPECT_EQ(m_app->frames, frames);
    EXPECT_TRUE(m_client.IsAutoRepeatOn());

    m_client.SetFocus(m_window);
    ASSERT_TRUE(Pump([&] { return m_app->updates > updates; }));
    EXPECT_GT(m_app->frames, frames);
    EXPECT_EQ(m_app->log.Only({"focus"}), (Lines{"focus-out", "focus-in"}));
}

TEST_P(ShellInput, DeleteMessageQuitsAfterThePassAndShutdownRuns)
{
    m_client.SendDeleteWindow(m_window);
    EXPECT_EQ(m_app->Run(), 0);
    const Lines& lines = m_app->log.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "init");
    EXPECT_EQ(lines.back(), "shutdown");
    // The pass that saw the message still ticked and drew.
    EXPECT_EQ(m_app->updates, 1);
    EXPECT_EQ(m_app->frames, 1);
}

// With the window gone there is nothing left to draw into: the shell quits instead of running on
// unseen, which no close request could then end.
TEST_P(ShellInput, AWindowDestroyedByAnotherClientEndsTheLoop)
{
    m_client.DestroyWindow(m_window);
    ASSERT_TRUE(Pump([&] { return m_app->IsQuitting(); }));
    EXPECT_EQ(m_app->GetXWindow(), 0u);
}

TEST_P(ShellOnXvfb, ResizeReplacesTheDisplayOnlyWhenTheSizeChanges)
{
    SmartPtr<Tarv::Display> before(m_app->GetDisplay());
    m_client.MoveWindow(m_window, 5, 5);
    const int frames = m_app->frames;
    ASSERT_TRUE(Pump([&] { return m_app->frames >= frames + 3; }));
    EXPECT_EQ(m_app->GetDisplay(), before.Get());

    m_client.ResizeWindow(m_window, 400, 640);
    ASSERT_TRUE(Pump([&] { return m_app->GetDisplay() != before.Get(); }));
    Tarv::MaemoSurface* screen = Tarv::Display::ScreenSurface.Get();
    EXPECT_EQ(m_app->GetDisplay()->GetScreen(), screen);
    EXPECT_EQ(before->GetScreen(), screen);
    EXPECT_EQ(screen->GetWidth(), 400);
    EXPECT_EQ(screen->GetHeight(), 640);
    EXPECT_EQ(m_app->GetDisplay()->GetOrientation(), Tarv::ORIENTATION_0);
    // Frames keep coming at the new size.
    m_app->lastPixel.clear();
    ASSERT_TRUE(Pump([&] { return !m_app->lastPixel.empty(); }));
    EXPECT_EQ(m_app->lastPixel, (std::vector<int>{0, 255, 0}));
}

TEST_P(ShellInput, AccelerometerSamplesFollowTheOrientation)
{
    char path[] = "/tmp/brashwick-coord-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path) << "10 -980 30\n";
    m_app->GetAccelerometer().SetPath(path);
    m_app->EnableAccelerometer(0.0f);
    ASSERT_TRUE(Pump([&] { return Logged("accelerometer"); }));
    EXPECT_FLOAT_EQ(m_app->sample[0], -0.01f);
    EXPECT_FLOAT_EQ(m_app->sample[1], -0.98f);
    EXPECT_FLOAT_EQ(m_app->sample[2], 0.03f);

    std::remove(path);
    ASSERT_TRUE(Pump([&] { return !m_app->GetAccelerometer().IsOn(); }));
}

TEST_P(ShellInput, OpenConsoleFreezesUpdateButFramesGoOn)
{
    FakeHooks hooks(m_app->log);
    hooks.visible = true;
    Tarv::AbstractApp::SetEngineHooks(&hooks);
    ASSERT_TRUE(Pump([&] { return m_app->frames >= 2; }));
    EXPECT_EQ(m_app->updates, 0);
    const Lines frame = m_app->log.Only({"render", "console-render", "post-render"});
    ASSERT_GE(frame.size(), 3u);
    EXPECT_EQ(Lines(frame.begin(), frame.begin() + 3),
              (Lines{"render", "console-render", "post-render"}));
}

TEST_P(ShellInput, OpenUrlGoesThroughTheServiceBusAsUtf8)
{
    EXPECT_FALSE(m_app->OpenURL(Tarv::WideString(U"http://example.org")));
    PlatformTest::RecordingOpener opener;
    osso_context_t* context = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    m_app->SetOssoContext(context);
    // A lone surrogate cannot be sent; nothing is started for it.
    EXPECT_FALSE(m_app->OpenURL(Tarv::WideString(U"http://x/") + char32_t(0xD800)));
    EXPECT_TRUE(m_app->OpenURL(Tarv::WideString(U"http://example.org/caf\u00e9")));
    EXPECT_EQ(opener.Called(WAIT_MS), "1|http://example.org/caf\xc3\xa9");
    m_app->SetOssoContext(nullptr);
    osso_deinitialize(context);
}

INSTANTIATE_TEST_SUITE_P(Depths, ShellOnXvfb, ::testing::Values(16, 24));
INSTANTIATE_TEST_SUITE_P(Depth24, ShellInput, ::testing::Values(24));

TEST(MaemoApplication, WindowManagerPropertiesAreSetWhenTheirAtomsExist)
{
    TestSupport::XvfbServer server(16);
    TestSupport::XClient client(server.GetDisplayName());
    ASSERT_TRUE(client.IsOpen());
    for (const char* atom :
         {"_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN", "_HILDON_NON_COMPOSITED_WINDOW"})
        client.InternAtom(atom);
    setenv("DISPLAY", server.GetDisplayName().c_str(), 1);
    SmartPtr<ShellApp> app(new ShellApp);
    ASSERT_TRUE(app->IsReady());
    EXPECT_TRUE(client.HasProperty(app->GetXWindow(), "_NET_WM_STATE"));
    EXPECT_TRUE(client.HasProperty(app->GetXWindow(), "_HILDON_NON_COMPOSITED_WINDOW"));
}

// A window manager on its own connection and thread, taking the map requests of new windows: it
// either resizes a window before it maps it, or holds the map back for HOLD_MS.
class WindowManager
{
public:
    static constexpr int HOLD_MS = 15000;

    WindowManager(const std::string& display, bool hold, int width, int height)
        : m_hold(hold), m_width(width), m_height(height)
    {
        m_display = XOpenDisplay(display.c_str());
        if (m_display == nullptr)
            return;
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureRedirectMask);
        XSync(m_display, False);
        m_thread = std::thread([this] { Serve(); });
    }
    ~WindowManager()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    bool IsRunning() const { return m_display != nullptr; }
    bool HasMapped() const { return m_mapped; }

private:
    void Serve()
    {
        Window held = 0;
        int heldMs = 0;
        while (!m_stop) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type != MapRequest)
                    continue;
                held = event.xmaprequest.window;
                if (!m_hold)
                    XResizeWindow(m_display, held, m_width, m_height);
            }
            if (held != 0 && (!m_hold || heldMs >= HOLD_MS)) {
                m_mapped = true;
                XMapWindow(m_display, held);
                XSync(m_display, False);
                held = 0;
            }
            pollfd entry{ConnectionNumber(m_display), POLLIN, 0};
            poll(&entry, 1, 10);
            if (held != 0)
                heldMs += 10;
        }
    }

    ::Display* m_display = nullptr;
    bool m_hold;
    int m_width;
    int m_height;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_mapped{false};
    std::thread m_thread;
};

// A window manager that never maps the window in time: the shell stops waiting for the map and
// starts all the same, rather than hanging before its first frame.
TEST(MaemoApplication, AWindowNotMappedInTimeStillStarts)
{
    TestSupport::XvfbServer server(24);
    WindowManager manager(server.GetDisplayName(), true, 0, 0);
    ASSERT_TRUE(manager.IsRunning());
    setenv("DISPLAY", server.GetDisplayName().c_str(), 1);
    SmartPtr<ShellApp> app(new ShellApp);
    EXPECT_FALSE(manager.HasMapped());
    ASSERT_TRUE(app->IsReady());
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] {
            app->RunPass();
            return app->frames >= 1;
        },
        WAIT_MS));
}

// A window manager that gives the window another size before it maps it: the ConfigureNotify
// that comes before the MapNotify is kept, and frames are drawn at the size the window has.
TEST(MaemoApplication, EventsBeforeTheMapReachTheFirstPass)
{
    TestSupport::XvfbServer server(24);
    WindowManager manager(server.GetDisplayName(), false, 640, 400);
    ASSERT_TRUE(manager.IsRunning());
    setenv("DISPLAY", server.GetDisplayName().c_str(), 1);
    SmartPtr<ShellApp> app(new ShellApp);
    ASSERT_TRUE(app->IsReady());
    EXPECT_TRUE(manager.HasMapped());
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] {
            app->RunPass();
            Tarv::MaemoSurface* screen = Tarv::Display::ScreenSurface.Get();
            return screen != nullptr && screen->GetWidth() == 640 && screen->GetHeight() == 400;
        },
        WAIT_MS));
}

TEST(MaemoApplication, NoXDisplayLeavesAnInertApplication)
{
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old != nullptr ? old : "";
    setenv("DISPLAY", ":4095", 1);
    {
        SmartPtr<ShellApp> app(new ShellApp);
        EXPECT_EQ(app->GetStartStatus(), Tarv::MaemoApplication::StartStatus::NO_X_DISPLAY);
        EXPECT_EQ(app->Run(), 1);
        app->RunPass();
        EXPECT_TRUE(app->log.Lines().empty());
    }
    if (old != nullptr)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

} // namespace
