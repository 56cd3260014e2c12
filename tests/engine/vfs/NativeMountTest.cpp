// Host paths composed by a native mount: refused paths and the length limit.
#include "engine/vfs/NativeMount.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

TEST(NativeMount, OpensBelowItsRoot)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "a.txt", "a"));
    Tarv::SmartPtr<Tarv::NativeMount> mount(new Tarv::NativeMount(dir.Path() + "/", "", 0));
    Tarv::SmartPtr<Tarv::File> file(mount->OpenRead("a.txt"));
    EXPECT_TRUE(file);
    EXPECT_EQ(mount->OpenRead("missing.txt"), nullptr);
}

TEST(NativeMount, RefusesPathsThatLeaveTheRoot)
{
    TestFiles::TempDir dir;
    ASSERT_EQ(mkdir((dir / "root").c_str(), 0700), 0);
    ASSERT_TRUE(TestFiles::WriteText(dir / "secret.txt", "s"));
    Tarv::SmartPtr<Tarv::NativeMount> mount(new Tarv::NativeMount(dir / "root/", "", 0));
    EXPECT_EQ(mount->OpenRead("../secret.txt"), nullptr);
    EXPECT_EQ(mount->OpenWrite("a/../../x.txt"), nullptr);
    EXPECT_EQ(mount->OpenRead((dir / "secret.txt").c_str()), nullptr);
}

TEST(NativeMount, RefusesPathsLongerThanTheBufferInsteadOfCutting)
{
    Tarv::NativeMount mount("root/", "", 0);
    char out[Tarv::NativeMount::PATH_BUFFER_SIZE];
    const std::string fits(Tarv::NativeMount::PATH_BUFFER_SIZE - 1 - 5, 'a');
    EXPECT_TRUE(mount.ComposePath(fits.c_str(), out));
    EXPECT_EQ(std::string(out), "root/" + fits);
    EXPECT_FALSE(mount.ComposePath((fits + "b").c_str(), out));
    // Dots inside names are allowed.
    EXPECT_TRUE(mount.ComposePath("a..b/..c/settings.xml", out));
}

} // namespace
