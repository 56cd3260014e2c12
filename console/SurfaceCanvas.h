// Tarv::SurfaceCanvas: the console's canvas over a real surface, with the images that the
// console owns (ConsoleArt).
#pragma once

#include "console/ConsoleCanvas.h"
#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"
#include "graphics/render/Tint.h"

#include <cstdint>

namespace Tarv
{

// The console's drawing resources. Making them makes no GL call.
struct ConsoleArt
{
    ConsoleArt();

    SmartPtr<Surface> font;
    // Off-screen cells in the 16-bit (RGB565) format: a glyph while it is tinted, and the tinted
    // glyph, which is keyed on black once it has taken the flags of a keyed font.
    SmartPtr<Surface> glyphCell;
    SmartPtr<Surface> tintedCell;
    Tint tint;
    SmartPtr<Surface> diskIcon;
    // The font's flags while they are lent to the tinted cell.
    std::uint32_t lentFontFlags = 0;
};

class SurfaceCanvas : public ConsoleCanvas
{
public:
    // Both borrowed for the canvas's life.
    SurfaceCanvas(ConsoleArt& art, Surface& target) : m_art(art), m_target(target) {}

    int GetWidth() const override { return m_target.GetWidth(); }
    int GetHeight() const override { return m_target.GetHeight(); }
    void FillRect(int x1, int y1, int x2, int y2, const ConsoleColor& color) override;
    void DrawRect(int x1, int y1, int x2, int y2, const ConsoleColor& color) override;
    void DrawLine(int x1, int y1, int x2, int y2, const ConsoleColor& color) override;
    void DrawGlyph(int x, int y, int cell) override;
    // The font's cell is copied into the glyph cell, tinted from there into the tinted cell,
    // and the tinted cell is drawn: three render targets a coloured glyph.
    void DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b) override;
    void BeginTinting() override;
    void EndTinting() override;
    void DrawDiskIcon(int x, int y) override;
    void SetFontKeyed(bool keyed) override;

private:
    ConsoleArt& m_art;
    Surface& m_target;
};

} // namespace Tarv
