// Writers of the engine's own image files, "C565" and "CRLE", from RGBA pixels.
#pragma once

#include "tools/image/RgbaImage.h"

#include <cstdint>
#include <vector>

namespace Tarv
{

class ImageConvert
{
public:
    // "C565": each pixel's top 5, 6, 5 colour bits; alpha is dropped. False for an empty image.
    static bool WriteC565(const RgbaImage& image, std::vector<std::uint8_t>& out);
    // "CRLE": the run-length rows of the image (alpha kept at 5 bits). False for an empty image
    // or one whose rows do not fit the format's 16-bit byte counts.
    static bool WriteCrle(const RgbaImage& image, std::vector<std::uint8_t>& out);
};

} // namespace Tarv
