// Tarv::PngImageLoader: PNG files through libpng 1.6, to memory pixel data of format 0, 2 or 3.
#pragma once

#include "graphics/image/ImageLoader.h"

namespace Tarv
{

class PngImageLoader : public ImageLoader
{
public:
    // True when the data starts with the first four bytes of the PNG signature.
    static bool Probe(const std::uint8_t* data, std::size_t size);

    // Grey -> format 0 (the grey level becomes coverage); grey with a transparency chunk, grey
    // with alpha and RGBA -> format 3; RGB and palette -> format 2, or 3 with a transparency
    // chunk. 16-bit samples become 8-bit; interlaced files load. Any libpng error gives null.
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;
    // The same formats decoded straight into the texture layout.
    PixelDataGL* DecodeTexture(const std::uint8_t* data, std::size_t size) override;
};

} // namespace Tarv
