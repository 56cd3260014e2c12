// Tarv::EngineHooks: how the application reaches the developer console and the mixer. The
// defaults stand for "no console, no mixer"; the console and audio layers install their own.
#pragma once

namespace Tarv
{

class Surface;

// Pause reasons of the mixer: it releases its output device while any reason is set.
constexpr unsigned MIXER_PAUSE_FOCUS = 1;
constexpr unsigned MIXER_PAUSE_CONSOLE = 2;

class EngineHooks
{
public:
    virtual ~EngineHooks() = default;

    // A console object exists; without one every key and touch goes to the application.
    virtual bool HasConsole() const { return false; }
    // The console is open (it then takes keys and touches and freezes the application).
    virtual bool IsConsoleVisible() const { return false; }
    virtual void SetConsoleVisible(bool visible) { (void)visible; }
    virtual void ConsoleKeyDown(int key) { (void)key; }
    virtual void ConsoleKeyUp(int key) { (void)key; }
    virtual void ConsoleTouchDown(int x, int y) { (void)x, (void)y; }
    virtual void ConsoleTouchMove(int x, int y) { (void)x, (void)y; }
    virtual void ConsoleTouchUp() {}
    // Real, unscaled seconds.
    virtual void ConsoleUpdate(float seconds) { (void)seconds; }
    // The open console, or the statistics overlay while it is closed.
    virtual void ConsoleRender(Surface* screen) { (void)screen; }

    // A mixer exists to be paused.
    virtual bool HasMixer() const { return false; }
    // Sets or clears one pause reason (MIXER_PAUSE_FOCUS, MIXER_PAUSE_CONSOLE).
    virtual void SetMixerPaused(unsigned reason, bool paused) { (void)reason, (void)paused; }
};

} // namespace Tarv
