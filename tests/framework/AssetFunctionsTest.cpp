// The framework's image accessor: "linear" unless the caller names options, holds passed on.
#include "framework/AssetFunctions.h"

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
        MountArchive({{"images/a.png", AssetTest::MakePng(4, 2, 200)}});
    }
};

TEST_F(AssetFunctionsTest, EmptyOptionsMeanLinear)
{
    EXPECT_EQ(Quor::GetDefaultSurfaceOptions(), "linear");
    const auto image = Quor::GetSurface("images/a.png", "", false);
    ASSERT_TRUE(image);
    EXPECT_EQ(image, Tarv::AssetDict::GetSurface("images/a.png@linear", false));
    EXPECT_EQ(image->GetFlags(0xffffffffu), Tarv::SURFACE_LINEAR);
}

TEST_F(AssetFunctionsTest, NamedOptionsReplaceTheDefault)
{
    const auto keyed = Quor::GetSurface("images/a.png", "ck", true);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->GetFlags(0xffffffffu), Tarv::SURFACE_COLOR_KEY);
    EXPECT_TRUE(Tarv::AssetDict::Instance->IsHeld("images/a.png@ck"));
}

} // namespace
