// Tarv::ConsoleCanvas: what the developer console and its plots draw with. The screen's canvas
// (SurfaceCanvas) turns each call into surface operations; tests record the calls instead.
#pragma once

#include <cstdint>

namespace Tarv
{

// Colour bytes r, g, b, a.
struct ConsoleColor
{
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
    std::uint8_t a;
};

class ConsoleCanvas
{
public:
    // Console font cells and the disk icon.
    static constexpr int GLYPH_WIDTH = 8;
    static constexpr int GLYPH_HEIGHT = 7;
    static constexpr int GLYPH_CELLS = 99;
    static constexpr int DISK_ICON_SIZE = 32;

    virtual ~ConsoleCanvas() = default;

    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void FillRect(int x1, int y1, int x2, int y2, const ConsoleColor& color) = 0;
    virtual void DrawRect(int x1, int y1, int x2, int y2, const ConsoleColor& color) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2, const ConsoleColor& color) = 0;
    // Glyph cell 0-98 with its top-left corner at (x, y): black is transparent while the font
    // is keyed, opaque otherwise.
    virtual void DrawGlyph(int x, int y, int cell) = 0;
    // The same cell with its colours multiplied by r, g, b (0-255 each).
    virtual void DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b) = 0;
    // At a text's first colour escape the font's flags move to the tinted glyphs (which keep
    // them from then on), so coloured glyphs are keyed as the font was; at the end of that text
    // the font gets its flags back.
    virtual void BeginTinting() {}
    virtual void EndTinting() {}
    virtual void DrawDiskIcon(int x, int y) = 0;
    // The font's colour key: on only while the open console is drawn.
    virtual void SetFontKeyed(bool keyed) = 0;
};

} // namespace Tarv
