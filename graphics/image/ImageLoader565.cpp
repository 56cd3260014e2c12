// "C565" reading with the pixel count checked against the file.
#include "graphics/image/ImageLoader565.h"

#include "graphics/image/MemPixelData.h"

#include <cstring>

namespace Tarv
{

bool ImageLoader565::Probe(const std::uint8_t* data, std::size_t size)
{
    return data != nullptr && size >= 4 && std::memcmp(data, "C565", 4) == 0;
}

SmartPtr<PixelData> ImageLoader565::Decode(const std::uint8_t* data, std::size_t size)
{
    if (!Probe(data, size) || size < C565_HEADER_SIZE)
        return nullptr;
    const std::uint32_t width = ReadLittle32(data + 4);
    const std::uint32_t height = ReadLittle32(data + 8);
    if (!PixelData::IsSizeAllowed(width, height))
        return nullptr;
    const std::size_t pixelBytes = std::size_t(width) * height * 2;
    if (size - C565_HEADER_SIZE < pixelBytes)
        return nullptr;
    SmartPtr<MemPixelData> pixels(new MemPixelData(int(width), int(height), PIXEL_FORMAT_RGB565));
    std::memcpy(pixels->GetPixels(), data + C565_HEADER_SIZE, pixelBytes);
    return SmartPtr<PixelData>(pixels.Get());
}

} // namespace Tarv
