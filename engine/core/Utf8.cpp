// UTF-8 encoding (RFC 2279 forms, as the engine has always written them) and a strict RFC 3629
// decoder that never consults the C locale.
#include "engine/core/Utf8.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace Tarv
{

namespace
{

bool IsEncodable(char32_t c)
{
    if (c >= 0xD800 && c < 0xE000)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c < 0x80000000u;
}

std::size_t EncodedLength(char32_t c)
{
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (c < 0x10000)
        return 3;
    if (c < 0x200000)
        return 4;
    if (c < 0x4000000)
        return 5;
    return 6;
}

// Lead byte marks for sequences of 2..6 bytes: as many leading one bits as the sequence has bytes.
constexpr unsigned char LEAD_MARKS[7] = {0, 0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

void WriteSequence(char* dest, char32_t c, std::size_t length)
{
    for (std::size_t i = length - 1; i > 0; --i) {
        dest[i] = static_cast<char>(0x80 | (c & 0x3F));
        c >>= 6;
    }
    dest[0] = static_cast<char>(LEAD_MARKS[length] | c);
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

int EncodeUtf8(char* dest, std::size_t destSize, const char32_t* src, std::size_t count)
{
    if (dest == nullptr || src == nullptr || destSize == 0 || count == 0)
        return 0;
    // The result is an int: never write more than it can count.
    if (destSize > static_cast<std::size_t>(INT_MAX))
        destSize = INT_MAX;

    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t c = src[i];
        if (c == 0)
            break;
        if (!IsEncodable(c))
            return -1;
        const std::size_t length = EncodedLength(c);
        if (length > destSize - written)
            break;
        if (length == 1)
            dest[written] = static_cast<char>(c);
        else
            WriteSequence(dest + written, c, length);
        written += length;
    }
    return static_cast<int>(written);
}

std::size_t DecodeUtf8Char(const char* src, std::size_t size, char32_t& codePoint)
{
    if (src == nullptr || size == 0)
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }

    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        // Continuation bytes, C0 and C1 (always overlong) and F5..FF (beyond U+10FFFF).
        return 0;
    }

    if (size < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(bytes[i]))
            return 0;
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return 0;
    codePoint = value;
    return length;
}

bool DecodeUtf8(const char* src, std::size_t size, std::u32string& out)
{
    out.clear();
    if (src == nullptr)
        return size == 0;
    // Conversion ends at the first NUL; never more code points than the bytes before it.
    const void* nul = std::memchr(src, 0, size);
    const std::size_t length =
        nul == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(nul) - src);
    out.reserve(length);
    std::size_t pos = 0;
    while (pos < length) {
        char32_t c = 0;
        const std::size_t charLength = DecodeUtf8Char(src + pos, length - pos, c);
        if (charLength == 0) {
            out.clear();
            return false;
        }
        out.push_back(c);
        pos += charLength;
    }
    return true;
}

} // namespace Tarv
