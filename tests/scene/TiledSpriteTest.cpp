// The tiled-sprite file: tile placement from the grid numbers, skipped and duplicate tiles,
// "%i" integers, image options, the transformed flag, and damaged files.
#include "scene/TiledSprite.h"

#include "tests/scene/SceneFiles.h"
#include "tests/scene/VectorPrinter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Vund;

namespace
{

class TiledSpriteFile : public SceneTest::SceneFiles
{
protected:
    std::vector<Vector3D> Tiles(const std::string& xml, const Tarv::NarrowString& options = "")
    {
        Write("grid.xml", xml);
        const TiledSprite grid("grid.xml", Vector3D(100, 200, -5), options, 2.0f);
        std::vector<Vector3D> at;
        for (const auto& tile : grid.tiles)
            at.push_back(tile->position);
        return at;
    }
};

} // namespace

TEST_F(TiledSpriteFile, PlacesRowsFromTheTopAndSkipsBadTiles)
{
    const std::vector<Vector3D> at = Tiles(R"(<grid width="2" height="3" tile-width="0x10" tile-height="32">
        <tile x="0" y="0">t.png</tile><tile x="0" y="1">t.png</tile><tile x="0" y="2">t.png</tile>
        <tile x="2" y="010">t.png</tile>
        <tile x="-1" y="0">t.png</tile><tile x="0" y="-1">t.png</tile><tile x="1">t.png</tile>
        <tile x="1" y="1"></tile><other x="1" y="1">t.png</other>
        <tile x="2" y="010">t.png</tile></grid>)");
    const std::vector<Vector3D> want = {{100, 264, -5}, {100, 232, -5}, {100, 200, -5},
                                        {132, 200 - 6 * 32, -5}, {132, 200 - 6 * 32, -5}};
    EXPECT_EQ(at, want);
}

// Negative spacings are the file's to give: columns then run left and rows upwards.
TEST_F(TiledSpriteFile, NegativeTileSizesPlaceTilesWithThatSpacing)
{
    const std::vector<Vector3D> at = Tiles(R"(<g width="2" height="2" tile-width="-4" tile-height="-8">
        <tile x="0" y="0">t.png</tile><tile x="1" y="1">t.png</tile><tile x="-1" y="0">t.png</tile></g>)");
    EXPECT_EQ(at, (std::vector<Vector3D>{{100, 192, -5}, {96, 200, -5}}));
}

TEST_F(TiledSpriteFile, ImageOptionsAndTheTransformedFlagReachTheTiles)
{
    WritePng("t.png", 4, 4, 10, 20, 30);
    Write("grid.xml", R"(<g width="1" height="1" tile-width="4" tile-height="4"><tile x="0" y="0">t.png</tile></g>)");
    TiledSprite plain("grid.xml", Vector3D(), "", 1.0f);
    TiledSprite keyed("grid.xml", Vector3D(), "ck", 1.0f);
    ASSERT_EQ(plain.tiles.size(), 1u);
    EXPECT_EQ(plain.tiles[0]->GetSurface(), Tarv::AssetDict::GetSurface("t.png@linear", false).Get());
    EXPECT_EQ(keyed.tiles[0]->GetSurface(), Tarv::AssetDict::GetSurface("t.png@ck", false).Get());
    EXPECT_NE(keyed.tiles[0]->GetSurface(), nullptr);
    plain.SetTransformed(false);
    plain.tiles.push_back(Tarv::SmartPtr<Sprite>(new Sprite(Vector3D(), 1.0f)));
    EXPECT_FALSE(plain.IsTransformed());
    EXPECT_FALSE(plain.tiles[0]->IsTransformed());
    EXPECT_TRUE(plain.tiles[1]->IsTransformed());
}

TEST_F(TiledSpriteFile, DamagedFilesGiveDefinedGrids)
{
    EXPECT_TRUE(Tiles("").empty());
    EXPECT_TRUE(Tiles("<grid height=").empty());
    // Products far beyond 32 bits are formed without overflow.
    const std::vector<Vector3D> huge = Tiles(
        R"(<g height="0" tile-width="2000000000" tile-height="2000000000"><tile x="2000000000" y="0">t.png</tile></g>)");
    ASSERT_EQ(huge.size(), 1u);
    EXPECT_FLOAT_EQ(huge[0].x, 4e18f);
    EXPECT_FLOAT_EQ(huge[0].y, 200 - 2e9f);
    // Missing sizes read as 0: the tiles pile up on the grid's corner.
    EXPECT_EQ(Tiles(R"(<g><tile x="3" y="3">t.png</tile></g>)"), std::vector<Vector3D>{Vector3D(100, 200, -5)});
}
