// Tarv::NarrowString: UTF-8 encoding of wide text and the number-to-text append helpers.
#include "engine/core/NarrowString.h"

#include "engine/core/Utf8.h"
#include "engine/core/WideString.h"

#include <cstdio>
#include <vector>

namespace Tarv
{

namespace
{

// Six bytes per character, the longest form the encoder writes, so no text is cut short.
constexpr std::size_t MAX_BYTES_PER_CHAR = 6;

template <typename T>
NarrowString& AppendFormatted(NarrowString& target, const char* format, T value)
{
    // Wide enough for "%f" of the largest float (39 integer digits, a point, six decimals).
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof(buffer), format, value);
    if (length <= 0)
        return target;
    const std::size_t kept = static_cast<std::size_t>(length);
    target.append(buffer, kept < sizeof(buffer) ? kept : sizeof(buffer) - 1);
    return target;
}

} // namespace

NarrowString::NarrowString(const WideString& text)
{
    if (text.empty())
        return;
    std::vector<char> scratch(text.size() * MAX_BYTES_PER_CHAR);
    const int written = EncodeUtf8(scratch.data(), scratch.size(), text.data(), text.size());
    if (written > 0)
        assign(scratch.data(), static_cast<std::size_t>(written));
}

NarrowString& NarrowString::AppendChar(char c)
{
    push_back(c);
    return *this;
}

NarrowString& NarrowString::AppendInt(int value)
{
    return AppendFormatted(*this, "%i", value);
}

NarrowString& NarrowString::AppendUInt(unsigned value)
{
    return AppendFormatted(*this, "%u", value);
}

NarrowString& NarrowString::AppendFloat(float value)
{
    return AppendFormatted(*this, "%f", static_cast<double>(value));
}

} // namespace Tarv
