// Registry paths, typed access, callbacks, read-only "/machine", threads, and file round trips.
#include "engine/registry/Registry.h"

#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/RegistryKey.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

using Tarv::NarrowString;
using Tarv::Registry;
using Tarv::RegistryKey;

namespace
{

struct Seen
{
    std::vector<NarrowString> paths;
};

void Record(void* user, const NarrowString& path, RegistryKey*)
{
    static_cast<Seen*>(user)->paths.push_back(path);
}

} // namespace

TEST(RegistryPaths, SetCreatesNodesAndKey)
{
    Registry registry;
    EXPECT_TRUE(registry.SetInt("/a/b", 5));
    int value = 0;
    EXPECT_TRUE(registry.GetInt("/a/b", value));
    EXPECT_EQ(value, 5);
    EXPECT_NE(registry.FindNode("/a", false, false), nullptr);
}

TEST(RegistryPaths, PathsThatAddressNoKeyCreateNothing)
{
    Registry registry;
    for (const char* path : {"/x", "a/b", "", "/a/", "/", "x"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(registry.SetInt(path, 1));
        EXPECT_EQ(registry.FindKey(path, true), nullptr);
    }
    EXPECT_EQ(registry.FindNode("/a", false, false), nullptr);
    EXPECT_EQ(registry.FindNode("/x", false, false), nullptr);
    EXPECT_EQ(registry.FindNode("", false, true), nullptr);
    EXPECT_EQ(registry.FindNode("a", false, true), nullptr);
}

// Root keys need the doubled slash; empty components name nodes with empty names.
TEST(RegistryPaths, RootKeysNeedTheDoubledSlashAndEmptyComponentsNameNodes)
{
    Registry registry;
    EXPECT_TRUE(registry.SetInt("//a", 3));
    Tarv::RegistryNode* root = registry.FindNode("/", false, false);
    ASSERT_NE(root, nullptr);
    ASSERT_NE(root->FindKey("a"), nullptr);
    EXPECT_EQ(registry.FindKey("//a", false), root->FindKey("a"));
    EXPECT_TRUE(root->GetChildren().count("machine"));
    EXPECT_TRUE(registry.SetInt("/a//b", 1));
    Tarv::RegistryNode* a = registry.FindNode("/a", false, false);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->FindChild("", false), nullptr);
    EXPECT_NE(a->FindChild("", false)->FindKey("b"), nullptr);
    EXPECT_EQ(registry.FindNode("/a/", false, false), a->FindChild("", false));
}

TEST(RegistryPaths, NamesAreCaseSensitiveAndByteOrdered)
{
    Registry registry;
    registry.SetInt("/n/b", 1);
    registry.SetInt("/n/B", 2);
    registry.SetInt("/n/\xC3\xA9", 3);
    registry.SetInt("/n/ab", 4);
    registry.SetInt("/n/a", 5);
    std::vector<NarrowString> names;
    for (const auto& key : registry.FindNode("/n", false, false)->GetKeys())
        names.push_back(key.first);
    EXPECT_EQ(names, (std::vector<NarrowString>{"B", "a", "ab", "b", "\xC3\xA9"}));
}

// The depth is limited; a refused deep path used to create its first 64 nodes anyway, so a file
// naming one left a tree that saved deeper than it could load back: it creates nothing.
TEST(RegistryPaths, DepthIsLimitedAndARefusedDeepPathCreatesNothing)
{
    Registry registry;
    NarrowString deep;
    for (int i = 0; i < Registry::MAX_DEPTH; ++i)
        deep += "/n";
    EXPECT_TRUE(registry.SetInt(deep + "/k", 1));
    EXPECT_FALSE(registry.SetInt(deep + "/n/k", 1));
    EXPECT_EQ(registry.FindNode(deep + "/n", false, false), nullptr);
    NarrowString deeper;
    for (int i = 0; i <= Registry::MAX_DEPTH; ++i)
        deeper += "/x";
    EXPECT_FALSE(registry.SetInt(deeper + "/k", 1));
    EXPECT_FALSE(registry.LoadString("<registry><node name=\"" + deeper + "\"/></registry>", false, ""));
    EXPECT_EQ(registry.FindNode("/x", false, false), nullptr);
}

TEST(RegistryTypes, AKeyTakesTheTypeLastSet)
{
    Registry registry;
    registry.SetInt("/a/b", 5);
    registry.SetString("/a/b", "x");
    int number = 7;
    NarrowString text;
    EXPECT_FALSE(registry.GetInt("/a/b", number));
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(registry.GetString("/a/b", text));
    EXPECT_EQ(text, "x");
    EXPECT_EQ(registry.FindKey("/a/b", false)->GetType(), RegistryKey::TYPE_STRING);
}

