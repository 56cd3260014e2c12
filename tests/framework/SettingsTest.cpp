// The settings service against a real registry and real files in a mounted temporary folder:
// which file loads, where keys live, saving, keeping a damaged file and leaving an unreadable
// one (a named pipe and a device among them), a save without a save folder, keys brought to
// their defaults' types, and the logic-rate fallback.
#include "framework/Settings.h"

#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/Registry.h"
#include "engine/vfs/MaemoGameSaveFile.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/System.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tests/support/AsUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const char* const DEFAULTS = R"(<registry><node name="quor">
  <node name="constants"><key name="logic_fps" type="int">25</key></node>
  <node name="game"><key name="lives" type="int">3</key><key name="language" type="string">en</key></node>
  <node name="runtime"><key name="activeTool" type="string"></key><key name="paused" type="bool">false</key></node>
</node></registry>)";

const char* const USER = R"(<registry><node name="quor">
  <node name="game"><key name="lives" type="int">1</key></node>
  <node name="runtime"><key name="paused" type="bool">true</key><key name="stale" type="int">9</key></node>
</node></registry>)";

// A temporary folder mounted as the whole virtual file system, and a registry of its own.
class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.empty());
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir + "/", "", 0);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        registry = Tarv::Registry::Instance.Get();
    }

    void TearDown() override
    {
        Tarv::Registry::Instance.Reset();
        Tarv::VfsShutdown();
    }

    void WriteFile(const std::string& name, const std::string& text) { TestFiles::WriteText(m_temp / name, text); }
    std::string ReadFile(const std::string& name) { return TestFiles::ReadText(m_temp / name); }

    bool Exists(const std::string& name) { return access((m_dir + "/" + name).c_str(), F_OK) == 0; }

    Tarv::Registry* registry = nullptr;

    TestFiles::TempDir m_temp;
    const std::string m_dir = m_temp.Path();
};

} // namespace

TEST_F(SettingsTest, SettingsLiveUnderTheRootPlusTheirName)
{
    WriteFile("defaults.xml", DEFAULTS);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_EQ(settings.GetInt("constants/logic_fps"), 25);
    int raw = 0;
    EXPECT_TRUE(registry->GetInt("/quor/constants/logic_fps", raw));
    EXPECT_EQ(raw, 25);
    EXPECT_EQ(settings.GetString("game/language"), "en");
}

TEST_F(SettingsTest, TheUserFileWinsAndForceLoadsOnlyTheDefaults)
{
    WriteFile("defaults.xml", DEFAULTS);
    WriteFile("settings.xml", USER);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_EQ(settings.GetInt("game/lives"), 1);
    // Keys only the defaults name are absent after a user-file load.
    EXPECT_EQ(settings.GetInt("constants/logic_fps"), 0);

    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
    Quor::Settings forced;
    ASSERT_TRUE(forced.Init("quor", "settings.xml", "defaults.xml", true));
    EXPECT_EQ(forced.GetInt("game/lives"), 3);
}

// Run-time values are the user file's like any other; LoadDefaults merges over the current
// values.
TEST_F(SettingsTest, TheUserFilesRunTimeValuesStayAndLoadDefaultsMerges)
{
    WriteFile("defaults.xml", DEFAULTS);
    WriteFile("settings.xml", USER);
    Quor::Settings settings;
    settings.Init("quor", "settings.xml", "defaults.xml", false);
    EXPECT_TRUE(settings.GetBool("runtime/paused"));
    EXPECT_EQ(settings.GetInt("runtime/stale"), 9);
    EXPECT_EQ(settings.GetInt("game/lives"), 1);
    settings.SetInt("game/score", 700);
    ASSERT_TRUE(settings.LoadDefaults());
    EXPECT_EQ(settings.GetInt("game/lives"), 3);
    EXPECT_EQ(settings.GetInt("game/score"), 700);
}

