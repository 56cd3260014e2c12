// Pirrock::Ladder: the ladder's picture, a tiled sprite whose top piece is raised and whose gap
// is filled with middle pieces, so that a ladder reaches from its cell up to the surface above it.
#pragma once

#include "scene/TiledSprite.h"

namespace Pirrock
{

// The middle piece's image.
constexpr const char* LADDER_MIDDLE_IMAGE = "images/game/ladder/middle.png";
// The tallest ladder drawn; a grid is never higher.
constexpr int MAX_LADDER_CELLS = 4096;

class Ladder : public Vund::TiledSprite
{
public:
    // The tiles of the tile file's grid element node (its top piece one tile above its foot),
    // drawn at scale 1 with the default image options; a node standing on nothing gives a
    // ladder without tiles.
    Ladder(const Tarv::XmlIterator& node, const Vund::Vector3D& position);

    // Raises the first tile (the top piece) by cells - 2 tile heights and appends cells - 2 middle
    // pieces below it, one tile height apart, down to the top piece's old place. Heights of 2 or
    // less, and a ladder without tiles, change nothing; heights above MAX_LADDER_CELLS count as it.
    void SetHeight(int cells);
};

} // namespace Pirrock
