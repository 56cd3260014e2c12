// Range-checked number readers shared by the XML layer and the registry file reader.
#include "engine/core/TextNumber.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace Tarv
{

namespace
{

// The white space of the C locale's isspace, fixed so the locale cannot change it.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipSpace(const char* text)
{
    while (IsSpace(*text))
        ++text;
    return text;
}

// Reads a signed number in base (0 for the "%i" forms) into a long long; false when no digits
// start the text or the value doesn't fit a long long.
bool ReadSigned(const char* text, int base, long long& out)
{
    if (text == nullptr)
        return false;
    text = SkipSpace(text);
    // strtoll would also take a sign followed by space; scanf doesn't, and neither do we.
    const char* digits = (*text == '+' || *text == '-') ? text + 1 : text;
    if (!IsDigit(*digits))
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, base);
    if (end == text || errno == ERANGE)
        return false;
    out = value;
    return true;
}

// Decimal digits with an optional sign, where any value below zero is out of range.
bool ReadUnsigned(const char* text, unsigned long long limit, unsigned long long& out)
{
    long long value = 0;
    if (!ReadSigned(text, 10, value) || value < 0)
        return false;
    if (static_cast<unsigned long long>(value) > limit)
        return false;
    out = static_cast<unsigned long long>(value);
    return true;
}

} // namespace

bool ReadTextInt(const char* text, int& out)
{
    long long value = 0;
    if (!ReadSigned(text, 0, value) || value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool ReadTextUInt(const char* text, unsigned& out)
{
    unsigned long long value = 0;
    if (!ReadUnsigned(text, UINT_MAX, value))
        return false;
    out = static_cast<unsigned>(value);
    return true;
}

bool ReadTextShort(const char* text, short& out)
{
    long long value = 0;
    if (!ReadSigned(text, 10, value) || value < SHRT_MIN || value > SHRT_MAX)
        return false;
    out = static_cast<short>(value);
    return true;
}

bool ReadTextUShort(const char* text, unsigned short& out)
{
    unsigned long long value = 0;
    if (!ReadUnsigned(text, USHRT_MAX, value))
        return false;
    out = static_cast<unsigned short>(value);
    return true;
}

bool ReadTextFixedFloat(const char* text, float& out)
{
    if (text == nullptr)
        return false;
    const char* p = SkipSpace(text);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    if (!IsDigit(*p))
        return false;

    // Digits accumulate in double, so long texts lose precision instead of overflowing; the
    // common short forms (up to nine digits each side) use the single-precision sum the
    // engine's data was tuned with.
    double integer = 0.0;
    int integerDigits = 0;
    for (; IsDigit(*p); ++p, ++integerDigits)
        integer = integer * 10.0 + (*p - '0');

    double fraction = 0.0;
    double scale = 1.0;
    int fractionDigits = 0;
    if (p[0] == '.' && IsDigit(p[1])) {
        for (++p; IsDigit(*p); ++p, ++fractionDigits) {
            // Digits past the eighteenth no longer change a double.
            if (fractionDigits < 18) {
                fraction = fraction * 10.0 + (*p - '0');
                scale *= 10.0;
            }
        }
    }

    float value = 0.0f;
    if (integerDigits <= 9 && fractionDigits <= 9) {
        value = static_cast<float>(integer) + static_cast<float>(fraction) / static_cast<float>(scale);
    } else {
        const double wide = integer + fraction / scale;
        if (!(wide <= FLT_MAX))
            return false;
        value = static_cast<float>(wide);
    }
    out = negative ? -value : value;
    return true;
}

namespace
{

// One "%f" conversion after optional white space; finite values only.
bool ReadVectorPart(const char*& p, float& out)
{
    p = SkipSpace(p);
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(p, &end);
    if (end == p || errno == ERANGE || !std::isfinite(value))
        return false;
    out = value;
    p = end;
    return true;
}

bool ReadComma(const char*& p)
{
    p = SkipSpace(p);
    if (*p != ',')
        return false;
    ++p;
    return true;
}

} // namespace

bool ReadTextVector(const char* text, float& x, float& y, float& z)
{
    if (text == nullptr)
        return false;
    const char* p = text;
    return ReadVectorPart(p, x) && ReadComma(p) && ReadVectorPart(p, y) && ReadComma(p)
        && ReadVectorPart(p, z);
}

} // namespace Tarv