TEST_F(SettingsTest, SaveWritesTheSubtreeThatTheNextStartReads)
{
    WriteFile("defaults.xml", DEFAULTS);
    Quor::Settings settings;
    settings.Init("quor", "settings.xml", "defaults.xml", false);
    EXPECT_TRUE(settings.SetBool("game/perfect/level01", true));
    EXPECT_TRUE(settings.SetString("game/name", "A <b> & \"c\""));
    ASSERT_TRUE(settings.Save());

    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
    Quor::Settings next;
    ASSERT_TRUE(next.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_TRUE(next.GetBool("game/perfect/level01"));
    EXPECT_EQ(next.GetString("game/name"), "A <b> & \"c\"");
}

// Each damaged file is kept under a name of its own: an earlier one may hold the only copy of
// the progress. The file saved in its place has its mode, and as root its owner and group, as a
// save over it would have kept them.
TEST_F(SettingsTest, DamagedUserFilesAreKeptAsideUnderNumberedNames)
{
    WriteFile("defaults.xml", DEFAULTS);
    const struct {
        std::string name;
        mode_t mode;
    } kept[] = {{"settings.xml.bad", 0600}, {"settings.xml.bad.1", 0640}, {"settings.xml.bad.2", 0604}};
    const bool root = geteuid() == 0;
    for (const auto& [name, mode] : kept) {
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        registry = Tarv::Registry::Instance.Get();
        WriteFile("settings.xml", "<registry><node name=\"quor\"><key name=" + name);
        const std::string path = m_dir + "/settings.xml";
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        // Another user's file and group; only root may give them.
        ASSERT_TRUE(!root || chown(path.c_str(), 65534, 60) == 0);
        Quor::Settings settings;
        ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
        EXPECT_EQ(settings.GetInt("game/lives"), 3);
        EXPECT_FALSE(settings.IsFromUserFile());
        EXPECT_EQ(settings.GetLoadError(),
                  "settings file " + m_dir + "/settings.xml does not load: kept as " + m_dir + "/" + name);
        EXPECT_TRUE(settings.Save());
        struct stat info;
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(info.st_uid, root ? 65534 : geteuid());
        EXPECT_EQ(info.st_gid, root ? 60 : getegid());
    }
    for (const auto& [name, mode] : kept)
        EXPECT_EQ(ReadFile(name), "<registry><node name=\"quor\"><key name=" + name);

    // A missing user file is simply a first start: nothing is kept aside.
    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
    Quor::Settings fresh;
    fresh.Init("quor", "other.xml", "defaults.xml", false);
    EXPECT_FALSE(Exists("other.xml.bad"));
    EXPECT_EQ(fresh.GetLoadError(), "");

    // Another user's damaged file in a shared folder with the sticky bit, which the player may
    // write through its group but not move: it stays whole under its one name, and no save of
    // the run writes over it. Only root can set this up.
    if (!root)
        return;
    const std::string shared = m_dir + "/shared.xml", damaged = "<registry><node name=\"quor\">";
    WriteFile("shared.xml", damaged);
    ASSERT_EQ(chown(shared.c_str(), 65533, 60), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0660), 0);
    ASSERT_EQ(chmod(m_dir.c_str(), 01777), 0);
    const TestSupport::ChildUser player{65534, 65534, {60}};
    const TestSupport::ChildAnswer answer = TestSupport::RunInChild(
        [] {
            Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
            Quor::Settings settings;
            settings.Init("quor", "shared.xml", "defaults.xml", false);
            return settings.GetLoadError() + "\n" + (settings.Save() ? "saved" : settings.GetSaveError());
        },
        &player);
    if (answer.outcome == TestSupport::ChildAnswer::NO_USER)
        GTEST_SKIP() << "root here can't become an unprivileged user";
    EXPECT_EQ(answer.said, "settings file " + shared + " does not load: it could not be kept aside, so nothing is saved "
                     "over it\nsettings not saved to " + shared + ": the file there did not load at start and is "
                     "kept as it is");
    EXPECT_EQ(ReadFile("shared.xml"), damaged);
    struct stat info;
    ASSERT_EQ(stat(shared.c_str(), &info), 0);
    EXPECT_EQ(info.st_nlink, 1u);
    EXPECT_FALSE(Exists("shared.xml.bad"));
}

