// Tarv::TgaImageLoader: uncompressed true-colour TGA files (type 2) of 15, 16, 24 or 32 bits a
// pixel, read to memory pixel data of format 1, 2 or 3, and written back.
#pragma once

#include "graphics/image/ImageLoader.h"

namespace Tarv
{

constexpr std::size_t TGA_HEADER_SIZE = 18;

class TgaImageLoader : public ImageLoader
{
public:
    // True when an 18-byte header is there with image type 2 and pixel depth 15, 16, 24 or 32.
    static bool Probe(const std::uint8_t* data, std::size_t size);

    // The image ID and any colour map are skipped; 15/16-bit X1R5G5B5 pixels become RGB565
    // words (green's lowest bit 0), 24/32-bit pixels are used as stored. Rows come out top first,
    // left to right, whatever the origin bits say. Short data gives null.
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;
    // Formats 0 (8 bits a pixel), 1 (as 15-bit X1R5G5B5), 2 and 3, top row first, descriptor
    // 0x27 whatever the format. Run-length data is refused: it has no pixels of a fixed size.
    bool Encode(const PixelData& pixels, std::vector<std::uint8_t>& out) override;
};

} // namespace Tarv
