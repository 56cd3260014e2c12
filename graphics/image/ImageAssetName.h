// Tarv::ImageAssetName: the split of an image asset name into the file path and the options
// written after its last "@" ("linear", "ck", "565", "rle").
#pragma once

#include "engine/core/NarrowString.h"

#include <cstdint>

namespace Tarv
{

// Surface flag bits that image options set.
constexpr std::uint32_t SURFACE_FLAG_COLOR_KEY = 1;
constexpr std::uint32_t SURFACE_FLAG_LINEAR = 2;

struct ImageAssetName
{
    NarrowString path;        // what the image loader opens
    bool hasOptions = false;  // the name had an "@" (possibly with an empty option list)
    std::uint32_t flags = 0;  // SURFACE_FLAG_* from "ck" and "linear"
    bool colorKey = false;    // "ck": the colour key becomes magenta

    // Splits at the last "@"; the options are ","-separated words, empty ones skipped, compared
    // exactly (no trimming, case-sensitive). "565" and "rle" are accepted and change nothing;
    // unknown words are ignored. Order and repetition make no difference.
    static ImageAssetName Parse(const NarrowString& name);
};

} // namespace Tarv
