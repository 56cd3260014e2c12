// The mount list: search order, fall-through, prefixes, unmounting, and life outside init.
#include "engine/vfs/Vfs.h"

#include "engine/vfs/File.h"
#include "engine/vfs/NativeMount.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

std::string ReadAll(Tarv::File* raw)
{
    Tarv::SmartPtr<Tarv::File> file(raw);
    std::string text;
    if (!file)
        return "<null>";
    char buffer[64];
    int got;
    while ((got = file->Read(buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

class Vfs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarv::VfsInit();
        ASSERT_EQ(mkdir((m_dir / "low").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((m_dir / "high").c_str(), 0700), 0);
        ASSERT_TRUE(TestFiles::WriteText(m_dir / "low/both.txt", "low"));
        ASSERT_TRUE(TestFiles::WriteText(m_dir / "low/only-low.txt", "only low"));
        ASSERT_TRUE(TestFiles::WriteText(m_dir / "high/both.txt", "high"));
    }
    void TearDown() override { Tarv::VfsShutdown(); }
    std::string Root(const char* name) { return m_dir / name + "/"; }
    TestFiles::TempDir m_dir;
};

// The search: a later mount hides an earlier one; a miss goes on only through fall-through; a
// prefix is case-blind and stripped, and a miss under it goes on with the whole path.
TEST_F(Vfs, SearchOrderFallThroughAndPrefixes)
{
    const int FT = Tarv::VFS_MOUNT_FALL_THROUGH;
    const struct { int lowFlags; const char* highPrefix; int highFlags; const char* path; const char* text; } cases[] = {
        {0, "", FT, "both.txt", "high"}, {0, "", FT, "only-low.txt", "only low"}, {0, "", FT, "nowhere.txt", "<null>"},
        {0, "", 0, "only-low.txt", "<null>"}, {0, "data/", FT, "DATA/both.txt", "high"},
        {0, "data/", FT, "data/only-low.txt", "<null>"}, {0, "data/", FT, "both.txt", "low"},
        {FT, nullptr, 0, "missing.txt", "<null>"}, {FT, nullptr, 0, "both.txt", "low"}};
    for (const auto& c : cases) {
        Tarv::VfsShutdown();
        Tarv::VfsInit();
        Tarv::VfsMountNative(Root("low"), "", c.lowFlags);
        if (c.highPrefix != nullptr)
            Tarv::VfsMountNative(Root("high"), c.highPrefix, c.highFlags);
        EXPECT_EQ(ReadAll(Tarv::VfsOpenRead(c.path)), c.text) << (c.highPrefix ? c.highPrefix : "-") << " " << c.path;
    }
}

TEST_F(Vfs, FindMountWalksFromStart)
{
    Tarv::VfsMount* low = Tarv::VfsMountNative(Root("low"), "", 0);
    Tarv::VfsMount* high = Tarv::VfsMountNative(Root("high"), "x/", 0);
    EXPECT_EQ(Tarv::VfsFindMount("x/a", nullptr), high);
    EXPECT_EQ(Tarv::VfsFindMount("y/a", nullptr), low);
    EXPECT_EQ(Tarv::VfsFindMount("x/a", high->GetNext()), low);
}

TEST_F(Vfs, UnmountUnlinksOnlyListedMounts)
{
    Tarv::VfsMount* low = Tarv::VfsMountNative(Root("low"), "", 0);
    Tarv::VfsMount* high = Tarv::VfsMountNative(Root("high"), "", 0);
    Tarv::SmartPtr<Tarv::VfsMount> removed = Tarv::VfsUnmount(low);
    EXPECT_EQ(removed.Get(), low);
    EXPECT_EQ(high->GetNext(), nullptr);
    EXPECT_FALSE(Tarv::VfsUnmount(low));
    EXPECT_EQ(Tarv::VfsUnmountPath("both.txt").Get(), high);
    EXPECT_EQ(Tarv::VfsFindMount("both.txt", nullptr), nullptr);
}

TEST_F(Vfs, WriteGoesToTheFirstMountThatOpens)
{
    Tarv::VfsMountNative(Root("low"), "", 0);
    Tarv::SmartPtr<Tarv::File> file(Tarv::VfsOpenWrite("new.txt"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Write("abc", 3), 3);
    file.Reset();
    EXPECT_EQ(ReadAll(Tarv::VfsOpenRead("new.txt")), "abc");
}

TEST_F(Vfs, NothingOpensAfterShutdown)
{
    Tarv::VfsMountNative(Root("low"), "", 0);
    Tarv::VfsShutdown();
    EXPECT_EQ(Tarv::VfsOpenRead("both.txt"), nullptr);
    EXPECT_EQ(Tarv::VfsMountNative(Root("low"), "", 0), nullptr);
}

} // namespace