// A user file that is there but cannot be read is no damaged file: it stays where it is, the
// reason is given, and no save of the run replaces it. A named pipe or a device is not even
// read (a pipe nobody writes to would hold the start for ever).
TEST_F(SettingsTest, AnUnreadableUserFileIsLeftAloneAndNeverSavedOver)
{
    WriteFile("defaults.xml", DEFAULTS);
    enum Kind { LINK, FOLDER, PIPE };
    const struct {
        Kind kind;
        const char* target;
        std::string reason;
        mode_t type;
    } cases[] = {{LINK, "/proc/self/mem", std::strerror(EIO), S_IFLNK},
                 {FOLDER, nullptr, std::strerror(EISDIR), S_IFDIR},
                 {PIPE, nullptr, "it is a named pipe, not a regular file", S_IFIFO},
                 {LINK, "/dev/zero", "it is a device, not a regular file", S_IFLNK}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::string path = m_dir + "/settings.xml";
        if (c.kind == LINK)
            ASSERT_EQ(symlink(c.target, path.c_str()), 0);
        else if (c.kind == FOLDER)
            ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        else
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Quor::Settings settings;
        auto init = std::async(std::launch::async,
                               [&settings] { return settings.Init("quor", "settings.xml", "defaults.xml", false); });
        if (init.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            // Caught on the pipe: a writer that comes and goes lets it go on.
            close(open(path.c_str(), O_WRONLY | O_NONBLOCK));
            ADD_FAILURE() << "the start waited on the settings file";
            if (init.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
                std::fprintf(stderr, "the settings' start still waits: the test run ends here\n");
                std::_Exit(1);
            }
        }
        ASSERT_TRUE(init.get());
        EXPECT_EQ(settings.GetInt("game/lives"), 3);
        EXPECT_EQ(settings.GetLoadError(), "settings file " + path + " cannot be read: " + c.reason +
                                               "; it is left as it is, the defaults are used and nothing is "
                                               "saved over it");
        EXPECT_FALSE(settings.Save());
        EXPECT_NE(settings.GetSaveError().find("did not load at start"), std::string::npos);
        EXPECT_FALSE(Exists("settings.xml.bad"));
        struct stat info;
        ASSERT_EQ(lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, c.type);
        c.kind == FOLDER ? rmdir(path.c_str()) : unlink(path.c_str());
    }
}

