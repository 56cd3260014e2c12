// Which relative paths stay below their root.
#include "engine/vfs/VfsPath.h"

#include <gtest/gtest.h>

namespace
{

TEST(VfsPath, ConfinedAndEscapingPaths)
{
    for (const char* path : {"settings.xml", "a/b/c.txt", "..a/b..", ""})
        EXPECT_TRUE(Tarv::IsConfinedPath(path)) << path;
    for (const char* path : {"/etc/passwd", "..", "../x", "a/../../x", "a/.."})
        EXPECT_FALSE(Tarv::IsConfinedPath(path)) << path;
    EXPECT_FALSE(Tarv::IsConfinedPath(nullptr));
}

} // namespace
