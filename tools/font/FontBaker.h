// The font baker: renders chosen characters of a TrueType font at one pixel size into a greyscale
// glyph page and the bitmap-font XML that describes its cells and kerning pairs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tarv
{
namespace Tools
{

struct FontBakeOptions
{
    std::string fontPath;
    int pixelSize = 16;
    // Characters to bake; tab, line feed, space and U+FFFD are always added.
    std::vector<std::uint32_t> codes;
    // Page width in pixels; widened when one cell is wider.
    int pageWidth = 256;
};

struct BakedFont
{
    int pageWidth = 0;
    int pageHeight = 0;
    // One coverage byte a pixel, rows top first.
    std::vector<std::uint8_t> page;
    std::string xml;
    int lineHeight = 0;
    std::size_t glyphCount = 0;
    std::size_t kerningCount = 0;
};

// Parses a comma-separated list of "latin1", "ascii", codes and ranges "a-b" (decimal or 0x
// hexadecimal) into codes, in ascending order without repeats. False on a malformed item or a
// code above U+10FFFF.
bool ParseCodeList(const std::string& text, std::vector<std::uint32_t>& codes);

// Renders the font. Characters the font lacks are left out (U+FFFD stands in for them when the
// font has it). False with a message when the font cannot be opened or sized.
bool BakeFont(const FontBakeOptions& options, BakedFont& out, std::string& error);

// Writes base + ".png" (8-bit greyscale) and base + ".xml". False with a message on a write
// failure.
bool WriteBakedFont(const BakedFont& font, const std::string& base, std::string& error);

} // namespace Tools
} // namespace Tarv
