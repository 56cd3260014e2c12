// The pixel format table and the base pixel data behaviour.
#include "graphics/render/PixelData.h"

namespace Tarv
{

namespace
{

const PixelFormatInfo FORMAT_TABLE[PIXEL_FORMAT_COUNT] = {
    {1, 8, 0, 0, 0, 8},
    {2, 16, 5, 6, 5, 0},
    {3, 24, 8, 8, 8, 0},
    {4, 32, 8, 8, 8, 8},
    {0, 32, 5, 6, 5, 5},
};

} // namespace

const PixelFormatInfo* PixelData::GetFormatInfo(PixelFormat format)
{
    if (format < 0 || format >= PIXEL_FORMAT_COUNT)
        return &FORMAT_TABLE[PIXEL_FORMAT_A8];
    return &FORMAT_TABLE[format];
}

bool PixelData::IsSizeAllowed(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE)
        return false;
    return std::uint64_t(width) * std::uint64_t(height) * 4u <= MAX_IMAGE_BYTES;
}

Color PixelData::GetPixel(int, int) const
{
    return Color{0, 0, 0, 255};
}

void PixelData::SetPixel(int, int, const Color&)
{
}

} // namespace Tarv
