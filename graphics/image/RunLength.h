// The engine's run-length pixel encoding (format 4): a checked decoder shared by validation and
// texture staging, and the encoder the content tools use.
//
// Each row: the byte 10, a little-endian 16-bit count of the run bytes that follow, then runs
// covering the row's width exactly. Each run: a type byte, a 16-bit pixel count (1 or more) and
// its payload: 0 transparent (none), 1 translucent literal (count x [alpha5, 565]), 2 opaque
// literal (count x 565), 3 translucent repeat ([alpha5, 565]), 4 opaque repeat (565).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarv
{

constexpr std::uint8_t RLE_ROW_MARK = 10;

enum RunType : std::uint8_t
{
    RUN_TRANSPARENT = 0,
    RUN_TRANSLUCENT_LITERAL = 1,
    RUN_OPAQUE_LITERAL = 2,
    RUN_TRANSLUCENT_REPEAT = 3,
    RUN_OPAQUE_REPEAT = 4,
};

// Walks height rows of width pixels in data: each row's 3-byte header is skipped whatever it
// holds, and its runs are walked until they cover the width. Each decoded row goes to out (when
// not null) as 4-byte red, green, blue, alpha pixels, rows outStride bytes apart. False, with
// out partly written, when the data is malformed: an unknown type, a count of 0, a run past the
// width, or anything that reaches past size. Bytes after the last row are ignored.
bool DecodeRunLength(const std::uint8_t* data, std::size_t size, int width, int height,
                     std::uint8_t* out, std::size_t outStride);

// Encodes width x height pixels given as 4-byte red, green, blue, alpha (rows width x 4 bytes
// apart). Colours keep their top 5, 6, 5 bits and alpha its top 5 bits; alpha5 0 becomes a
// transparent run and 31 an opaque one. Empty when a side is below 1 or a row's runs need
// more than 65535 bytes.
std::vector<std::uint8_t> EncodeRunLength(const std::uint8_t* rgba, int width, int height);

} // namespace Tarv
