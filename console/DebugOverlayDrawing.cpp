// DebugOverlay drawing: the console font's strings with colour escapes, the open console with
// its scroll markers and bar, and the statistics overlay with the plot strip.
#include "console/DebugOverlay.h"

#include "console/SurfaceCanvas.h"
#include "engine/core/Memory.h"
#include "engine/vfs/DiskActivity.h"

#include <algorithm>
#include <cstdio>

namespace Tarv
{

namespace
{

constexpr ConsoleColor BACKGROUND{0, 0, 0, 192};
constexpr ConsoleColor CURSOR{255, 255, 255, 255};
constexpr ConsoleColor SCROLL_BAR{128, 128, 128, 255};
constexpr ConsoleColor PLOT_STRIP{0, 0, 0, 128};
constexpr unsigned char COLOR_ESCAPE = 1;
constexpr unsigned char ARROW_UP = 127;
constexpr unsigned char ARROW_DOWN = 128;
constexpr unsigned char ARROW_LEFT = 129;
constexpr unsigned char NO_GLYPH = 130;

int GlyphCell(unsigned char byte)
{
    return (byte >= 32 && byte <= NO_GLYPH ? byte : NO_GLYPH) - 32;
}

NarrowString Marker(unsigned char arrow)
{
    const char text[] = {' ', char(arrow), char(arrow), char(arrow), 0};
    return text;
}

NarrowString Formatted(const char* format, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void DebugOverlay::DrawString(ConsoleCanvas& canvas, int x, int y, const NarrowString& text)
{
    bool tinted = false;
    unsigned char color[3] = {255, 255, 255};
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == COLOR_ESCAPE) {
            // An escape without its three colour bytes ends the text.
            if (size - i - 1 < 3)
                break;
            for (int c = 0; c < 3; ++c)
                color[c] = static_cast<unsigned char>(text[i + 1 + c]);
            if (!tinted)
                canvas.BeginTinting();
            tinted = true;
            i += 3;
            continue;
        }
        if (byte == '\t') {
            x += 16;
            continue;
        }
        if (tinted)
            canvas.DrawTintedGlyph(x, y, GlyphCell(byte), color[0], color[1], color[2]);
        else
            canvas.DrawGlyph(x, y, GlyphCell(byte));
        x += ConsoleCanvas::GLYPH_WIDTH;
    }
    if (tinted)
        canvas.EndTinting();
}

void DebugOverlay::DrawString(Surface* target, int x, int y, const NarrowString& text)
{
    if (target == nullptr)
        return;
    SurfaceCanvas canvas(*m_art, *target);
    DrawString(canvas, x, y, text);
}

void DebugOverlay::Render(Surface* screen)
{
    if (screen == nullptr)
        return;
    SurfaceCanvas canvas(*m_art, *screen);
    Render(canvas);
}

void DebugOverlay::Render(ConsoleCanvas& canvas)
{
    if (Visible)
        DrawConsole(canvas);
    else
        DrawStatistics(canvas);
}

void DebugOverlay::DrawConsole(ConsoleCanvas& canvas)
{
    const int width = canvas.GetWidth();
    const int height = canvas.GetHeight();
    const int count = static_cast<int>(m_lines.size());
    canvas.SetFontKeyed(true);
    canvas.FillRect(0, 0, width, height, BACKGROUND);
    DrawString(canvas, 0, height - 7, "> " + m_commandLine);
    if (m_blinkTimer > 0.0f) {
        const int length = static_cast<int>(m_commandLine.size());
        canvas.DrawLine(16 + 8 * length, height - 1, 24 + 8 * length, height - 1, CURSOR);
    }

    const int rows = height / 7 - 3;
    const int first = std::max(count - rows - m_scrollBack, 0);
    if (count > rows && m_scrollBack > count - rows)
        m_scrollBack = count - rows;
    if (first > 0)
        DrawString(canvas, 0, 0, Marker(ARROW_UP));
    const int top = std::max(rows - count, 0);
    int end = first;
    for (int r = top; r < rows && end < count; ++r, ++end) {
        const NarrowString& line = m_lines[static_cast<std::size_t>(end)];
        if (m_columnOffset == 0) {
            DrawString(canvas, 0, 7 * (r + 1), line);
            continue;
        }
        const std::size_t cut = std::min<std::size_t>(static_cast<std::size_t>(m_columnOffset), line.size());
        DrawString(canvas, 0, 7 * (r + 1), NarrowString(1, char(ARROW_LEFT)) + line.substr(cut));
    }
    if (end < count)
        DrawString(canvas, 0, height - 14, Marker(ARROW_DOWN));
    if (first > 0 || end < count) {
        canvas.DrawRect(width - 6, 2, width - 2, height - 2, SCROLL_BAR);
        const float perLine = static_cast<float>(height - 7) / static_cast<float>(count);
        const int t1 = static_cast<int>(static_cast<float>(first) * perLine) + 4;
        const int t2 = static_cast<int>(static_cast<float>(end) * perLine) + 4;
        canvas.FillRect(width - 5, t1, width - 4, t2, SCROLL_BAR);
    }
    canvas.SetFontKeyed(false);
}

void DebugOverlay::DrawStatistics(ConsoleCanvas& canvas)
{
    const int width = canvas.GetWidth();
    const int height = canvas.GetHeight();
    int x = 0;
    if (m_showFps) {
        DrawString(canvas, 0, 0, Formatted("FPS: %i", static_cast<int>(m_fpsCounter->GetFps())));
        x = 70;
    }
    if (m_showMemory) {
        DrawString(canvas, x, 0, Formatted("MEM: %iKB", GetHeapUsage() / 1024));
        x += 105;
    }
    if (m_showVideoMemory)
        DrawString(canvas, x, 0, Formatted("VRAM: %iKB", GetVideoMemoryUsage() / 1024));
    if (m_diskIndicator && TakeDiskActivity())
        canvas.DrawDiskIcon(width - ConsoleCanvas::DISK_ICON_SIZE, height - ConsoleCanvas::DISK_ICON_SIZE);

    const int shown = static_cast<int>(std::count_if(std::begin(m_plots), std::end(m_plots),
                                                     [](const SmartPtr<DebugPlot>& plot) { return bool(plot); }));
    if (shown == 0)
        return;
    const int slotWidth = width / shown;
    canvas.FillRect(0, height - 100, width, height, PLOT_STRIP);
    int i = 0;
    for (const SmartPtr<DebugPlot>& plot : m_plots) {
        if (!plot)
            continue;
        const int rect[4] = {10 + slotWidth * i++, height - 90, slotWidth - 20, 80};
        plot->Render(canvas, rect);
    }
}

} // namespace Tarv
