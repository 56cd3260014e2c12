// Tarv::AbstractApp: the platform-neutral application. The shell hands it events, time and
// frames through the non-virtual operations; it routes them between the developer console and
// the virtual interface below, which the framework and the game override.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WideString.h"

#include <atomic>
#include <vector>

namespace Tarv
{

class AbstractInputContext;
class Display;
class EngineHooks;
class Surface;

// A point of a touch in window pixels.
struct TouchPoint {
    int x;
    int y;
};

// Made only by AbstractApp::CreateBatcherFreeze; it holds nothing.
class BatcherFreeze : public RefCounter
{
};

class AbstractApp : public RefCounter
{
public:
    // The current application (not owned): set by the constructor, cleared by the destructor.
    static AbstractApp* Instance;
    // Scales the seconds given to Update (and the mixer's speed); 1 at start. The audio
    // thread reads it, hence atomic.
    static std::atomic<float> TimeSkew;

    // Flag bit: keep running while the window has no focus.
    static constexpr unsigned FLAG_RUN_UNFOCUSED = 8;

    // The console and mixer links; null gives the defaults (no console, no mixer). Not owned:
    // the installer keeps them alive while the application runs.
    static void SetEngineHooks(EngineHooks* hooks);
    static EngineHooks& GetEngineHooks();

    AbstractApp();
    ~AbstractApp() override;
    AbstractApp(const AbstractApp&) = delete;
    AbstractApp& operator=(const AbstractApp&) = delete;

    // The virtual interface, in the order the framework relies on.
    virtual void Init() {}
    virtual void Shutdown() {}
    virtual void OnKeyDown(int key) { (void)key; }
    virtual void OnKeyUp(int key) { (void)key; }
    virtual void UnusedHook6() {}
    virtual void OnFocusChange(bool hasFocus) { (void)hasFocus; }
    virtual void UnusedHook8() {}
    virtual void Update(const float& seconds) { (void)seconds; }
    virtual void Render(Surface* screen) { (void)screen; }
    virtual void UnusedHook11() {}
    virtual void OnTextInputCancel() {}
    virtual void OnTextCompose(const WideString& composing, const WideString& committed)
    {
        (void)composing, (void)committed;
    }
    virtual void OnTextInput(const WideString& text, const WideString& committed)
    {
        (void)text, (void)committed;
    }
    virtual void OnTextInputAttach(WideString& committed) { (void)committed; }
    virtual void OnTouchDown(int x, int y) { (void)x, (void)y; }
    virtual void OnTouchUp(int x, int y) { (void)x, (void)y; }
    virtual void OnTouchMove(int x, int y) { (void)x, (void)y; }
    virtual void OnMultitouchDown(const std::vector<TouchPoint>& points) { (void)points; }
    virtual void OnMultitouchUp(const std::vector<TouchPoint>& points) { (void)points; }
    virtual void OnMultitouchMove(const std::vector<TouchPoint>& points) { (void)points; }
    virtual void EnableAccelerometer(const float& intervalSeconds) { (void)intervalSeconds; }
    virtual void DisableAccelerometer() {}
    virtual void UnusedHook24() {}
    virtual void UnusedHook25() {}
    virtual void OnAccelerometer(const float& x, const float& y, const float& z)
    {
        (void)x, (void)y, (void)z;
    }
    virtual bool UnusedQuery27() { return false; }
    virtual bool UnusedQuery28() { return false; }
    virtual void UnusedHook29() {}
    virtual void Quit() {}
    virtual bool OpenURL(const WideString& url)
    {
        (void)url;
        return false;
    }
    virtual void UnusedHook32() {}
    virtual void UnusedHook33() {}
    virtual void PostRender(Surface* screen) { (void)screen; }

    // Focus gained or lost: pauses or resumes (unless FLAG_RUN_UNFOCUSED), tells the mixer,
    // then OnFocusChange.
    void OnFocus(bool hasFocus);
    // A translated key: to the console while it is open, else to OnKeyDown / OnKeyUp. With a
    // console, KEY_TILDE opens and closes it on press and is dropped on release.
    void KeyPressed(int key);
    void KeyReleased(int key);
    // Pointer press, motion and release in window pixels: to the console while it is open,
    // else the single-point slot, then the multi-point slot with one point.
    void TouchPressed(int x, int y);
    void TouchMoved(int x, int y);
    void TouchReleased(int x, int y);
    // One frame with the real elapsed seconds: nothing while paused; else the console update,
    // Update with the skewed time (not while the console is open) and RenderFrame.
    void Tick(float seconds);
    // BeginFrame, Render, the console overlay, PostRender, EndFrame with the buffer swap.
    // Nothing is drawn without a display or when BeginFrame fails.
    void RenderFrame();
    void CreateBatcherFreeze();

    bool IsPaused() const { return m_paused; }
    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    Display* GetDisplay() const { return m_display.Get(); }
    AbstractInputContext* GetInputContext() const { return m_inputContext.Get(); }

protected:
    SmartPtr<Display> m_display;
    SmartPtr<AbstractInputContext> m_inputContext;
    unsigned m_flags = 0;
    bool m_paused = false;
    SmartPtr<BatcherFreeze> m_batcherFreeze;
};

} // namespace Tarv