// A settings file kept in a folder of the user's own through a symbolic link is loaded and saved
// through the link, and a damaged one is kept aside beside its target: the link always stays. A
// save through a link that fails names the place that refused it.
TEST_F(SettingsTest, ALinkedUserFileIsSavedAndKeptAsideThroughTheLink)
{
    WriteFile("defaults.xml", DEFAULTS);
    ASSERT_EQ(mkdir((m_dir + "/mine").c_str(), 0700), 0);
    ASSERT_EQ(symlink("mine/settings.xml", (m_dir + "/settings.xml").c_str()), 0);
    const std::string damaged = "<registry><node name=\"quor\">";
    for (const std::string& text : {std::string(USER), damaged}) {
        WriteFile("mine/settings.xml", text);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Quor::Settings settings;
        ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
        EXPECT_EQ(settings.GetInt("game/lives"), text == damaged ? 3 : 1);
        ASSERT_TRUE(settings.SetInt("game/lives", 7));
        EXPECT_TRUE(settings.Save()) << settings.GetSaveError();
        struct stat info;
        ASSERT_EQ(lstat((m_dir + "/settings.xml").c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        EXPECT_NE(ReadFile("mine/settings.xml").find(">7</key>"), std::string::npos);
    }
    EXPECT_EQ(ReadFile("mine/settings.xml.bad"), damaged);
    EXPECT_FALSE(Exists("settings.xml.bad"));

    // A link into a missing folder makes no folder, and the failure names the missing one.
    ASSERT_EQ(unlink((m_dir + "/settings.xml").c_str()), 0);
    ASSERT_EQ(symlink("mine/../gone/settings.xml", (m_dir + "/settings.xml").c_str()), 0);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Save());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(settings.GetSaveError(), "settings not saved to " + m_dir + "/settings.xml: " +
                                           std::filesystem::canonical(m_dir).string() + "/gone: " + std::strerror(ENOENT));
    EXPECT_FALSE(Exists("gone"));
}

// With no save folder at all (neither variable set, or both empty), the failed save says so and
// names the variables it looked at, where the system's reason would only say "Input/output error".
TEST_F(SettingsTest, WithoutASaveFolderTheSaveSaysSoAndNamesTheVariables)
{
    WriteFile("defaults.xml", DEFAULTS);
    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
        if (const char* value = std::getenv(name))
            saved.emplace_back(name, value);
    const char* const cases[] = {nullptr, ""};
    for (const char* value : cases) {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Quor::Settings settings;
        ASSERT_TRUE(settings.Init("quor", "save/settings.xml", "defaults.xml", false));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(settings.Save());
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string why = "settings not saved to save/settings.xml: there is no folder to save in: "
                                "XDG_CONFIG_HOME and HOME are both unset or empty";
        EXPECT_EQ(settings.GetSaveError(), why);
        EXPECT_EQ(said, "brashwick: " + why + "\n");
    }
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    for (const auto& [name, value] : saved)
        setenv(name, value.c_str(), 1);
}

// A rename keeps a damaged file of any size.
TEST_F(SettingsTest, ADamagedUserFileOverSixteenMegabytesIsKeptAsideWhole)
{
    WriteFile("defaults.xml", DEFAULTS);
    const std::string damaged = "<registry><node name=\"quor\">" + std::string(17 << 20, 'x');
    WriteFile("settings.xml", damaged);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_TRUE(ReadFile("settings.xml.bad") == damaged);
    EXPECT_FALSE(Exists("settings.xml"));
}

ssize_t ReadOnlyWrite(int, const void*, std::size_t)
{
    errno = EROFS;
    return -1;
}

// A read-only save folder, through the writer's test hook: every failed save (those made when a
// menu or level is left too) says where and why on standard error, and the old file stays.
TEST_F(SettingsTest, AFailedSaveSaysWhereAndWhyAndKeepsTheOldFile)
{
    WriteFile("defaults.xml", DEFAULTS);
    WriteFile("settings.xml", USER);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    Tarv::AtomicFileWriter::SetWriteFunction(&ReadOnlyWrite);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Save());
    const std::string said = testing::internal::GetCapturedStderr();
    Tarv::AtomicFileWriter::SetWriteFunction(nullptr);
    const std::string why = "settings not saved to " + m_dir + "/settings.xml: " + std::strerror(EROFS);
    EXPECT_EQ(settings.GetSaveError(), why);
    EXPECT_EQ(said, "brashwick: " + why + "\n");
    EXPECT_EQ(ReadFile("settings.xml"), USER);
}

TEST_F(SettingsTest, MissingKeysReadAsZeroFalseAndEmptyWithoutBeingCreated)
{
    Quor::Settings settings;
    EXPECT_FALSE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_EQ(settings.GetInt("nothing"), 0);
    EXPECT_FALSE(settings.GetBool("nothing"));
    EXPECT_EQ(settings.GetString("nothing"), "");
    EXPECT_EQ(registry->FindKey("/quor/nothing", false), nullptr);
    // A key of another type reads as missing, never as a misread value.
    settings.SetString("word", "12");
    EXPECT_EQ(settings.GetInt("word"), 0);
}

