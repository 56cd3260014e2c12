// Tarv::DebugOverlay: the developer console. Shown, it covers the screen with its output lines
// and a command line that the keyboard edits and scrolls; hidden, it draws the statistics
// overlay (frame rate, heap, video memory, disk access) and up to four live plots.
#pragma once

#include "console/DebugPlot.h"
#include "console/FpsCounter.h"
#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <deque>
#include <list>
#include <map>
#include <memory>
#include <vector>

namespace Tarv
{

class ConsoleCanvas;
class RegistryNode;
class Surface;
struct ConsoleArt;

// Main thread only, except Post.
class DebugOverlay : public RefCounter
{
public:
    using CommandCallback = void (*)(void* user, const NarrowString& arguments);
    struct Command
    {
        CommandCallback callback;
        void* user;
    };

    // Lines that other threads posted and the main thread has not taken yet, at most.
    static constexpr std::size_t MAX_POSTED = 1000;
    // The time skew a command accepts (finite, in this range).
    static constexpr float MAX_TIME_SKEW = 16.0f;

    // The one console; null until Create.
    static SmartPtr<DebugOverlay> Instance;
    // Whether the console is shown (the shell flips it).
    static bool Visible;
    // Sampled by the counter plot; nothing in the engine changes it.
    static int Counter;

    // A new console in Instance, releasing the previous one.
    static SmartPtr<DebugOverlay> Create();
    // Any thread: queues text to be printed by the next Update of Instance (at most
    // MAX_POSTED lines wait; later ones are dropped).
    static void Post(const NarrowString& text);

    DebugOverlay();
    ~DebugOverlay() override;
    DebugOverlay(const DebugOverlay&) = delete;
    DebugOverlay& operator=(const DebugOverlay&) = delete;

    // One output line per line-feed-separated piece; while scrolled back the view keeps its lines.
    void Print(const NarrowString& text);
    // Print while the logging switch is on.
    void Log(const NarrowString& text);

    void OnKeyDown(int key);
    void OnKeyUp(int key);
    void OnTouchDown(int x, int y);
    void OnTouchMove(int x, int y);
    void OnTouchUp();
    // Every frame with the real seconds: posted lines, the blink, drag and fling while shown,
    // the frame counter and the plots.
    void Update(const float& seconds);
    // The open console, or the statistics overlay while it is hidden.
    void Render(Surface* screen);
    void Render(ConsoleCanvas& canvas);
    void DrawConsole(ConsoleCanvas& canvas);
    // Text in the console font with its first cell's top-left corner at (x, y): byte 1 and three
    // colour bytes tint the rest (an escape cut short is dropped), a tab moves 16 pixels.
    static void DrawString(ConsoleCanvas& canvas, int x, int y, const NarrowString& text);
    void DrawString(Surface* target, int x, int y, const NarrowString& text);

    // Runs one command line exactly as typed.
    void ExecuteCommand(const NarrowString& line);
    // A command for lines the built-in ones don't take: an existing name keeps its entry; the
    // help gains a line either way.
    void RegisterCommand(const NarrowString& name, CommandCallback callback, void* user, const NarrowString& help);
    void UnregisterCommand(const NarrowString& name);
    void ListAssets();
    void ListRegistry();
    void ListRegistryCallbacks();
    void ListTexts();
    void SetRegistryValue(const NarrowString& arguments);

    void ShowFpsPlot(bool show);
    void ShowMemoryPlot(bool show);
    void ShowVideoMemoryPlot(bool show);
    void ShowCounterPlot(bool show);
    void SetDiskIndicator(bool on);

    void SetShowFps(bool on) { m_showFps = on; }
    void SetShowMemory(bool on) { m_showMemory = on; }
    void SetShowVideoMemory(bool on) { m_showVideoMemory = on; }

    const std::deque<NarrowString>& GetLines() const { return m_lines; }
    const std::list<NarrowString>& GetHelpLines() const { return m_helpLines; }
    const NarrowString& GetCommandLine() const { return m_commandLine; }
    int GetScrollBack() const { return m_scrollBack; }
    int GetColumnOffset() const { return m_columnOffset; }
    bool IsLogging() const { return m_logging; }
    bool HasDiskIndicator() const { return m_diskIndicator; }
    float GetBlinkTimer() const { return m_blinkTimer; }
    FpsCounter* GetFpsCounter() const { return m_fpsCounter.Get(); }
    // Slots 0-3: fps, memory, video memory, counter; null while that plot is hidden.
    DebugPlot* GetPlot(int slot) const { return m_plots[slot].Get(); }

private:
    enum PlotSlot { PLOT_FPS, PLOT_MEMORY, PLOT_VIDEO_MEMORY, PLOT_COUNTER, PLOT_COUNT };

    void AddLine(NarrowString line);
    void AppendToCommandLine(char c);
    void EnterCommandLine();
    void UpdateScrolling(float seconds);
    void TakePosted();
    void DrawStatistics(ConsoleCanvas& canvas);
    void ShowPlot(PlotSlot slot, bool show);
    void TogglePlot(PlotSlot slot);
    void SetTimeSkew(const NarrowString& text);
    void RunRegisteredCommand(const NarrowString& line);
    static void ListRegistryNode(const NarrowString& name, const RegistryNode& node, int indent,
                                 std::vector<NarrowString>& lines);

    std::unique_ptr<ConsoleArt> m_art;
    NarrowString m_commandLine;
    std::deque<NarrowString> m_lines;
    std::list<NarrowString> m_helpLines;
    int m_scrollBack = 0;
    int m_columnOffset = 0;
    bool m_logging = false;
    float m_blinkTimer = 0.0f;
    bool m_shift = false;
    bool m_dragging = false;
    int m_dragAnchorY = 0;
    int m_previousY = 0;
    int m_currentY = 0;
    float m_flingVelocity = 0.0f;
    float m_flingTimer = 0.0f;
    float m_flingOffset = 0.0f;
    std::map<NarrowString, Command> m_commands;
    SmartPtr<FpsCounter> m_fpsCounter;
    bool m_showFps = false;
    bool m_showMemory = false;
    bool m_diskIndicator = false;
    bool m_showVideoMemory = false;
    SmartPtr<DebugPlot> m_plots[PLOT_COUNT];
};

} // namespace Tarv
