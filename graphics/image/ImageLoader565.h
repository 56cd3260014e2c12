// Tarv::ImageLoader565: "C565" files, raw RGB565 pixels as memory pixel data of format 1.
#pragma once

#include "graphics/image/ImageLoader.h"

namespace Tarv
{

// "C565", width and height (little-endian 32-bit each), then 2 x width x height pixel bytes.
constexpr std::size_t C565_HEADER_SIZE = 12;

class ImageLoader565 : public ImageLoader
{
public:
    // True when the data starts with the characters "C565".
    static bool Probe(const std::uint8_t* data, std::size_t size);

    // Null when the header is short, the size is not allowed or the pixels are cut short.
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;
};

} // namespace Tarv
