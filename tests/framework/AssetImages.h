// Image decoding for the asset tests' surface reader, kept in its own file because the image
// readers' and the renderer's pixel-format constants share names.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstdint>
#include <vector>

namespace AssetTest
{

// The file's pixels as red, green, blue, alpha rows; false when it can't be read or decoded.
bool DecodeRgba(const Tarv::NarrowString& path, int& width, int& height, std::vector<std::uint8_t>& rgba);

} // namespace AssetTest
