// Integer helpers of the World's cell arithmetic that keep far-off and non-finite values from
// overflowing: every cell index they give lies within +-CELL_INDEX_LIMIT.
#pragma once

#include <cmath>
#include <cstdint>

namespace Pirrock
{

constexpr int CELL_INDEX_LIMIT = 1 << 30;

// The value truncated toward zero, clamped to the limit; NaN gives -CELL_INDEX_LIMIT.
inline int TruncToCellIndex(float value)
{
    if (!(value > -static_cast<float>(CELL_INDEX_LIMIT)))
        return -CELL_INDEX_LIMIT;
    if (!(value < static_cast<float>(CELL_INDEX_LIMIT)))
        return CELL_INDEX_LIMIT;
    return static_cast<int>(std::trunc(value));
}

// index + delta, saturating at the limit.
inline int OffsetIndex(int index, int delta)
{
    const std::int64_t sum = std::int64_t(index) + delta;
    if (sum < -CELL_INDEX_LIMIT)
        return -CELL_INDEX_LIMIT;
    if (sum > CELL_INDEX_LIMIT)
        return CELL_INDEX_LIMIT;
    return static_cast<int>(sum);
}

} // namespace Pirrock
