// The framework's image accessor: "linear" unless the caller names options, holds passed on.
#include "framework/AssetFunctions.h"

#include "graphics/image/AtlasSurface.h"
#include "tests/framework/AssetWorld.h"

#include <gtest/gtest.h>

namespace
{

class AssetFunctionsTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        MountArchive({{"images/a.png", AssetTest::MakePng(4, 2, 200)},
                      {"menu.png", AssetTest::MakePng(8, 8, 90)},
                      {"menu.xml", AssetTest::Text("<atlas><rect id=\"images/a.png\" x=\"0\" y=\"0\" width=\"2\" height=\"2\"/></atlas>")}});
    }
};

TEST_F(AssetFunctionsTest, EmptyOptionsMeanLinear)
{
    EXPECT_EQ(Quor::GetDefaultSurfaceOptions(), "linear");
    const auto image = Quor::GetSurface("images/a.png", "", false);
    ASSERT_TRUE(image);
    EXPECT_EQ(image, Tarv::AssetDict::GetSurface("images/a.png@linear", false));
    EXPECT_EQ(image->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR);
}

TEST_F(AssetFunctionsTest, NamedOptionsReplaceTheDefault)
{
    const auto keyed = Quor::GetSurface("images/a.png", "ck", true);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->GetFlags(0xffffffffu), Tarv::Surface::FLAG_COLOR_KEY);
    EXPECT_TRUE(Tarv::AssetDict::Instance->IsHeld("images/a.png@ck"));
}

TEST_F(AssetFunctionsTest, AtlasRegionsAreFoundByTheirIds)
{
    ASSERT_TRUE(Quor::LoadAtlas("menu.xml"));
    EXPECT_EQ(Tarv::AssetDict::Instance->GetAtlasCount("menu.xml@linear"), 1);
    const auto region = Quor::GetSurface("images/a.png", "", false);
    ASSERT_NE(dynamic_cast<Tarv::AtlasSurface*>(region.Get()), nullptr);
    EXPECT_EQ(region->GetWidth(), 2);
    EXPECT_TRUE(Quor::UnloadAtlas("menu.xml"));
    EXPECT_FALSE(Quor::UnloadAtlas("menu.xml"));
    EXPECT_FALSE(Quor::UnloadAtlas("never.xml"));
}

} // namespace
