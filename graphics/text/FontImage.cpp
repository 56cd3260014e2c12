// Font page loading without the asset dictionary: decode through the image readers, then stage
// the pixels as a texture image in the layout the drawing layer takes.
#include "graphics/text/FontImage.h"

#include "graphics/image/ImageLoader.h"
#include "graphics/image/PixelData.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Tarv
{

namespace
{

// Tightly packed rows of the pixels in the texture format that draws them the same way.
bool PackPixels(const PixelData* pixels, bool& alphaOnly, std::vector<std::uint8_t>& out)
{
    const int width = pixels->GetWidth(), height = pixels->GetHeight();
    const std::uint8_t* rows = pixels->GetPixelsConst();
    if (pixels->GetFormat() == PIXEL_FORMAT_A8 && rows != nullptr &&
        pixels->GetPitch() >= width) {
        alphaOnly = true;
        out.resize(std::size_t(width) * std::size_t(height));
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = rows + std::size_t(y) * std::size_t(pixels->GetPitch());
            std::copy(row, row + width, out.begin() + std::ptrdiff_t(y) * width);
        }
        return true;
    }
    alphaOnly = false;
    out.reserve(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color c = pixels->GetPixel(x, y);
            out.insert(out.end(), {c.r, c.g, c.b, c.a});
        }
    }
    return true;
}

} // namespace

Surface* CreateSurfaceFromPixels(const PixelData* pixels)
{
    if (pixels == nullptr || !PixelData::IsSizeAllowed(pixels->GetWidth(), pixels->GetHeight()))
        return nullptr;
    bool alphaOnly = false;
    std::vector<std::uint8_t> bytes;
    if (!PackPixels(pixels, alphaOnly, bytes))
        return nullptr;
    return CreateFontSurface(pixels->GetWidth(), pixels->GetHeight(), alphaOnly, bytes.data(),
                             bytes.size());
}

Surface* LoadFontImage(const NarrowString& imageKey)
{
    const std::size_t at = imageKey.rfind('@');
    const NarrowString path(imageKey.substr(0, at));
    const NarrowString options(at == NarrowString::npos ? std::string() : imageKey.substr(at + 1));
    SmartPtr<PixelData> pixels = ImageLoader::LoadPixelsFromFile(path);
    Surface* surface = CreateSurfaceFromPixels(pixels.Get());
    ApplyFontImageOptions(surface, options);
    return surface;
}

} // namespace Tarv
