// The drawing side of font page loading: packed pixels become a texture image and a surface.
#include "graphics/text/FontImage.h"

#include "graphics/render/Surface.h"
#include "graphics/render/Texture.h"

#include <string>

namespace Tarv
{

Surface* CreateFontSurface(int width, int height, bool alphaOnly,
                                    const std::uint8_t* bytes, std::size_t size)
{
    const int format = alphaOnly ? PIXEL_FORMAT_ALPHA8 : PIXEL_FORMAT_RGBA8888;
    Texture* texture = Texture::CreateFromPixels(width, height, format, bytes, size);
    if (texture == nullptr)
        return nullptr;
    return new Surface(texture);
}

void ApplyFontImageOptions(Surface* surface, const NarrowString& options)
{
    if (surface == nullptr)
        return;
    std::uint32_t flags = 0;
    std::size_t start = 0;
    while (start < options.size()) {
        std::size_t end = options.find(',', start);
        if (end == NarrowString::npos)
            end = options.size();
        const std::string word = options.substr(start, end - start);
        if (word == "linear")
            flags |= SURFACE_LINEAR;
        else if (word == "ck")
            flags |= SURFACE_COLOR_KEY;
        start = end + 1;
    }
    surface->SetFlags(flags);
}

} // namespace Tarv
