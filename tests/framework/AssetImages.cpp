// Decodes an image file through the engine's readers into RGBA rows.
#include "tests/framework/AssetImages.h"

#include "graphics/image/ImageLoader.h"

namespace AssetTest
{

bool DecodeRgba(const Tarv::NarrowString& path, int& width, int& height, std::vector<std::uint8_t>& rgba)
{
    const Tarv::SmartPtr<Tarv::PixelData> pixels = Tarv::ImageLoader::LoadPixelsFromFile(path);
    if (!pixels)
        return false;
    width = pixels->GetWidth();
    height = pixels->GetHeight();
    rgba.clear();
    rgba.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Tarv::Color c = pixels->GetPixel(x, y);
            rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
        }
    }
    return true;
}

} // namespace AssetTest
