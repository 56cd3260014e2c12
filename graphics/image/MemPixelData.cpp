// Memory pixel data: per-pixel access with the engine's blend rule, copies and text images.
#include "graphics/image/MemPixelData.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace Tarv
{

namespace
{

constexpr int MAX_TEXT_COLORS = 4096;
constexpr int MAX_KEY_CHARS = 8;

// One channel of s over d by alpha a, rounded the way the engine has always done it.
std::uint8_t Blend(int s, int d, int a)
{
    const int t = s * a + d * (255 - a) + 1;
    return std::uint8_t((t + (t >> 8)) >> 8);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

// Reads one "%i"-style integer; false when there is none or it does not fit an int.
bool ReadInt(const char*& p, int& out)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 0);
    if (end == p || errno == ERANGE || value < -2147483647L - 1 || value > 2147483647L)
        return false;
    out = int(value);
    p = end;
    return true;
}

// The colour of a colour line after its key: skip one character, then "%c %s".
bool ReadColorWord(const char* rest, Color& out)
{
    if (*rest == '\0')
        return false;
    ++rest;
    while (*rest != '\0' && std::isspace(static_cast<unsigned char>(*rest)))
        ++rest;
    if (*rest == '\0')
        return false;
    ++rest; // the colour kind letter, whatever it is
    while (*rest != '\0' && std::isspace(static_cast<unsigned char>(*rest)))
        ++rest;
    if (rest[0] != '#' || std::strlen(rest) < 7)
        return false;
    out = Color{std::uint8_t(HexPairToByte(rest + 1)), std::uint8_t(HexPairToByte(rest + 3)),
                std::uint8_t(HexPairToByte(rest + 5)), 255};
    return true;
}

} // namespace

int HexPairToByte(const char* p)
{
    return 16 * HexDigit(p[0]) + HexDigit(p[1]);
}

MemPixelData::MemPixelData(int width, int height, PixelFormat format)
{
    Allocate(width, height, format);
}

MemPixelData::MemPixelData(const PixelData& source)
{
    const std::uint8_t* pixels = source.GetPixelsConst();
    const PixelFormat format = source.GetFormat();
    if (pixels == nullptr || format < PIXEL_FORMAT_A8 || format > PIXEL_FORMAT_RGBA8888)
        return;
    const int rowBytes = GetFormatInfo(format)->bytesPerPixel * source.GetWidth();
    if (source.GetPitch() < rowBytes)
        return;
    Allocate(source.GetWidth(), source.GetHeight(), format);
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_pixels.get() + std::size_t(y) * m_pitch,
                    pixels + std::size_t(y) * source.GetPitch(), std::size_t(m_pitch));
}

MemPixelData::MemPixelData(const char* const* lines)
{
    m_format = PIXEL_FORMAT_RGB888;
    if (lines != nullptr && lines[0] != nullptr)
        ReadTextImage(lines);
}

void MemPixelData::Allocate(int width, int height, PixelFormat format)
{
    m_format = format;
    if (format < PIXEL_FORMAT_A8 || format > PIXEL_FORMAT_RGBA8888 || !IsSizeAllowed(width, height))
        return;
    m_width = width;
    m_height = height;
    m_pitch = GetFormatInfo(format)->bytesPerPixel * width;
    m_pixels.reset(new std::uint8_t[GetByteSize()]);
}

void MemPixelData::ReadTextImage(const char* const* lines)
{
    const char* p = lines[0];
    int width = 0, height = 0, colorCount = 0, keyChars = 0;
    if (!ReadInt(p, width) || !ReadInt(p, height) || !ReadInt(p, colorCount) || !ReadInt(p, keyChars))
        return;
    if (colorCount < 0 || colorCount > MAX_TEXT_COLORS || keyChars < 1 || keyChars > MAX_KEY_CHARS)
        return;
    Allocate(width, height, PIXEL_FORMAT_RGB888);
    if (!m_pixels)
        return;
    std::memset(m_pixels.get(), 0, GetByteSize());

    std::map<std::string, Color> colors;
    int line = 1;
    for (; line <= colorCount && lines[line] != nullptr; ++line) {
        const char* text = lines[line];
        if (std::strlen(text) < std::size_t(keyChars))
            continue;
        Color color{0, 0, 0, 255};
        ReadColorWord(text + keyChars, color);
        colors[std::string(text, std::size_t(keyChars))] = color;
    }
    if (line <= colorCount)
        return;

    for (int y = 0; y < m_height && lines[line + y] != nullptr; ++y) {
        const char* row = lines[line + y];
        const std::size_t length = std::strlen(row);
        std::uint8_t* out = m_pixels.get() + std::size_t(y) * m_pitch;
        for (int x = 0; x < m_width; ++x, out += 3) {
            const std::size_t start = std::size_t(x) * std::size_t(keyChars);
            if (start + std::size_t(keyChars) > length)
                break;
            const auto found = colors.find(std::string(row + start, std::size_t(keyChars)));
            if (found == colors.end())
                continue;
            out[0] = found->second.b;
            out[1] = found->second.g;
            out[2] = found->second.r;
        }
    }
}

Color MemPixelData::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return Color{0, 0, 0, 0};
    const std::uint8_t* p = m_pixels.get() + std::size_t(y) * m_pitch
        + std::size_t(x) * GetFormatInfo(m_format)->bytesPerPixel;
    switch (m_format) {
    case PIXEL_FORMAT_RGB565: {
        const unsigned v = unsigned(p[0]) | (unsigned(p[1]) << 8);
        return Color{std::uint8_t((v >> 8) & 0xF8), std::uint8_t((v & 0x7E0) >> 3),
                     std::uint8_t((v & 0x1F) << 3), 255};
    }
    case PIXEL_FORMAT_RGB888:
        return Color{p[2], p[1], p[0], 255};
    case PIXEL_FORMAT_RGBA8888:
        return Color{p[2], p[1], p[0], p[3]};
    default:
        return Color{0, 0, 0, 255};
    }
}

void MemPixelData::SetPixel(int x, int y, const Color& c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    std::uint8_t* p = m_pixels.get() + std::size_t(y) * m_pitch
        + std::size_t(x) * GetFormatInfo(m_format)->bytesPerPixel;
    switch (m_format) {
    case PIXEL_FORMAT_RGBA8888:
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
        p[3] = c.a;
        break;
    case PIXEL_FORMAT_RGB888:
        p[0] = Blend(c.b, p[0], c.a);
        p[1] = Blend(c.g, p[1], c.a);
        p[2] = Blend(c.r, p[2], c.a);
        break;
    case PIXEL_FORMAT_RGB565: {
        const unsigned v = unsigned(p[0]) | (unsigned(p[1]) << 8);
        const unsigned r = Blend(c.r, int((v >> 8) & 0xF8), c.a);
        const unsigned g = Blend(c.g, int((v & 0x7E0) >> 3), c.a);
        const unsigned b = Blend(c.b, int((v & 0x1F) << 3), c.a);
        const unsigned packed = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        p[0] = std::uint8_t(packed & 0xFF);
        p[1] = std::uint8_t(packed >> 8);
        break;
    }
    default:
        break;
    }
}

} // namespace Tarv
