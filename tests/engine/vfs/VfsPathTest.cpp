// Which relative paths stay below their root.
#include "engine/vfs/VfsPath.h"

#include <gtest/gtest.h>

namespace
{

TEST(VfsPath, ConfinedPaths)
{
    EXPECT_TRUE(Tarv::IsConfinedPath("settings.xml"));
    EXPECT_TRUE(Tarv::IsConfinedPath("a/b/c.txt"));
    EXPECT_TRUE(Tarv::IsConfinedPath("..a/b.."));
    EXPECT_TRUE(Tarv::IsConfinedPath(""));
}

TEST(VfsPath, EscapingPaths)
{
    EXPECT_FALSE(Tarv::IsConfinedPath(nullptr));
    EXPECT_FALSE(Tarv::IsConfinedPath("/etc/passwd"));
    EXPECT_FALSE(Tarv::IsConfinedPath(".."));
    EXPECT_FALSE(Tarv::IsConfinedPath("../x"));
    EXPECT_FALSE(Tarv::IsConfinedPath("a/../../x"));
    EXPECT_FALSE(Tarv::IsConfinedPath("a/.."));
}

} // namespace
