// SurfaceCanvas: console drawing as surface operations, and the console's images.
#include "console/SurfaceCanvas.h"

#include "console/ConsoleImages.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/image/MemPixelData.h"
#include "graphics/render/Color.h"
#include "graphics/render/PixelDataGL.h"

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
    glyphCell = MakeSmart<Surface>(ConsoleCanvas::GLYPH_WIDTH, ConsoleCanvas::GLYPH_HEIGHT, PixelDataGL::FORMAT_RGB565);
    tintedCell = MakeSmart<Surface>(ConsoleCanvas::GLYPH_WIDTH, ConsoleCanvas::GLYPH_HEIGHT, PixelDataGL::FORMAT_RGB565);
    if (PixelData* pixels = tintedCell->GetPixelData())
        pixels->SetColorKey(Color{0, 0, 0, 255});
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
    m_art.glyphCell->Blit(0, 0, m_art.font.Get(), rect);
    const float red = r / 255.0f, green = g / 255.0f, blue = b / 255.0f;
    m_art.tint.SetColor(&red, &green, &blue);
    m_art.tint.Apply(m_art.glyphCell.Get(), m_art.tintedCell.Get());
    const int whole[4] = {0, 0, GLYPH_WIDTH, GLYPH_HEIGHT};
    m_target.Blit(x, y, m_art.tintedCell.Get(), whole);
}

void SurfaceCanvas::BeginTinting()
{
    Surface& font = *m_art.font;
    m_art.lentFontFlags = font.GetFlags(0xffffffffu);
    m_art.tintedCell->SetFlags(m_art.tintedCell->GetFlags(0xffffffffu) | m_art.lentFontFlags);
    font.SetFlags(0);
}

void SurfaceCanvas::EndTinting()
{
    Surface& font = *m_art.font;
    font.SetFlags(font.GetFlags(0xffffffffu) | m_art.lentFontFlags);
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
