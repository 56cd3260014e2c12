// Image asset names: the split at the last "@" and the option words.
#include "graphics/image/ImageAssetName.h"

#include <gtest/gtest.h>

using namespace Tarv;

TEST(ImageAssetName, PlainNameHasNoOptions)
{
    const ImageAssetName name = ImageAssetName::Parse("a.png");
    EXPECT_EQ(name.path, "a.png");
    EXPECT_FALSE(name.hasOptions);
    EXPECT_EQ(name.flags, 0u);
    EXPECT_FALSE(name.colorKey);
}

TEST(ImageAssetName, EmptyAndLinearOptionsShareThePath)
{
    const ImageAssetName empty = ImageAssetName::Parse("a.png@");
    const ImageAssetName linear = ImageAssetName::Parse("a.png@linear");
    EXPECT_EQ(empty.path, "a.png");
    EXPECT_TRUE(empty.hasOptions);
    EXPECT_EQ(empty.flags, 0u);
    EXPECT_EQ(linear.path, "a.png");
    EXPECT_EQ(linear.flags, SURFACE_FLAG_LINEAR);
}

TEST(ImageAssetName, EmptyWordsAreSkippedButWordsAreExact)
{
    EXPECT_EQ(ImageAssetName::Parse("a.png@,,linear,").flags, SURFACE_FLAG_LINEAR);
    EXPECT_EQ(ImageAssetName::Parse("a.png@ linear").flags, 0u);
    EXPECT_EQ(ImageAssetName::Parse("a.png@LINEAR").flags, 0u);
    EXPECT_EQ(ImageAssetName::Parse("a.png@Ck").flags, 0u);
}

TEST(ImageAssetName, OrderAndRepetitionDoNotMatter)
{
    const ImageAssetName a = ImageAssetName::Parse("a.png@ck,linear");
    const ImageAssetName b = ImageAssetName::Parse("a.png@linear,ck,ck");
    EXPECT_EQ(a.flags, SURFACE_FLAG_COLOR_KEY | SURFACE_FLAG_LINEAR);
    EXPECT_EQ(b.flags, a.flags);
    EXPECT_TRUE(a.colorKey);
    EXPECT_TRUE(b.colorKey);
}

TEST(ImageAssetName, OnlyTheLastAtSplits)
{
    const ImageAssetName optionLooksLikePath = ImageAssetName::Parse("dir@x/a.png");
    EXPECT_EQ(optionLooksLikePath.path, "dir");
    EXPECT_EQ(optionLooksLikePath.flags, 0u);
    EXPECT_EQ(ImageAssetName::Parse("dir@x/a.png@").path, "dir@x/a.png");
}

TEST(ImageAssetName, AcceptedWordsThatChangeNothing)
{
    const ImageAssetName name = ImageAssetName::Parse("a.png@565,rle,mipmap");
    EXPECT_EQ(name.path, "a.png");
    EXPECT_EQ(name.flags, 0u);
    EXPECT_FALSE(name.colorKey);
}
