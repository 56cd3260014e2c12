// Tarv::RgbaImage: a plain red, green, blue, alpha pixel buffer that the content tools convert
// loaded images into, pack and write out.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstdint>
#include <vector>

namespace Tarv
{

class PixelData;

struct RgbaImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width x height x 4 bytes, top row first

    // The pixels of memory pixel data of formats 0-3; format 0 becomes white with its bytes as
    // alpha. False (image left empty) for anything else.
    static bool FromPixelData(const PixelData& source, RgbaImage& out);
    // Reads any image file the engine reads (PNG, JPEG, TGA, "C565") from a host path.
    static bool ReadFile(const NarrowString& path, RgbaImage& out);
    // An RGBA PNG (colour type 6) of the image.
    bool WritePng(std::vector<std::uint8_t>& out) const;
};

} // namespace Tarv