// Any positive rate gives its interval, however high; a missing, zero or negative one, which
// would give an infinite or negative interval, falls back to the default rate.
TEST_F(SettingsTest, TheLogicIntervalIsOneOverAPositiveRate)
{
    Quor::Settings settings;
    settings.Init("quor", "settings.xml", "defaults.xml", false);
    const float fallback = 1.0f / Quor::Settings::DEFAULT_LOGIC_FPS;
    EXPECT_FLOAT_EQ(settings.GetLogicInterval(), fallback);
    for (int bad : {0, -30}) {
        settings.SetInt("constants/logic_fps", bad);
        EXPECT_FLOAT_EQ(settings.GetLogicInterval(), fallback);
    }
    const struct { int fps; float interval; } rates[] = {{50, 0.02f}, {1000, 0.001f}, {1024, 1.0f / 1024.0f}, {100000, 0.00001f}};
    for (const auto& rate : rates) {
        settings.SetInt("constants/logic_fps", rate.fps);
        EXPECT_FLOAT_EQ(settings.GetLogicInterval(), rate.interval) << rate.fps;
    }
}

TEST_F(SettingsTest, TheServiceIsRegisteredOnceUnderItsName)
{
    EXPECT_EQ(Quor::Settings::GetInstance(), nullptr);
    Quor::System::Create(nullptr);
    Quor::Settings* settings = Quor::Settings::GetInstance();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(Quor::Settings::GetInstance(), settings);
    EXPECT_TRUE(settings->GetRoot().empty());
    Quor::System::Destroy();
}

// The user's values stay, in their default's type: a text that reads as that type is converted,
// anything else (and a text that did not read at all) takes the default and is named.
TEST_F(SettingsTest, AddMissingDefaultsKeepsTheUsersValuesInTheDefaultsTypes)
{
    WriteFile("defaults.xml", R"(<registry><node name="quor">
      <node name="constants"><key name="logic_fps" type="int">25</key></node>
      <node name="game"><key name="lives" type="int">3</key><key name="score" type="int">0</key>
      <key name="level" type="int">1</key><key name="sound" type="bool">true</key>
      <key name="music" type="bool">true</key><key name="name" type="string">x</key>
      <key name="language" type="string">en</key></node>
    </node></registry>)");
    WriteFile("settings.xml", R"(<registry><node name="quor">
      <node name="game"><key name="lives" type="string">many</key><key name="score" type="string">70</key>
      <key name="level" type="int">seven</key><key name="sound" type="string">false</key>
      <key name="music" type="int">0</key><key name="name" type="int">12</key>
      <key name="language" type="string"></key><key name="own" type="int">4</key></node>
    </node></registry>)");
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_TRUE(settings.IsFromUserFile());
    // logic_fps is new; lives, level and music take their defaults.
    EXPECT_EQ(settings.AddMissingDefaults(), 4);
    EXPECT_EQ(settings.GetInt("constants/logic_fps"), 25);
    EXPECT_EQ(settings.GetInt("game/lives"), 3);
    EXPECT_EQ(settings.GetInt("game/score"), 70);
    EXPECT_EQ(settings.GetInt("game/level"), 1);
    EXPECT_FALSE(settings.GetBool("game/sound"));
    EXPECT_TRUE(settings.GetBool("game/music"));
    EXPECT_EQ(settings.GetString("game/name"), "12");
    EXPECT_EQ(settings.GetString("game/language"), "");
    EXPECT_EQ(settings.GetInt("game/own"), 4);
    std::vector<std::string> named;
    for (const Quor::Settings::UnreadableKey& key : settings.GetUnreadableKeys()) {
        EXPECT_TRUE(key.defaulted) << key.path;
        named.push_back(key.path);
    }
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, (std::vector<std::string>{"/quor/game/level", "/quor/game/lives", "/quor/game/music"}));
    // The scratch copy of the defaults is not left anywhere that is saved.
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(ReadFile("settings.xml").find("settings-defaults"), std::string::npos);
    EXPECT_EQ(settings.AddMissingDefaults(), 0);
}

TEST_F(SettingsTest, AddMissingDefaultsWithoutADefaultsFileChangesNothing)
{
    WriteFile("settings.xml", USER);
    Quor::Settings settings;
    ASSERT_TRUE(settings.Init("quor", "settings.xml", "defaults.xml", false));
    EXPECT_EQ(settings.AddMissingDefaults(), -1);
    EXPECT_EQ(settings.GetInt("game/lives"), 1);
}
