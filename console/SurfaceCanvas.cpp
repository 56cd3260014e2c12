// SurfaceCanvas: console drawing as surface operations, and the console's images.
#include "console/SurfaceCanvas.h"

#include "console/ConsoleImages.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/image/MemPixelData.h"
#include "graphics/render/Color.h"

namespace Tarv
{

namespace
{

const std::uint8_t* Bytes(const ConsoleColor& color)
{
    return &color.r;
}

} // namespace

ConsoleArt::ConsoleArt()
{
    MemPixelData fontPixels(CONSOLE_FONT_IMAGE);
    fontPixels.SetColorKey(Color{0, 0, 0, 255});
    font = CreateSurface(&fontPixels);
    const MemPixelData iconPixels(DISK_ICON_IMAGE);
    diskIcon = CreateSurface(&iconPixels);
    diskIcon->SetFlags(Surface::FLAG_COLOR_KEY);
}

void SurfaceCanvas::FillRect(int x1, int y1, int x2, int y2, const ConsoleColor& color)
{
    m_target.FillRect(x1, y1, x2, y2, Bytes(color));
}

void SurfaceCanvas::DrawRect(int x1, int y1, int x2, int y2, const ConsoleColor& color)
{
    m_target.DrawRect(x1, y1, x2, y2, Bytes(color));
}

void SurfaceCanvas::DrawLine(int x1, int y1, int x2, int y2, const ConsoleColor& color)
{
    m_target.DrawLine(x1, y1, x2, y2, Bytes(color));
}

void SurfaceCanvas::DrawGlyph(int x, int y, int cell)
{
    const int rect[4] = {cell * GLYPH_WIDTH, 0, GLYPH_WIDTH, GLYPH_HEIGHT};
    m_target.Blit(x, y, m_art.font.Get(), rect);
}

void SurfaceCanvas::DrawTintedGlyph(int x, int y, int cell, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const int rect[4] = {cell * GLYPH_WIDTH, 0, GLYPH_WIDTH, GLYPH_HEIGHT};
    const std::uint8_t tint[4] = {r, g, b, 255};
    m_target.BlitTinted(x, y, tint, m_art.font.Get(), rect);
}

void SurfaceCanvas::DrawDiskIcon(int x, int y)
{
    const int rect[4] = {0, 0, DISK_ICON_SIZE, DISK_ICON_SIZE};
    m_target.Blit(x, y, m_art.diskIcon.Get(), rect);
}

void SurfaceCanvas::SetFontKeyed(bool keyed)
{
    Surface& font = *m_art.font;
    const std::uint32_t flags = font.GetFlags(0xffffffffu);
    font.SetFlags(keyed ? flags | Surface::FLAG_COLOR_KEY : flags & ~Surface::FLAG_COLOR_KEY);
}

} // namespace Tarv
