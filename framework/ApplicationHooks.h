// Quor::ApplicationHooks: the application's links from the platform shell to the mixer (paused
// while the window has no focus) and to the developer console, which a layer above installs by
// deriving from this class (Application::InstallHooks).
#pragma once

#include "platform/EngineHooks.h"

namespace Tarv
{
struct LuaErrorReport;
}

namespace Quor
{

class ApplicationHooks : public Tarv::EngineHooks
{
public:
    // The console parts keep EngineHooks' "no console" answers until a console exists.
    bool HasMixer() const override;
    // Maps the shell's pause reasons onto the mixer's pause bits; other bits are ignored.
    void SetMixerPaused(unsigned reason, bool paused) override;

    // A script error (main thread): standard error here; a console shows itself, pauses the
    // mixer and prints the heading and the message.
    virtual void ReportScriptError(const Tarv::LuaErrorReport& report);
    // The console's video-memory read-out; nothing without a console.
    virtual void SetConsoleVideoMemoryShown(bool shown) { (void)shown; }
    // The console's frame-rate and memory read-outs with their plots; nothing without a console.
    virtual void SetConsoleFpsAndMemoryShown(bool shown) { (void)shown; }
    // Releases the console, last of the application's services, while the shell's GL context
    // still exists; nothing without a console.
    virtual void ReleaseConsole() {}
};

} // namespace Quor
