// ConsoleHooks: forwarding from the shell's hooks to the one developer console.
#include "console/ConsoleHooks.h"

#include "console/DebugOverlay.h"
#include "engine/core/Report.h"
#include "engine/script/LuaErrorQueue.h"
#include "gui/Messages.h"

namespace Tarv
{

namespace
{

DebugOverlay* Console()
{
    return DebugOverlay::Instance.Get();
}

} // namespace

ConsoleHooks::ConsoleHooks()
{
    SetReportSink(&DebugOverlay::Post);
    Plim::SetMessageHook([](const NarrowString& message) { Report("brashwick: gui: %s", message.c_str()); });
    Plim::SetConsoleHook([](const NarrowString& line) {
        if (DebugOverlay* console = Console())
            console->Print(line);
    });
}

ConsoleHooks::~ConsoleHooks()
{
    Plim::SetConsoleHook(nullptr);
    Plim::SetMessageHook(nullptr);
    SetReportSink(nullptr);
}

bool ConsoleHooks::HasConsole() const
{
    return Console() != nullptr;
}

bool ConsoleHooks::IsConsoleVisible() const
{
    return DebugOverlay::Visible;
}

void ConsoleHooks::SetConsoleVisible(bool visible)
{
    DebugOverlay::Visible = visible;
}

void ConsoleHooks::ConsoleKeyDown(int key)
{
    if (DebugOverlay* console = Console())
        console->OnKeyDown(key);
}

void ConsoleHooks::ConsoleKeyUp(int key)
{
    if (DebugOverlay* console = Console())
        console->OnKeyUp(key);
}

void ConsoleHooks::ConsoleTouchDown(int x, int y)
{
    if (DebugOverlay* console = Console())
        console->OnTouchDown(x, y);
}

void ConsoleHooks::ConsoleTouchMove(int x, int y)
{
    if (DebugOverlay* console = Console())
        console->OnTouchMove(x, y);
}

void ConsoleHooks::ConsoleTouchUp()
{
    if (DebugOverlay* console = Console())
        console->OnTouchUp();
}

void ConsoleHooks::ConsoleUpdate(float seconds)
{
    if (DebugOverlay* console = Console())
        console->Update(seconds);
}

void ConsoleHooks::ConsoleRender(Surface* screen)
{
    if (DebugOverlay* console = Console())
        console->Render(screen);
}

void ConsoleHooks::ReportScriptError(const LuaErrorReport& report)
{
    Quor::ApplicationHooks::ReportScriptError(report);
    DebugOverlay* console = Console();
    if (console == nullptr)
        return;
    DebugOverlay::Visible = true;
    if (HasMixer())
        SetMixerPaused(MIXER_PAUSE_CONSOLE, true);
    console->Print(report.heading);
    console->Print(report.message);
}

void ConsoleHooks::SetConsoleVideoMemoryShown(bool shown)
{
    if (DebugOverlay* console = Console())
        console->SetShowVideoMemory(shown);
}

void ConsoleHooks::SetConsoleFpsAndMemoryShown(bool shown)
{
    DebugOverlay* console = Console();
    if (console == nullptr)
        return;
    console->SetShowFps(shown);
    console->SetShowMemory(shown);
    console->ShowFpsPlot(shown);
    console->ShowMemoryPlot(shown);
}

void ConsoleHooks::ReleaseConsole()
{
    DebugOverlay::Instance.Reset();
    DebugOverlay::Visible = false;
}

} // namespace Tarv
