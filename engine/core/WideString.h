// Tarv::WideString: displayed text, one 32-bit code point per element.
#pragma once

#include <string>

namespace Tarv
{

class NarrowString;

class WideString : public std::u32string
{
public:
    using std::u32string::u32string;
    WideString() = default;
    WideString(const std::u32string& text) : std::u32string(text) {}
    WideString(std::u32string&& text) : std::u32string(std::move(text)) {}
    // Strict UTF-8 decoding, independent of the C locale. Conversion ends at a NUL byte; any
    // invalid sequence gives an empty text.
    explicit WideString(const NarrowString& text);
};

} // namespace Tarv
