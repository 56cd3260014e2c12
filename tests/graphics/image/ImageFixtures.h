// Test fixtures made on the spot: PNG and JPEG files written with libpng and libjpeg, and
// deterministic sample pixels, so no foreign image file is ever needed.
#pragma once

#include <cstdint>
#include <vector>

namespace ImageFixtures
{

using Bytes = std::vector<std::uint8_t>;

// A PNG of any colour type and bit depth. samples holds width x channels samples a row (16-bit
// samples as values up to 65535), channels as the colour type needs (1, 3, 1 index, 2, 4).
struct PngImage
{
    int width = 0;
    int height = 0;
    int colorType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<unsigned> samples;
    std::vector<std::uint8_t> palette; // r, g, b triples for colour type 3
    std::vector<std::uint8_t> paletteAlpha; // tRNS for colour type 3
    bool hasTransparentColor = false; // tRNS for colour types 0 and 2
    unsigned transparentGrey = 0;
    unsigned transparentRed = 0, transparentGreen = 0, transparentBlue = 0;
};

Bytes WritePng(const PngImage& image);

// A JPEG of 1, 3 or 4 components (grey, RGB, CMYK) from interleaved samples; jfif forces the
// JFIF marker even where libjpeg would leave it out (CMYK).
Bytes WriteJpeg(int width, int height, int components, const Bytes& samples, int quality, bool jfif,
                bool progressive = false);
// The pixels libjpeg itself decodes from a JPEG, as red, green, blue triples.
Bytes DecodeJpegRgb(const Bytes& file, int& width, int& height);

// Deterministic pseudo-random bytes.
Bytes RandomBytes(std::size_t count, std::uint32_t seed);

} // namespace ImageFixtures
