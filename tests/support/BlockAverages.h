// Pictures kept as block averages: small golden files that still show where every panel, button
// and label stands, and that tolerate the driver's edge differences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace TestSupport
{

// The RGB averages of block x block squares of a width x height picture whose pixels have
// `channels` bytes each (3 or 4, RGB first); empty when the picture is smaller than that.
inline std::vector<std::uint8_t> BlockAverages(const std::vector<std::uint8_t>& pixels, int width, int height,
                                               int channels, int block)
{
    std::vector<std::uint8_t> out;
    if (pixels.size() < std::size_t(width) * std::size_t(height) * std::size_t(channels))
        return out;
    for (int by = 0; by + block <= height; by += block)
        for (int bx = 0; bx + block <= width; bx += block)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int y = by; y < by + block; ++y)
                    for (int x = bx; x < bx + block; ++x)
                        sum += pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels) +
                                      std::size_t(c)];
                out.push_back(std::uint8_t(sum / (block * block)));
            }
    return out;
}

} // namespace TestSupport
