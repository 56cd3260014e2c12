// TGA reading and writing, with every header field checked against the data held.
#include "graphics/image/TgaImageLoader.h"

#include "graphics/image/MemPixelData.h"

#include <algorithm>
#include <cstring>

namespace Tarv
{

namespace
{

constexpr std::uint8_t TGA_TYPE_TRUE_COLOR = 2;
constexpr std::uint8_t TGA_RIGHT_TO_LEFT = 0x10;
constexpr std::uint8_t TGA_TOP_FIRST = 0x20;
// What the writer puts in every header: top row first, alpha-bits field 7.
constexpr std::uint8_t TGA_SAVED_DESCRIPTOR = 0x27;

PixelFormat FormatForDepth(int depth)
{
    return depth == 24 ? PIXEL_FORMAT_RGB888 : depth == 32 ? PIXEL_FORMAT_RGBA8888
                                                           : PIXEL_FORMAT_RGB565;
}

void ConvertX1R5G5B5(MemPixelData& pixels)
{
    std::uint8_t* p = pixels.GetPixels();
    const std::size_t count = pixels.GetByteSize() / 2;
    for (std::size_t i = 0; i < count; ++i, p += 2) {
        const unsigned v = ReadLittle16(p);
        const unsigned w = (v & 0x1F) | ((v & 0x7FE0) << 1);
        p[0] = std::uint8_t(w & 0xFF);
        p[1] = std::uint8_t(w >> 8);
    }
}

void MirrorRows(MemPixelData& pixels, int bytesPerPixel)
{
    const int width = pixels.GetWidth();
    for (int y = 0; y < pixels.GetHeight(); ++y) {
        std::uint8_t* row = pixels.GetPixels() + std::size_t(y) * pixels.GetPitch();
        for (int i = 0; i < width / 2; ++i)
            std::swap_ranges(row + i * bytesPerPixel, row + (i + 1) * bytesPerPixel,
                             row + (width - 1 - i) * bytesPerPixel);
    }
}

void ReverseRows(MemPixelData& pixels)
{
    const std::size_t pitch = std::size_t(pixels.GetPitch());
    const int height = pixels.GetHeight();
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* top = pixels.GetPixels() + pitch * y;
        std::swap_ranges(top, top + pitch, pixels.GetPixels() + pitch * (height - 1 - y));
    }
}

void PutLittle16(std::uint8_t* p, unsigned value)
{
    p[0] = std::uint8_t(value & 0xFF);
    p[1] = std::uint8_t((value >> 8) & 0xFF);
}

} // namespace

bool TgaImageLoader::Probe(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < TGA_HEADER_SIZE || data[2] != TGA_TYPE_TRUE_COLOR)
        return false;
    const int depth = data[16];
    return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

SmartPtr<PixelData> TgaImageLoader::Decode(const std::uint8_t* data, std::size_t size)
{
    if (!Probe(data, size))
        return nullptr;
    std::size_t offset = TGA_HEADER_SIZE + data[0];
    if (data[1] != 0)
        offset += std::size_t((data[7] + 7) / 8) * ReadLittle16(data + 5);
    const int width = int(ReadLittle16(data + 12));
    const int height = int(ReadLittle16(data + 14));
    const PixelFormat format = FormatForDepth(data[16]);
    const int bytesPerPixel = PixelData::GetFormatInfo(format)->bytesPerPixel;
    if (!PixelData::IsSizeAllowed(width, height) || offset > size)
        return nullptr;
    const std::size_t pixelBytes = std::size_t(width) * height * bytesPerPixel;
    if (size - offset < pixelBytes)
        return nullptr;

    SmartPtr<MemPixelData> pixels(new MemPixelData(width, height, format));
    std::memcpy(pixels->GetPixels(), data + offset, pixelBytes);
    if (format == PIXEL_FORMAT_RGB565)
        ConvertX1R5G5B5(*pixels);
    const std::uint8_t descriptor = data[17];
    if (descriptor & TGA_RIGHT_TO_LEFT)
        MirrorRows(*pixels, bytesPerPixel);
    if (!(descriptor & TGA_TOP_FIRST))
        ReverseRows(*pixels);
    return SmartPtr<PixelData>(pixels.Get());
}

bool TgaImageLoader::Encode(const PixelData& pixels, std::vector<std::uint8_t>& out)
{
    const PixelFormat format = pixels.GetFormat();
    const std::uint8_t* source = pixels.GetPixelsConst();
    if (source == nullptr || format < PIXEL_FORMAT_A8 || format > PIXEL_FORMAT_RGBA8888)
        return false;
    const int width = pixels.GetWidth();
    const int height = pixels.GetHeight();
    const int bytesPerPixel = PixelData::GetFormatInfo(format)->bytesPerPixel;
    if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF
        || pixels.GetPitch() < width * bytesPerPixel)
        return false;

    std::uint8_t header[TGA_HEADER_SIZE] = {};
    header[2] = TGA_TYPE_TRUE_COLOR;
    PutLittle16(header + 12, unsigned(width));
    PutLittle16(header + 14, unsigned(height));
    header[16] = std::uint8_t(bytesPerPixel == 2 ? 15 : 8 * bytesPerPixel);
    header[17] = TGA_SAVED_DESCRIPTOR;
    out.insert(out.end(), header, header + TGA_HEADER_SIZE);

    const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = source + std::size_t(y) * pixels.GetPitch();
        const std::size_t at = out.size();
        out.insert(out.end(), row, row + rowBytes);
        if (format != PIXEL_FORMAT_RGB565)
            continue;
        for (std::size_t i = at; i < out.size(); i += 2) {
            const unsigned v = ReadLittle16(&out[i]);
            PutLittle16(&out[i], (v & 0x1F) | ((v & 0xFFE0) >> 1));
        }
    }
    return true;
}

} // namespace Tarv
