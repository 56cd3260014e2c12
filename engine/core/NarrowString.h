// Tarv::NarrowString: 8-bit text (UTF-8 where it carries text): file names, registry values,
// XML and script text. A std::string with the engine's conversions and append helpers.
#pragma once

#include <string>

namespace Tarv
{

class WideString;

class NarrowString : public std::string
{
public:
    using std::string::string;
    NarrowString() = default;
    NarrowString(const std::string& text) : std::string(text) {}
    NarrowString(std::string&& text) : std::string(std::move(text)) {}
    // UTF-8 encoding of wide text; empty when the text holds a code point that may not be
    // encoded (a surrogate, U+FFFE, U+FFFF, or 2^31 and above).
    explicit NarrowString(const WideString& text);

    NarrowString& AppendChar(char c);
    NarrowString& AppendInt(int value);
    NarrowString& AppendUInt(unsigned value);
    // "%f": six decimals, so 0.5 appends "0.500000".
    NarrowString& AppendFloat(float value);
};

} // namespace Tarv
