// Tarv::ConsoleHooks: the application's hooks with the developer console behind them. The shell
// reaches DebugOverlay::Instance through these; engine reports and script errors print in it.
#pragma once

#include "framework/ApplicationHooks.h"

namespace Tarv
{

class ConsoleHooks : public Quor::ApplicationHooks
{
public:
    // Routes the engine's reports and the GUI's layout reports into the console while the
    // hooks exist (standard error keeps a copy), and the GUI's screen dumps (console only).
    ConsoleHooks();
    ~ConsoleHooks() override;
    ConsoleHooks(const ConsoleHooks&) = delete;
    ConsoleHooks& operator=(const ConsoleHooks&) = delete;

    bool HasConsole() const override;
    bool IsConsoleVisible() const override;
    void SetConsoleVisible(bool visible) override;
    void ConsoleKeyDown(int key) override;
    void ConsoleKeyUp(int key) override;
    void ConsoleTouchDown(int x, int y) override;
    void ConsoleTouchMove(int x, int y) override;
    void ConsoleTouchUp() override;
    void ConsoleUpdate(float seconds) override;
    void ConsoleRender(Surface* screen) override;

    // Standard error keeps a copy; with a console: shown, mixer paused, both lines printed.
    void ReportScriptError(const LuaErrorReport& report) override;
    void SetConsoleVideoMemoryShown(bool shown) override;
    void SetConsoleFpsAndMemoryShown(bool shown) override;
    // Releases DebugOverlay::Instance and closes the console.
    void ReleaseConsole() override;
};

} // namespace Tarv
