// Run-length pixel data: owns the encoded bytes and admits only data that decodes cleanly.
#include "graphics/image/PixelDataRLE.h"

#include "graphics/image/RunLength.h"

#include <cstring>

namespace Tarv
{

PixelDataRLE::PixelDataRLE(int width, int height, int size, const std::uint8_t* data)
{
    m_width = width;
    m_height = height;
    m_pitch = 0;
    m_format = PIXEL_FORMAT_RLE;
    if (data == nullptr || size <= 0)
        return;
    m_size = size;
    m_data.reset(new std::uint8_t[std::size_t(size)]);
    std::memcpy(m_data.get(), data, std::size_t(size));
}

SmartPtr<PixelDataRLE> PixelDataRLE::Create(int width, int height, int size, const std::uint8_t* data)
{
    if (!IsSizeAllowed(width, height) || size <= 0
        || !DecodeRunLength(data, std::size_t(size), width, height, nullptr, 0))
        return nullptr;
    return SmartPtr<PixelDataRLE>(new PixelDataRLE(width, height, size, data));
}

} // namespace Tarv
