// DebugOverlay: creation, printing, posted lines, keyboard and touch input, scrolling and the
// per-frame update. Drawing and commands have files of their own.
#include "console/DebugOverlay.h"

#include "console/SurfaceCanvas.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Memory.h"
#include "engine/vfs/DiskActivity.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace Tarv
{

SmartPtr<DebugOverlay> DebugOverlay::Instance;
bool DebugOverlay::Visible = false;
int DebugOverlay::Counter = 0;

namespace
{

const char* const HELP_LINES[] = {
    "1. assets: show managed assets",
    "           star denotes held asset",
    "2. reglist: lists registry keys",
    "3. regcallbacks: lists registry callbacks",
    "regset reg/path value: sets registry key",
    "4. logging: switch TARV_MSG logging",
    "5. texts: show text dictionary",
    "6. plot: show / hide all debug plots",
    "  61. plot f: show / hide fps plot",
    "  62. plot m: show / hide memory plot",
    "  63. plot v: show / hide video memory plot",
    "7. exit: close application",
    "8. floppy: show disk access indicator",
    "9. timeskew skew: set time skew",
};

const char SHIFTED_DIGITS[] = ")!@#$%^&*(";

// Lines posted from any thread, taken by the main thread.
std::mutex s_postedMutex;
std::deque<NarrowString> s_posted;

// The character a key types, or 0.
char KeyCharacter(int key, bool shift)
{
    if (key >= KEY_0 && key <= KEY_9)
        return shift ? SHIFTED_DIGITS[key - KEY_0] : static_cast<char>('0' + key - KEY_0);
    if (key >= KEY_A && key <= KEY_Z)
        return static_cast<char>((shift ? 'A' : 'a') + key - KEY_A);
    switch (key) {
    case KEY_SPACE: return ' ';
    case KEY_FN_N: return shift ? '"' : '\'';
    case KEY_FN_V: return shift ? '?' : '/';
    case KEY_FULL_STOP: return '.';
    default: return 0;
    }
}

} // namespace

SmartPtr<DebugOverlay> DebugOverlay::Create()
{
    Instance = MakeSmart<DebugOverlay>();
    return Instance;
}

void DebugOverlay::Post(const NarrowString& text)
{
    std::lock_guard<std::mutex> lock(s_postedMutex);
    if (s_posted.size() < MAX_POSTED)
        s_posted.push_back(text);
}

DebugOverlay::DebugOverlay() : m_art(new ConsoleArt), m_fpsCounter(MakeSmart<FpsCounter>())
{
    for (const char* line : HELP_LINES)
        m_helpLines.emplace_back(line);
    Print(NarrowString("TARV stable.1.??? built ") + __DATE__ + " " + __TIME__);
}

DebugOverlay::~DebugOverlay()
{
    for (int slot = PLOT_COUNT - 1; slot >= 0; --slot)
        m_plots[slot].Reset();
    m_fpsCounter.Reset();
}

void DebugOverlay::AddLine(NarrowString line)
{
    m_lines.push_back(std::move(line));
    if (m_scrollBack > 0)
        ++m_scrollBack;
}

void DebugOverlay::Print(const NarrowString& text)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == NarrowString::npos) {
            AddLine(text.substr(start));
            return;
        }
        AddLine(text.substr(start, end - start));
        start = end + 1;
    }
}

void DebugOverlay::Log(const NarrowString& text)
{
    if (m_logging)
        Print(text);
}

void DebugOverlay::AppendToCommandLine(char c)
{
    m_commandLine.push_back(c);
}

void DebugOverlay::EnterCommandLine()
{
    Print("> " + m_commandLine);
    const NarrowString line = m_commandLine;
    ExecuteCommand(line);
    m_commandLine.clear();
}

void DebugOverlay::OnKeyDown(int key)
{
    const char c = KeyCharacter(key, m_shift);
    if (c != 0) {
        AppendToCommandLine(c);
        return;
    }
    switch (key) {
    case KEY_BACK:
        if (!m_commandLine.empty())
            m_commandLine.pop_back();
        break;
    case KEY_SELECT: EnterCommandLine(); break;
    case KEY_UP: m_scrollBack += m_shift ? 20 : 1; break;
    case KEY_DOWN:
        if (m_scrollBack > 0)
            m_scrollBack = m_shift ? std::max(m_scrollBack - 20, 0) : m_scrollBack - 1;
        break;
    case KEY_VOLUME_UP: m_scrollBack = std::max(m_scrollBack - 20, 0); break;
    case KEY_VOLUME_DOWN: m_scrollBack += 20; break;
    case KEY_RIGHT: m_columnOffset += 10; break;
    case KEY_LEFT:
        if (m_columnOffset > 0)
            m_columnOffset -= 10;
        break;
    case KEY_SHIFT: m_shift = true; break;
    default: break;
    }
}