TEST(RegistryTypes, WrongTypeAndUnsetKeysFailWithoutTouchingOutput)
{
    Registry registry;
    registry.SetBool("/t/flag", true);
    registry.SetString("/t/name", "12");
    ASSERT_NE(registry.FindKey("/t/unset", true), nullptr);
    int number = 9;
    bool flag = false;
    NarrowString text = "keep";
    EXPECT_FALSE(registry.GetInt("/t/flag", number));
    EXPECT_FALSE(registry.GetInt("/t/name", number));
    EXPECT_FALSE(registry.GetInt("/t/unset", number));
    EXPECT_FALSE(registry.GetBool("/t/unset", flag));
    EXPECT_FALSE(registry.GetString("/t/unset", text));
    EXPECT_FALSE(registry.GetString("/t/missing", text));
    EXPECT_EQ(number, 9);
    EXPECT_FALSE(flag);
    EXPECT_EQ(text, "keep");
    Tarv::Any value = 1;
    EXPECT_TRUE(registry.GetValue("/t/unset", value));
    EXPECT_TRUE(value.IsEmpty());
}

TEST(RegistryCallbacks, PrefixesMatchAsPlainText)
{
    Registry registry;
    Seen quor, all;
    registry.RegisterCallback("/quor", Record, &quor, "f.cpp", "Fn", 12);
    registry.RegisterCallback("", Record, &all, "g.cpp", "Gn", 3);
    registry.SetBool("/quor/sfx_on", true);
    registry.SetBool("/quorx/k", true);
    registry.SetBool("/other/k", true);
    registry.SetBool("/machine/gl/fbo", true);
    EXPECT_EQ(quor.paths, (std::vector<NarrowString>{"/quor/sfx_on", "/quorx/k"}));
    EXPECT_EQ(all.paths, (std::vector<NarrowString>{"/quor/sfx_on", "/quorx/k", "/other/k"}));
    EXPECT_EQ(registry.GetCallbackDescriptions(), (std::vector<NarrowString>{"f.cpp (Fn: 12)", "g.cpp (Gn: 3)"}));
}

TEST(RegistryCallbacks, UnregisterNeedsPrefixFunctionAndUser)
{
    Registry registry;
    Seen seen, other;
    registry.RegisterCallback("/a", Record, &seen, "f", "F", 1);
    EXPECT_FALSE(registry.UnregisterCallback("/b", Record, &seen));
    EXPECT_FALSE(registry.UnregisterCallback("/a", Record, &other));
    EXPECT_TRUE(registry.UnregisterCallback("/a", Record, &seen));
    EXPECT_FALSE(registry.UnregisterCallback("/a", Record, &seen));
    registry.SetInt("/a/k", 1);
    EXPECT_TRUE(seen.paths.empty());
}

TEST(RegistryCallbacks, CallbacksRunOutsideTheLockAndMayUseTheRegistry)
{
    Registry registry;
    struct Context
    {
        Registry* registry;
        int seen = 0;
    } context{&registry};
    registry.RegisterCallback("/a/", [](void* user, const NarrowString&, RegistryKey*) {
        Context* c = static_cast<Context*>(user);
        c->registry->GetInt("/a/k", c->seen);
        c->registry->SetInt("/b/copy", c->seen);
    }, &context, "f", "F", 1);
    EXPECT_TRUE(registry.SetInt("/a/k", 42));
    EXPECT_EQ(context.seen, 42);
    int copy = 0;
    EXPECT_TRUE(registry.GetInt("/b/copy", copy));
    EXPECT_EQ(copy, 42);
}

TEST(RegistryMachine, WritesUnderMachineAreRefused)
{
    Registry registry;
    Seen seen;
    registry.RegisterCallback("", Record, &seen, "f", "F", 1);
    EXPECT_FALSE(registry.SetInt("/machine/resolution/x", 5));
    EXPECT_FALSE(registry.SetInt("/machine/extra/k", 5));
    EXPECT_FALSE(registry.SetInt("/machine/resolution/z", 5));
    EXPECT_FALSE(registry.SetString("/machine/platform", "other"));
    EXPECT_EQ(registry.FindNode("/machine/extra", false, false), nullptr);
    EXPECT_EQ(registry.FindKey("/machine/resolution/z", true), nullptr);
    EXPECT_EQ(registry.FindNode("/machine/new", false, true), nullptr);
    EXPECT_TRUE(seen.paths.empty());
    NarrowString platform;
    EXPECT_TRUE(registry.GetString("/machine/platform", platform));
    EXPECT_EQ(platform, "maemo");
    // Only the subtree is protected, not every name that starts the same way.
    EXPECT_TRUE(registry.SetInt("/machinery/k", 1));
}

TEST(RegistryThreads, ConcurrentWritersAndReadersKeepEveryKey)
{
    Registry registry;
    std::atomic<int> callbacks{0};
    registry.RegisterCallback("/runtime", [](void* user, const NarrowString&, RegistryKey*) {
        static_cast<std::atomic<int>*>(user)->fetch_add(1);
    }, &callbacks, "f", "F", 1);
    const int perThread = 500;
    auto writer = [&registry](int id) {
        for (int i = 0; i < perThread; ++i) {
            NarrowString path = "/runtime/t";
            path.AppendInt(id).AppendChar('/').AppendInt(i);
            registry.SetInt(path, i);
            NarrowString text;
            registry.GetString("/quor/language", text);
            registry.ToXml("/runtime");
        }
    };
    std::thread a(writer, 0);
    std::thread b(writer, 1);
    for (int i = 0; i < perThread; ++i)
        registry.SetString("/quor/language", i % 2 ? "en" : "fi");
    a.join();
    b.join();
    EXPECT_EQ(callbacks.load(), 2 * perThread);
    int value = 0;
    EXPECT_TRUE(registry.GetInt("/runtime/t1/499", value));
    EXPECT_EQ(value, 499);
}

