// Pirrock::CodeMap: a level's logical layout as read from its code-map file: the grid's size, the
// size of one cell in world units, the non-empty cells and the hero's start cell.
#pragma once

#include "engine/core/NarrowString.h"
#include "game/Cell.h"

#include <vector>

namespace Pirrock
{

// Limits of a grid the game accepts; shipped levels are far below them.
constexpr int MAX_GRID_SIDE = 4096;
constexpr int MAX_GRID_CELLS = 1 << 20;
constexpr int MAX_CELL_SIZE = 1 << 16;

struct CodeMap
{
    int width = 0;       // columns
    int height = 0;      // rows
    int cellWidth = 0;   // world units per column
    int cellHeight = 0;  // world units per row
    // The items whose code is not 0, in file order (a later item in a cell replaces an earlier
    // one when the World is built).
    std::vector<LevelItem> items;
    // One column right of the last "pirrock" item, in its row (past the grid for a marker in
    // the last column); (0, 0) without one.
    Cell heroStart;
};

// True for a grid of 1..MAX_GRID_SIDE columns and rows, at most MAX_GRID_CELLS cells, and cells
// of 1..MAX_CELL_SIZE units each way.
bool IsUsableGeometry(int width, int height, int cellWidth, int cellHeight);

// Reads the code-map file at path. The root (any name) carries the integers "width", "height",
// "tile-width" and "tile-height"; each "item" child has the integers "x" (column from the left)
// and "y" (row from the top) and the code as its text ("%i": 0x1C is 28, 010 is 8; text that is
// not a number is code 0, which is not listed). Fails, with a line in the game log, for a
// missing or ill-formed file or a missing or unusable size; an item without "x" or "y" or
// outside the grid is left out with a line (a marker in the last column stays, and puts the hero
// start past the grid). Nothing is published: the caller decides what to do with the result.
// Any thread.
bool ReadCodeMap(const Tarv::NarrowString& path, CodeMap& out);

} // namespace Pirrock