void DebugOverlay::OnKeyUp(int key)
{
    if (key == KEY_SHIFT)
        m_shift = false;
}

void DebugOverlay::OnTouchDown(int, int y)
{
    m_dragAnchorY = m_previousY = m_currentY = y;
    m_dragging = true;
}

void DebugOverlay::OnTouchMove(int, int y)
{
    m_previousY = m_currentY;
    m_currentY = y;
}

void DebugOverlay::OnTouchUp()
{
    m_dragging = false;
    m_flingVelocity = static_cast<float>(m_currentY - m_previousY);
    m_flingTimer = 0.0f;
    m_flingOffset = 0.0f;
}

void DebugOverlay::UpdateScrolling(float seconds)
{
    if (m_dragging) {
        int d = m_currentY - m_dragAnchorY;
        for (; d > 7; d -= 7, m_dragAnchorY += 7)
            ++m_scrollBack;
        for (; d < -7 && m_scrollBack != 0; d += 7, m_dragAnchorY -= 7)
            --m_scrollBack;
        return;
    }
    if (!(std::fabs(m_flingVelocity) > 0.1f))
        return;
    m_flingTimer += seconds;
    for (; m_flingTimer > 0.1f; m_flingTimer -= 0.1f) {
        m_flingOffset += m_flingVelocity;
        m_flingVelocity *= 0.8f;
    }
    for (; m_flingOffset > 2.0f; m_flingOffset -= 2.0f)
        ++m_scrollBack;
    while (m_flingOffset < -2.0f) {
        if (m_scrollBack == 0) {
            m_flingVelocity = 0.0f;
            break;
        }
        m_flingOffset += 2.0f;
        --m_scrollBack;
    }
}

void DebugOverlay::TakePosted()
{
    std::deque<NarrowString> posted;
    {
        std::lock_guard<std::mutex> lock(s_postedMutex);
        posted.swap(s_posted);
    }
    for (const NarrowString& text : posted)
        Print(text);
}

void DebugOverlay::Update(const float& seconds)
{
    TakePosted();
    // A frame time that is not a plain number would poison every timer below.
    const float dt = std::isfinite(seconds) ? seconds : 0.0f;
    if (Visible) {
        m_blinkTimer += dt;
        if (m_blinkTimer > 0.5f)
            m_blinkTimer = -0.5f;
        UpdateScrolling(dt);
    }
    if (m_showFps || m_plots[PLOT_FPS])
        m_fpsCounter->Update(dt);
    for (SmartPtr<DebugPlot>& plot : m_plots)
        if (plot)
            plot->Update(dt);
}

void DebugOverlay::ShowPlot(PlotSlot slot, bool show)
{
    if (!show) {
        m_plots[slot].Reset();
        return;
    }
    if (m_plots[slot])
        return;
    DebugPlot::Sampler sampler;
    switch (slot) {
    case PLOT_FPS: {
        FpsCounter* counter = m_fpsCounter.Get();
        sampler = [counter] { return counter->GetFps(); };
        break;
    }
    case PLOT_MEMORY: sampler = [] { return float(GetHeapUsage()) * 0.0009765625f; }; break;
    case PLOT_VIDEO_MEMORY: sampler = [] { return float(GetVideoMemoryUsage()) * 0.0009765625f; }; break;
    default: sampler = [] { return float(Counter); }; break;
    }
    m_plots[slot] = MakeSmart<DebugPlot>(std::move(sampler));
}

void DebugOverlay::ShowFpsPlot(bool show)
{
    ShowPlot(PLOT_FPS, show);
}

void DebugOverlay::ShowMemoryPlot(bool show)
{
    ShowPlot(PLOT_MEMORY, show);
}

void DebugOverlay::ShowVideoMemoryPlot(bool show)
{
    ShowPlot(PLOT_VIDEO_MEMORY, show);
}

void DebugOverlay::ShowCounterPlot(bool show)
{
    ShowPlot(PLOT_COUNTER, show);
}

void DebugOverlay::SetDiskIndicator(bool on)
{
    m_diskIndicator = on;
    TakeDiskActivity();
}

void DebugOverlay::UnregisterCommand(const NarrowString& name)
{
    m_commands.erase(name);
}

} // namespace Tarv
