// Tarv::AtlasSurface: one named region of an atlas page, a full surface that draws only its
// sub-rectangle of the page's shared texture.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"

#include <cstdint>

namespace Tarv
{

class AtlasSurface : public Surface
{
public:
    // Shares the page's texture and holds the page. A null page gives a surface without pixel
    // data that draws nothing.
    AtlasSurface(Surface* image, int x, int y, int width, int height);
    ~AtlasSurface() override;

    // The region's own size.
    int GetWidth() const override { return m_width; }
    int GetHeight() const override { return m_height; }
    // The page's flags: its colour keying and filtering apply to every region.
    std::uint32_t GetFlags(std::uint32_t mask) const override;
    // Where the region starts in the page.
    int GetSourceX() const override { return m_x; }
    int GetSourceY() const override { return m_y; }

    Surface* GetImage() const { return m_image.Get(); }

private:
    SmartPtr<Surface> m_image;
    int m_x;
    int m_y;
    int m_width;
    int m_height;
};

} // namespace Tarv
