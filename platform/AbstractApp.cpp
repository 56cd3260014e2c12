// Event routing between the shell, the developer console and the application, the paused
// state, the time skew and the frame sequence.
#include "platform/AbstractApp.h"

#include "engine/core/KeyCodes.h"
#include "graphics/render/Display.h"
#include "graphics/render/MaemoSurface.h"
#include "platform/AbstractInputContext.h"
#include "platform/EngineHooks.h"
#include "platform/GlobalStorage.h"

#include <clocale>

namespace Tarv
{

namespace
{

EngineHooks s_noHooks;
EngineHooks* s_hooks = nullptr;

} // namespace

AbstractApp* AbstractApp::Instance = nullptr;
std::atomic<float> AbstractApp::TimeSkew{1.0f};

void AbstractApp::SetEngineHooks(EngineHooks* hooks)
{
    s_hooks = hooks;
}

EngineHooks& AbstractApp::GetEngineHooks()
{
    return s_hooks != nullptr ? *s_hooks : s_noHooks;
}

AbstractApp::AbstractApp()
{
    GetGlobalStorage()[GLOBAL_SLOT_APP] = SmartPtr<RefCounter>(new AppGlobals);
    // Text conversion does not depend on this locale (it is often missing); it is set for
    // the C library's own wide-character functions.
    std::setlocale(LC_CTYPE, "en_GB.utf-8");
    Instance = this;
}

AbstractApp::~AbstractApp()
{
    if (Instance == this)
        Instance = nullptr;
    GetGlobalStorage()[GLOBAL_SLOT_APP].Reset();
    m_batcherFreeze.Reset();
    m_inputContext.Reset();
    m_display.Reset();
}

void AbstractApp::OnFocus(bool hasFocus)
{
    if ((m_flags & FLAG_RUN_UNFOCUSED) == 0)
        m_paused = !hasFocus;
    EngineHooks& hooks = GetEngineHooks();
    if (hooks.HasMixer())
        hooks.SetMixerPaused(MIXER_PAUSE_FOCUS, !hasFocus);
    OnFocusChange(hasFocus);
}

void AbstractApp::KeyPressed(int key)
{
    EngineHooks& hooks = GetEngineHooks();
    if (!hooks.HasConsole()) {
        OnKeyDown(key);
        return;
    }
    if (key == KEY_TILDE) {
        const bool open = !hooks.IsConsoleVisible();
        hooks.SetConsoleVisible(open);
        if (hooks.HasMixer())
            hooks.SetMixerPaused(MIXER_PAUSE_CONSOLE, open);
        return;
    }
    if (hooks.IsConsoleVisible())
        hooks.ConsoleKeyDown(key);
    else
        OnKeyDown(key);
}

void AbstractApp::KeyReleased(int key)
{
    EngineHooks& hooks = GetEngineHooks();
    if (!hooks.HasConsole()) {
        OnKeyUp(key);
        return;
    }
    if (key == KEY_TILDE)
        return;
    if (hooks.IsConsoleVisible())
        hooks.ConsoleKeyUp(key);
    else
        OnKeyUp(key);
}

void AbstractApp::TouchPressed(int x, int y)
{
    EngineHooks& hooks = GetEngineHooks();
    if (hooks.HasConsole() && hooks.IsConsoleVisible()) {
        hooks.ConsoleTouchDown(x, y);
        return;
    }
    OnTouchDown(x, y);
    OnMultitouchDown({TouchPoint{x, y}});
}

void AbstractApp::TouchMoved(int x, int y)
{
    EngineHooks& hooks = GetEngineHooks();
    if (hooks.HasConsole() && hooks.IsConsoleVisible()) {
        hooks.ConsoleTouchMove(x, y);
        return;
    }
    OnTouchMove(x, y);
    OnMultitouchMove({TouchPoint{x, y}});
}

void AbstractApp::TouchReleased(int x, int y)
{
    EngineHooks& hooks = GetEngineHooks();
    if (hooks.HasConsole() && hooks.IsConsoleVisible()) {
        hooks.ConsoleTouchUp();
        return;
    }
    OnTouchUp(x, y);
    OnMultitouchUp({TouchPoint{x, y}});
}

void AbstractApp::Tick(float seconds)
{
    if (m_paused)
        return;
    EngineHooks& hooks = GetEngineHooks();
    const float skewed = seconds * TimeSkew.load(std::memory_order_relaxed);
    if (hooks.HasConsole()) {
        hooks.ConsoleUpdate(seconds);
        if (!hooks.IsConsoleVisible())
            Update(skewed);
    } else {
        Update(skewed);
    }
    RenderFrame();
}

void AbstractApp::RenderFrame()
{
    if (m_display.Get() == nullptr)
        return;
    SmartPtr<MaemoSurface> screen(m_display->GetScreen());
    if (screen.Get() == nullptr || !screen->BeginFrame())
        return;
    Render(screen.Get());
    EngineHooks& hooks = GetEngineHooks();
    if (hooks.HasConsole())
        hooks.ConsoleRender(screen.Get());
    PostRender(screen.Get());
    screen->EndFrame();
}

void AbstractApp::CreateBatcherFreeze()
{
    m_batcherFreeze = SmartPtr<BatcherFreeze>(new BatcherFreeze);
}

} // namespace Tarv
