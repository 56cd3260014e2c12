// Tarv::PixelData: an image's pixels with their size and pixel format, the base of memory,
// run-length and texture pixel data; also the pixel format table and the image size limits.
#pragma once

#include "engine/core/RefCounter.h"
#include "graphics/render/Color.h"

#include <cstddef>
#include <cstdint>

namespace Tarv
{

// Pixel format numbers; the byte layout of each is described at GetFormatInfo.
using PixelFormat = std::int32_t;
constexpr PixelFormat PIXEL_FORMAT_A8 = 0;       // one alpha (coverage) byte, drawn tinted
constexpr PixelFormat PIXEL_FORMAT_RGB565 = 1;   // little-endian word: red 11-15, green 5-10, blue 0-4
constexpr PixelFormat PIXEL_FORMAT_RGB888 = 2;   // bytes blue, green, red
constexpr PixelFormat PIXEL_FORMAT_RGBA8888 = 3; // bytes blue, green, red, alpha
constexpr PixelFormat PIXEL_FORMAT_RLE = 4;      // run-length rows, see RunLength.h
constexpr PixelFormat PIXEL_FORMAT_COUNT = 5;

// Kinds returned by GetKind.
constexpr int PIXEL_DATA_KIND_MEMORY = 0;
constexpr int PIXEL_DATA_KIND_RLE = 1;
constexpr int PIXEL_DATA_KIND_GL = 3;

// Every reader refuses images beyond these before allocating anything: a side of more than
// MAX_IMAGE_SIDE pixels, or more than MAX_IMAGE_BYTES of decoded pixels (at 4 bytes a pixel).
constexpr int MAX_IMAGE_SIDE = 8192;
constexpr std::size_t MAX_IMAGE_BYTES = std::size_t(64) << 20;

struct PixelFormatInfo
{
    std::int32_t bytesPerPixel;
    std::int32_t bitsPerPixel;
    std::int32_t redBits;
    std::int32_t greenBits;
    std::int32_t blueBits;
    std::int32_t alphaBits;
};

// Magenta: what colour-keyed drawing discards unless the key was changed.
constexpr Color DEFAULT_COLOR_KEY{255, 0, 255, 255};

class PixelData : public RefCounter
{
public:
    PixelData() = default;
    ~PixelData() override = default;

    // The table row of format; a number outside 0-4 gets the row of format 0 (never a read past
    // the table).
    static const PixelFormatInfo* GetFormatInfo(PixelFormat format);
    // True when width x height pixels of 4 bytes each stay within the limits above and both
    // sides are at least 1.
    static bool IsSizeAllowed(std::int64_t width, std::int64_t height);

    // Per-pixel access; the base has none: opaque black, and writes do nothing.
    virtual Color GetPixel(int x, int y) const;
    virtual void SetPixel(int x, int y, const Color& color);
    // The memory pixels or encoded data, or null when there are none on the CPU.
    virtual std::uint8_t* GetPixels() { return nullptr; }
    virtual const std::uint8_t* GetPixelsConst() const { return nullptr; }
    virtual float GetUScale() const { return 1.0f; }
    virtual float GetVScale() const { return 1.0f; }
    virtual int GetKind() const = 0;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetPitch() const { return m_pitch; }
    PixelFormat GetFormat() const { return m_format; }
    const Color& GetColorKey() const { return m_colorKey; }
    void SetColorKey(const Color& key) { m_colorKey = key; }

protected:
    int m_width = 0;
    int m_height = 0;
    int m_pitch = 0;
    PixelFormat m_format = PIXEL_FORMAT_A8;
    Color m_colorKey = DEFAULT_COLOR_KEY;
};

} // namespace Tarv
