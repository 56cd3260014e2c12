// Tarv::JpegImageLoader: JFIF JPEG files through libjpeg-turbo, to memory pixel data of format 2.
#pragma once

#include "graphics/image/ImageLoader.h"

namespace Tarv
{

class JpegImageLoader : public ImageLoader
{
public:
    // True when the data starts FF D8 FF E0: start of image, then a JFIF APP0 segment. A file
    // with another first segment (an Exif APP1, say) is not taken.
    static bool Probe(const std::uint8_t* data, std::size_t size);

    // Colour and greyscale images decode to blue, green, red bytes; CMYK and YCCK images, and
    // any error the library detects, give null (the process never ends).
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;
    // The same image decoded straight into the texture layout (RGB888, red first).
    PixelDataGL* DecodeTexture(const std::uint8_t* data, std::size_t size) override;
};

} // namespace Tarv
