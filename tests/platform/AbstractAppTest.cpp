// Event routing of the platform-neutral application: focus pause, console capture, mixer
// pause reasons, time skew and the order of the touch slots.
#include "platform/AbstractApp.h"

#include "engine/core/KeyCodes.h"
#include "platform/GlobalStorage.h"
#include "tests/platform/PlatformTestDoubles.h"

#include <gtest/gtest.h>

namespace
{

using PlatformTest::CallLog;
using PlatformTest::FakeHooks;
using App = PlatformTest::Recording<Tarv::AbstractApp>;
using Tarv::AbstractApp;
using Lines = std::vector<std::string>;

class AbstractAppRouting : public ::testing::Test
{
protected:
    void SetUp() override { AbstractApp::SetEngineHooks(&m_hooks); }
    void TearDown() override
    {
        AbstractApp::SetEngineHooks(nullptr);
        AbstractApp::TimeSkew = 1.0f;
    }

    Tarv::SmartPtr<App> m_app{new App};
    CallLog& m_log = m_app->log;
    FakeHooks m_hooks{m_log};
};

TEST_F(AbstractAppRouting, FocusLossStopsUpdatesAndPausesTheMixer)
{
    m_app->OnFocus(false);
    EXPECT_TRUE(m_app->IsPaused());
    EXPECT_EQ(m_hooks.mixerReasons, Tarv::MIXER_PAUSE_FOCUS);
    m_app->Tick(0.1f);
    EXPECT_EQ(m_app->updates, 0);
    EXPECT_EQ(m_log.Count("console-update"), 0u);

    m_app->OnFocus(true);
    EXPECT_FALSE(m_app->IsPaused());
    EXPECT_EQ(m_hooks.mixerReasons, 0u);
    m_app->Tick(0.1f);
    EXPECT_EQ(m_app->updates, 1);
    EXPECT_EQ(m_log.Only({"focus"}), (Lines{"focus-out", "focus-in"}));
    // The console's reason and the focus reason are independent.
    m_app->OnFocus(false);
    m_app->KeyPressed(Tarv::KEY_TILDE);
    EXPECT_EQ(m_hooks.mixerReasons, Tarv::MIXER_PAUSE_FOCUS | Tarv::MIXER_PAUSE_CONSOLE);
    m_app->OnFocus(true);
    EXPECT_EQ(m_hooks.mixerReasons, Tarv::MIXER_PAUSE_CONSOLE);
}

TEST_F(AbstractAppRouting, RunUnfocusedFlagKeepsTicking)
{
    m_app->SetFlags(AbstractApp::FLAG_RUN_UNFOCUSED);
    m_app->OnFocus(false);
    EXPECT_FALSE(m_app->IsPaused());
    m_app->Tick(0.1f);
    EXPECT_EQ(m_app->updates, 1);
    // The mixer still loses its output while the window has no focus.
    EXPECT_EQ(m_hooks.mixerReasons, Tarv::MIXER_PAUSE_FOCUS);
}

// Without a console tilde is an ordinary key; with one it opens and closes it on the press only.
TEST_F(AbstractAppRouting, TildeOpensAndClosesTheConsoleOnPressOnly)
{
    m_hooks.hasConsole = false;
    m_app->KeyPressed(Tarv::KEY_TILDE);
    m_app->KeyReleased(Tarv::KEY_TILDE);
    EXPECT_EQ(m_log.Lines(), (Lines{"down 31", "up 31"}));
    EXPECT_FALSE(m_hooks.visible);
    m_log.Clear();
    m_hooks.hasConsole = true;
    m_app->KeyPressed(Tarv::KEY_TILDE);
    EXPECT_TRUE(m_hooks.visible);
    EXPECT_EQ(m_hooks.mixerReasons, Tarv::MIXER_PAUSE_CONSOLE);
    m_app->KeyReleased(Tarv::KEY_TILDE);
    EXPECT_TRUE(m_hooks.visible);

    m_app->KeyPressed(Tarv::KEY_A);
    m_app->KeyReleased(Tarv::KEY_A);
    m_app->KeyPressed(Tarv::KEY_TILDE);
    EXPECT_FALSE(m_hooks.visible);
    EXPECT_EQ(m_hooks.mixerReasons, 0u);
    m_app->KeyReleased(Tarv::KEY_TILDE);
    m_app->KeyPressed(Tarv::KEY_A);
    EXPECT_EQ(m_log.Lines(), (Lines{"console-down 35", "console-up 35", "down 35"}));
}

TEST_F(AbstractAppRouting, OpenConsoleTakesTouchesAndFreezesUpdate)
{
    m_hooks.visible = true;
    m_app->TouchPressed(5, 6);
    m_app->TouchMoved(7, 8);
    m_app->TouchReleased(9, 10);
    m_app->Tick(0.25f);
    EXPECT_EQ(m_log.Lines(), (Lines{"console-touch-down 5 6", "console-touch-move 7 8",
                                    "console-touch-up", "console-update"}));
    EXPECT_EQ(m_app->updates, 0);
}

TEST_F(AbstractAppRouting, TouchGoesToSingleThenMultiPointSlot)
{
    m_app->TouchPressed(100, 200);
    m_app->TouchMoved(110, 210);
    m_app->TouchReleased(120, 220);
    EXPECT_EQ(m_log.Lines(),
              (Lines{"touch-down 100 200", "multi-down 100 200", "touch-move 110 210",
                     "multi-move 110 210", "touch-up 120 220", "multi-up 120 220"}));
}

TEST_F(AbstractAppRouting, TimeSkewScalesUpdateButNotTheConsole)
{
    AbstractApp::TimeSkew = 0.5f;
    m_app->Tick(0.2f);
    EXPECT_FLOAT_EQ(m_app->lastSeconds, 0.1f);
    EXPECT_FLOAT_EQ(m_hooks.lastConsoleSeconds, 0.2f);
    EXPECT_EQ(m_log.Lines(), (Lines{"console-update", "update"}));

    m_hooks.hasConsole = false;
    m_app->Tick(0.4f);
    EXPECT_FLOAT_EQ(m_app->lastSeconds, 0.2f);
    EXPECT_EQ(m_log.Count("console-update"), 1u);
}

TEST(AbstractApp, InstanceAndGlobalsLiveWithTheApplication)
{
    EXPECT_EQ(AbstractApp::Instance, nullptr);
    {
        Tarv::SmartPtr<App> app(new App);
        EXPECT_EQ(AbstractApp::Instance, app.Get());
        EXPECT_NE(Tarv::GetGlobalStorage()[Tarv::GLOBAL_SLOT_APP].Get(), nullptr);
        EXPECT_EQ(Tarv::GetGlobalStorage()[2].Get(), nullptr);
        // Without a display there is no frame, and the defaults are inert.
        app->Tick(0.1f);
        EXPECT_EQ(app->updates, 1);
        app->CreateBatcherFreeze();
        AbstractApp& base = *app;
        EXPECT_FALSE(base.OpenURL(Tarv::WideString(U"http://example.org")));
        EXPECT_FALSE(base.UnusedQuery27());
    }
    EXPECT_EQ(AbstractApp::Instance, nullptr);
    EXPECT_EQ(Tarv::GetGlobalStorage()[Tarv::GLOBAL_SLOT_APP].Get(), nullptr);
}

} // namespace
