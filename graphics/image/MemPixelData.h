// Tarv::MemPixelData: uncompressed pixels in a memory buffer (formats 0-3), as the image readers
// make them, plus the text-image constructor for images written into the code as strings.
#pragma once

#include "graphics/render/PixelData.h"

#include <memory>

namespace Tarv
{

class MemPixelData : public PixelData
{
public:
    // An uninitialised width x height buffer of format (0-3). A size beyond PixelData's limits
    // or another format gives an empty 0 x 0 image without pixels; readers check first.
    MemPixelData(int width, int height, PixelFormat format);
    // A copy of source's memory pixels (rows taken as pitch bytes apart); the colour key is the
    // default one. A source without memory pixels gives an empty 0 x 0 image.
    explicit MemPixelData(const PixelData& source);
    MemPixelData(const MemPixelData& source) : MemPixelData(static_cast<const PixelData&>(source)) {}
    MemPixelData& operator=(const MemPixelData&) = delete;
    // A format-2 image from an XPM-like string array: "W H N K", N colour lines (K key
    // characters, one skipped character, a kind letter and "#RRGGBB"), then H rows of W x K
    // characters. A null entry ends the array early. An unknown key, a bad colour word or a
    // missing part of a row gives black pixels; a bad first line gives an empty 0 x 0 image.
    explicit MemPixelData(const char* const* lines);

    // Out of range: (0, 0, 0, 0). 565 words are widened without bit replication; format 0
    // reads as opaque black.
    Color GetPixel(int x, int y) const override;
    // Format 3 stores the colour as is; formats 1 and 2 blend it over the stored pixel by its
    // alpha; format 0 and out-of-range coordinates change nothing.
    void SetPixel(int x, int y, const Color& color) override;
    std::uint8_t* GetPixels() override { return m_pixels.get(); }
    const std::uint8_t* GetPixelsConst() const override { return m_pixels.get(); }
    int GetKind() const override { return PIXEL_DATA_KIND_MEMORY; }

    // Bytes held: pitch x height.
    std::size_t GetByteSize() const { return std::size_t(m_pitch) * std::size_t(m_height); }

private:
    void Allocate(int width, int height, PixelFormat format);
    void ReadTextImage(const char* const* lines);

    std::unique_ptr<std::uint8_t[]> m_pixels;
};

// 16 x value(p[0]) + value(p[1]), where "0"-"9" count 0-9, "A"-"F" count 10-15 and every other
// character (lower-case letters included) counts 0. p must hold two characters.
int HexPairToByte(const char* p);

} // namespace Tarv
