// The shell's hooks with a console behind them: script errors open it and print there, engine
// reports arrive from any thread, input reaches it, and without a console nothing breaks.
#include "console/ConsoleHooks.h"

#include "console/DebugOverlay.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Report.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/core/Xml.h"
#include "gui/Layout.h"
#include "gui/Messages.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Tarv;

TEST(ConsoleHooks, ReachTheConsoleAndNothingWithoutOne)
{
    {
        ConsoleHooks hooks;
        EXPECT_FALSE(hooks.HasConsole());
        hooks.ConsoleKeyDown(KEY_A);
        hooks.ReportScriptError({"Fatal error reading file scripts/menu.lua", "boom"});
        DebugOverlay& console = *DebugOverlay::Create();
        hooks.ReportScriptError({"Fatal error reading file scripts/menu.lua", "boom"});
        EXPECT_TRUE(hooks.IsConsoleVisible());
        hooks.ConsoleKeyDown(KEY_A);
        std::thread([] {
            Report("loader says %d", 7);
            Plim::Report("a layer without an item is left empty");
            for (std::size_t i = 0; i < DebugOverlay::MAX_POSTED; ++i)
                DebugOverlay::Post("dropped beyond the cap");
        }).join();
        hooks.ConsoleUpdate(0.01f);
        EXPECT_EQ(console.GetLines().size(), 3 + DebugOverlay::MAX_POSTED);
        EXPECT_EQ(console.GetLines()[4], "brashwick: gui: a layer without an item is left empty");
        EXPECT_EQ(std::vector<std::string>(console.GetLines().begin() + 1, console.GetLines().begin() + 3),
                  (std::vector<std::string>{"Fatal error reading file scripts/menu.lua", "boom"}));
        EXPECT_EQ(console.GetCommandLine(), "a");
    }
    Report("after the hooks");
    DebugOverlay::Instance->Update(0.01f);
    EXPECT_EQ(DebugOverlay::Instance->GetLines().back(), "dropped beyond the cap");
    DebugOverlay::Instance.Reset();
    DebugOverlay::Visible = false;
}

TEST(ConsoleHooks, ScreenDumpsPrintInTheConsole)
{
    ConsoleHooks hooks;
    Plim::Layout layout;
    ASSERT_TRUE(layout.Load(Xml::CreateFromString(
        R"(<screen><layer><item type="Control" name="menu"><children><item type="Control" name="first"/>)"
        "</children></item></layer></screen>")));
    layout.Dump();
    DebugOverlay& console = *DebugOverlay::Create();
    const std::size_t before = console.GetLines().size();
    layout.Dump();
    ASSERT_EQ(console.GetLines().size(), before + 4);
    EXPECT_EQ(console.GetLines()[before], "PLIM menu state dump");
    EXPECT_EQ(console.GetLines()[before + 1], "\x01\xFF\x01\xFF--Layer--");
    EXPECT_NE(console.GetLines()[before + 2].find("menu \x01\x01\x40\x01" "a: 255"), std::string::npos);
    EXPECT_NE(console.GetLines()[before + 3].find("  first \x01"), std::string::npos);
    DebugOverlay::Instance.Reset();
}

TEST(ConsoleHooks, FpsAndMemoryPlotsComeAndGoTogether)
{
    ConsoleHooks hooks;
    hooks.SetConsoleFpsAndMemoryShown(true);
    DebugOverlay& console = *DebugOverlay::Create();
    for (const bool shown : {true, false}) {
        hooks.SetConsoleFpsAndMemoryShown(shown);
        // Slots 0 and 1 hold the frame-rate and memory plots; video memory (2) is not theirs.
        EXPECT_EQ(console.GetPlot(0) != nullptr, shown);
        EXPECT_EQ(console.GetPlot(1) != nullptr, shown);
        EXPECT_EQ(console.GetPlot(2), nullptr);
    }
    DebugOverlay::Instance.Reset();
}
