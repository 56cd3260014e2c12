// The console font's cell layout as the drawing relies on it: glyph cells keep their outer
// columns blank, and the no-glyph cell is a hatch over rows and columns 0 to 6.
#include "console/ConsoleImages.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

constexpr int CELL_WIDTH = 8;
constexpr int ROWS = 7;
constexpr int NO_GLYPH_CELL = 98;

// Whether the font image's pixel at (x, y) of a cell is lit (the image's header and its two
// colour lines come first).
bool Lit(int cell, int x, int y)
{
    const std::string row = Tarv::CONSOLE_FONT_IMAGE[3 + y];
    return row.at(static_cast<std::size_t>(cell * CELL_WIDTH + x)) == '.';
}

} // namespace

TEST(ConsoleFont, GlyphCellsKeepAGapAndTheNoGlyphCellIsAFullHatch)
{
    ASSERT_EQ(std::string(Tarv::CONSOLE_FONT_IMAGE[0]), "792 7 2 1");
    for (int cell = 1; cell < NO_GLYPH_CELL; ++cell)
        for (int y = 0; y < ROWS; ++y)
            EXPECT_FALSE(Lit(cell, 0, y) || Lit(cell, 7, y)) << "cell " << cell << " row " << y;
    for (int y = 0; y < ROWS; ++y) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(Lit(NO_GLYPH_CELL, x, y), (x + y) % 2 == 0) << x << "," << y;
        EXPECT_FALSE(Lit(NO_GLYPH_CELL, 7, y));
    }
}
