// Pirrock::Cell, a column and row of the World grid (row 0 at the top), and Pirrock::LevelItem,
// one non-empty cell of a level's code map.
#pragma once

#include "game/CellCode.h"

namespace Pirrock
{

struct Cell
{
    int x = 0;
    int y = 0;

    bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Cell& other) const { return !(*this == other); }
};

// What searches of the grid return when they find nothing.
constexpr Cell NO_CELL = {-1, -1};

inline Cell CellToRight(const Cell& cell)
{
    return Cell{cell.x + 1, cell.y};
}

struct LevelItem
{
    CellCode code = CODE_NONE;
    int x = 0;
    int y = 0;
};

} // namespace Pirrock
