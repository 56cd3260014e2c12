// Image asset names: the split at the last "@" and the option words.
#include "graphics/image/ImageAssetName.h"

#include <gtest/gtest.h>

using namespace Tarv;

TEST(ImageAssetName, SplitsAtTheLastAtAndReadsExactOptionWords)
{
    constexpr unsigned CK = SURFACE_FLAG_COLOR_KEY, LINEAR = SURFACE_FLAG_LINEAR;
    const struct {
        const char* name;
        const char* path;
        bool hasOptions;
        unsigned flags;
    } cases[] = {
        {"a.png", "a.png", false, 0},
        {"a.png@", "a.png", true, 0},
        {"a.png@linear", "a.png", true, LINEAR},
        {"a.png@,,linear,", "a.png", true, LINEAR},
        {"a.png@ linear", "a.png", true, 0},
        {"a.png@LINEAR", "a.png", true, 0},
        {"a.png@Ck", "a.png", true, 0},
        {"a.png@ck,linear", "a.png", true, CK | LINEAR},
        {"a.png@linear,ck,ck", "a.png", true, CK | LINEAR},
        {"a.png@565,rle,mipmap", "a.png", true, 0}, // accepted words that change nothing
        {"dir@x/a.png", "dir", true, 0},
        {"dir@x/a.png@", "dir@x/a.png", true, 0},
    };
    for (const auto& c : cases) {
        const ImageAssetName name = ImageAssetName::Parse(c.name);
        EXPECT_EQ(name.path, c.path) << c.name;
        EXPECT_EQ(name.hasOptions, c.hasOptions) << c.name;
        EXPECT_EQ(name.flags, c.flags) << c.name;
        EXPECT_EQ(name.colorKey, (c.flags & CK) != 0) << c.name;
    }
}
