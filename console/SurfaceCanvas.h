// Tarv::SurfaceCanvas: the console's canvas over a real surface, with the images that the
// console owns (ConsoleArt).
#pragma once

#include "console/ConsoleCanvas.h"
#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"

namespace Tarv
{

// The console's drawing resources. Making them makes no GL call.
struct ConsoleArt
{
    ConsoleArt();

    SmartPtr<Surface> font;
    SmartPtr<Surface> diskIcon;
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
    // The white glyph times the colour in the same batch as plain glyphs: the pixels of tinting
    // a copy of the cell off-screen, without two render-target switches per glyph.
    void DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b) override;
    void DrawDiskIcon(int x, int y) override;
    void SetFontKeyed(bool keyed) override;

private:
    ConsoleArt& m_art;
    Surface& m_target;
};

} // namespace Tarv
