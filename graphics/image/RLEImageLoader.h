// Tarv::RLEImageLoader: "CRLE" files, run-length pixel data of format 4.
#pragma once

#include "graphics/image/ImageLoader.h"

namespace Tarv
{

// "CRLE", width, height and data size (little-endian 32-bit each), then the run-length rows.
constexpr std::size_t CRLE_HEADER_SIZE = 16;

class RLEImageLoader : public ImageLoader
{
public:
    // True when the data starts with the characters "CRLE".
    static bool Probe(const std::uint8_t* data, std::size_t size);

    // Null when the header is short, the size is not allowed, the data size reaches past the
    // file, or the runs do not cover width x height exactly.
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;
};

} // namespace Tarv
