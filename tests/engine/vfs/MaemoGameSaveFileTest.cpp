// The save-file location from the environment and the directories made on first write.
#include "engine/vfs/MaemoGameSaveFile.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "engine/vfs/NativeMount.h"
#include "engine/vfs/Vfs.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

class SaveFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Remember("XDG_CONFIG_HOME", m_oldConfig, m_hadConfig);
        Remember("HOME", m_oldHome, m_hadHome);
    }
    void TearDown() override
    {
        Restore("XDG_CONFIG_HOME", m_oldConfig, m_hadConfig);
        Restore("HOME", m_oldHome, m_hadHome);
        Tarv::VfsShutdown();
    }
    static void Remember(const char* name, std::string& value, bool& had)
    {
        const char* old = std::getenv(name);
        had = old != nullptr;
        value = had ? old : "";
    }
    static void Restore(const char* name, const std::string& value, bool had)
    {
        if (had)
            setenv(name, value.c_str(), 1);
        else
            unsetenv(name);
    }
    TestFiles::TempDir m_dir;
    std::string m_oldConfig, m_oldHome;
    bool m_hadConfig = false, m_hadHome = false;
};

// The folder under XDG_CONFIG_HOME (a relative one as it is), or HOME/.config when that is
// empty; none without either; names that would leave the save folder have no path and cannot be
// written.
TEST_F(SaveFile, PathsFromTheEnvironment)
{
    const struct { const char* config; const char* home; const char* name; const char* path; } cases[] = {
        {"/cfg", nullptr, "settings.xml", "/cfg/Brashwick/settings.xml"},
        {"", "/home/u", "settings.xml", "/home/u/.config/Brashwick/settings.xml"},
        {"cfg", "/home/u", "settings.xml", "cfg/Brashwick/settings.xml"},
        {"./cfg", nullptr, "settings.xml", "./cfg/Brashwick/settings.xml"},
        {nullptr, nullptr, "settings.xml", ""}, {"", "", "settings.xml", ""}, {"/cfg", nullptr, "../x.xml", ""}, {"/cfg", nullptr, "/x.xml", ""},
        {"/cfg", nullptr, "a/../../x.xml", ""}};
    for (const auto& c : cases) {
        for (const auto& [name, value] : {std::make_pair("XDG_CONFIG_HOME", c.config), {"HOME", c.home}}) {
            if (value != nullptr)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
        EXPECT_EQ(Tarv::MaemoGameSaveFile::GetSavePath(c.name), c.path) << c.name;
        if (*c.path == 0) {
            Tarv::MaemoGameSaveFile file;
            EXPECT_FALSE(file.OpenWrite(c.name)) << c.name;
        }
    }
}

TEST_F(SaveFile, WriteCreatesMissingDirectoriesPrivately)
{
    setenv("XDG_CONFIG_HOME", (m_dir / "deep/config").c_str(), 1);
    Tarv::VfsInit();
    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    Tarv::SmartPtr<Tarv::File> file(Tarv::VfsOpenWrite("save/a/b.xml"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Write("<r/>", 4), 4);
    file.Reset();
    struct stat info;
    ASSERT_EQ(stat((m_dir / "deep/config/Brashwick/a").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    Tarv::SmartPtr<Tarv::File> again(Tarv::VfsOpenRead("SAVE/a/b.xml"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetSize(), 4);
}

TEST_F(SaveFile, DirectoryThatIsARegularFileFails)
{
    setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
    ASSERT_EQ(mkdir((m_dir / "Brashwick").c_str(), 0700), 0);
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "Brashwick/a", "not a directory"));
    Tarv::MaemoGameSaveFile file;
    EXPECT_FALSE(file.OpenWrite("a/b.xml"));
    EXPECT_TRUE(file.OpenWrite("c.xml"));
}

} // namespace