// A save directory under a temporary XDG_CONFIG_HOME mounted as "save/", as the game sets it up.
class RegistrySaveMount : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_hadConfig = old != nullptr;
        m_oldConfig = old != nullptr ? old : "";
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        Tarv::VfsInit();
        // As in the game, the save mount falls through to the content mounted before it.
        Tarv::VfsMountNative(m_content.Path() + "/", "", 0);
        Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    }
    void TearDown() override
    {
        Tarv::AtomicFileWriter::SetWriteFunction(nullptr);
        Tarv::VfsShutdown();
        if (m_hadConfig)
            setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    std::string SettingsPath() const { return m_dir / "Brashwick/settings.xml"; }

    TestFiles::TempDir m_dir;
    TestFiles::TempDir m_content;
    bool m_hadConfig = false;
    std::string m_oldConfig;
};

TEST_F(RegistrySaveMount, SaveThenLoadRoundTrips)
{
    Registry saved;
    saved.SetInt("/quor/version", -5);
    saved.SetBool("/quor/sfx_on", false);
    saved.SetString("/quor/name", "a<b & \"c\" 'd'\n\tend ]]> \xE2\x9C\x93");
    saved.SetString("/quor/levels/1/best", "  spaced  ");
    saved.SetString("/quor/empty", "");
    ASSERT_TRUE(saved.SaveFile("save/settings.xml", "/quor"));
    EXPECT_FALSE(TestFiles::ReadBytes(SettingsPath()).empty());

    Registry loaded;
    ASSERT_TRUE(loaded.LoadFile("save/settings.xml", false, "/quor"));
    EXPECT_EQ(loaded.ToXml("/quor"), saved.ToXml("/quor"));
    NarrowString text;
    EXPECT_TRUE(loaded.GetString("/quor/name", text));
    EXPECT_EQ(text, "a<b & \"c\" 'd'\n\tend ]]> \xE2\x9C\x93");
    EXPECT_TRUE(loaded.GetString("/quor/empty", text));
    EXPECT_EQ(text, "");
    int version = 0;
    EXPECT_TRUE(loaded.GetInt("/quor/version", version));
    EXPECT_EQ(version, -5);
}

TEST_F(RegistrySaveMount, FailedWriteMidSaveKeepsTheOldFile)
{
    Registry registry;
    registry.SetString("/quor/language", "en");
    ASSERT_TRUE(registry.SaveFile("save/settings.xml", "/quor"));
    const std::vector<std::uint8_t> before = TestFiles::ReadBytes(SettingsPath());
    ASSERT_FALSE(before.empty());

    // The disk fills after the first few bytes.
    static int budget;
    budget = 10;
    Tarv::AtomicFileWriter::SetWriteFunction([](int fd, const void* data, std::size_t size) -> ssize_t {
        if (budget <= 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = size < static_cast<std::size_t>(budget) ? size : static_cast<std::size_t>(budget);
        budget -= static_cast<int>(n);
        return write(fd, data, n);
    });
    registry.SetString("/quor/language", "fi");
    for (int i = 0; i < 100; ++i) {
        NarrowString path = "/quor/level/";
        path.AppendInt(i);
        registry.SetInt(path, i);
    }
    EXPECT_FALSE(registry.SaveFile("save/settings.xml", "/quor"));
    EXPECT_EQ(TestFiles::ReadBytes(SettingsPath()), before);
    EXPECT_TRUE(TestFiles::ReadBytes(SettingsPath() + ".tmp").empty());

    Registry reloaded;
    ASSERT_TRUE(reloaded.LoadFile("save/settings.xml", false, "/quor"));
    NarrowString language;
    EXPECT_TRUE(reloaded.GetString("/quor/language", language));
    EXPECT_EQ(language, "en");
}

TEST_F(RegistrySaveMount, MissingNodeSavesNothing)
{
    Registry registry;
    EXPECT_FALSE(registry.SaveFile("save/settings.xml", "/quor"));
    EXPECT_TRUE(TestFiles::ReadBytes(SettingsPath()).empty());
}

TEST_F(RegistrySaveMount, MissingOrBrokenFilesLeaveTheRegistryAlone)
{
    Registry registry;
    registry.SetInt("/quor/k", 1);
    const NarrowString before = registry.ToXml("/");
    EXPECT_FALSE(registry.LoadFile("save/settings.xml", false, "/quor"));
    ASSERT_EQ(mkdir((m_dir / "Brashwick").c_str(), 0700), 0);
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "Brashwick/settings.xml", "<registry><node name=\"/quor\"><key name=\"k\" type=\"int\">2</key>"));
    EXPECT_FALSE(registry.LoadFile("save/settings.xml", false, "/quor"));
    EXPECT_EQ(registry.ToXml("/"), before);
}
