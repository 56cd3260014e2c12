// Vund::TiledSprite and Vund::TiledParallaxSprite: a grid of tile sprites drawn as one object
// at the grid's depth (a tiled parallax sprite shifts each tile by the grid's parallax).
#pragma once

#include "engine/core/NarrowString.h"
#include "scene/Sprite.h"

#include <vector>

namespace Tarv
{
class XmlIterator;
}

namespace Vund
{

class TiledSprite : public Sprite
{
public:
    // The grid of a tiled-sprite file: a root (any name) with the integer attributes "width",
    // "height" (rows, placed from the top row down), "tile-width" and "tile-height", and
    // "tile" children with the integer attributes "x" (column from the left) and "y" (row
    // from the top) and an image path as text. Tiles without text, without a coordinate or
    // with a negative one are skipped; image options "" mean "linear". A missing or damaged
    // file gives an empty grid; missing sizes read as 0, and negative tile sizes place the
    // tiles with that spacing (columns leftwards, rows upwards).
    TiledSprite(const Tarv::NarrowString& path, const Vector3D& position, const Tarv::NarrowString& options,
                const float& scale);
    // The same from the grid's element of a document already read (nothing when it stands on
    // nothing).
    TiledSprite(const Tarv::XmlIterator& node, const Vector3D& position, const Tarv::NarrowString& options,
                const float& scale);

    void Draw(Tarv::Surface* target) override;
    // Sets the flag here and on every tile listed now; tiles added later keep their own.
    void SetTransformed(bool transformed) override;

    int GetColumns() const { return m_width; }
    int GetRows() const { return m_height; }
    int GetTileWidth() const { return m_tileWidth; }
    int GetTileHeight() const { return m_tileHeight; }

    // Open to the game, which moves and appends tiles; drawn as it stands at drawing time.
    std::vector<Tarv::SmartPtr<Sprite>> tiles;

protected:
    void ReadGrid(const Tarv::XmlIterator& root, const Tarv::NarrowString& options);

    int m_width = 0;
    int m_height = 0;
    int m_tileWidth = 0;
    int m_tileHeight = 0;
};

class TiledParallaxSprite : public TiledSprite
{
public:
    using TiledSprite::TiledSprite;

    void Draw(Tarv::Surface* target) override;
};

} // namespace Vund
