// Registry paths, typed access, callbacks, read-only "/machine", threads, and file round trips.
#include "engine/registry/Registry.h"

#include "engine/registry/AtomicFileWriter.h"
#include "engine/registry/RegistryKey.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

using Tarv::NarrowString;
using Tarv::Registry;
using Tarv::RegistryKey;

namespace
{

using Seen = std::vector<NarrowString>;

void Record(void* user, const NarrowString& path, RegistryKey*)
{
    static_cast<Seen*>(user)->push_back(path);
}

} // namespace

// Paths that address no key create nothing; root keys need the doubled slash; empty components
// name nodes with empty names; names are case-sensitive and byte-ordered.
TEST(RegistryPaths, OnlyPathsThatAddressAKeyCreateNodes)
{
    Registry registry;
    for (const char* path : {"/x", "a/b", "", "/a/", "/", "x"}) {
        EXPECT_FALSE(registry.SetInt(path, 1)) << path;
        EXPECT_EQ(registry.FindKey(path, true), nullptr) << path;
    }
    for (const char* path : {"/a", "/x"})
        EXPECT_EQ(registry.FindNode(path, false, false), nullptr) << path;
    EXPECT_EQ(registry.FindNode("", false, true), nullptr);
    EXPECT_EQ(registry.FindNode("a", false, true), nullptr);
    EXPECT_TRUE(registry.SetInt("//a", 3) && registry.SetInt("/a//b", 1));
    Tarv::RegistryNode* root = registry.FindNode("/", false, false);
    ASSERT_TRUE(root != nullptr && root->FindKey("a") != nullptr);
    EXPECT_EQ(registry.FindKey("//a", false), root->FindKey("a"));
    EXPECT_TRUE(root->GetChildren().count("machine"));
    Tarv::RegistryNode* empty = registry.FindNode("/a/", false, false);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty, registry.FindNode("/a", false, false)->FindChild("", false));
    EXPECT_NE(empty->FindKey("b"), nullptr);
    for (const char* name : {"b", "B", "\xC3\xA9", "ab", "a"})
        registry.SetInt(NarrowString("/n/") + name, 1);
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
    NarrowString deep, deeper = "/x";
    for (int i = 0; i < Registry::MAX_DEPTH; ++i) {
        deep += "/n";
        deeper += "/x";
    }
    EXPECT_TRUE(registry.SetInt(deep + "/k", 1));
    EXPECT_FALSE(registry.SetInt(deep + "/n/k", 1));
    EXPECT_EQ(registry.FindNode(deep + "/n", false, false), nullptr);
    EXPECT_FALSE(registry.SetInt(deeper + "/k", 1));
    EXPECT_FALSE(registry.LoadString("<registry><node name=\"" + deeper + "\"/></registry>", false, ""));
    EXPECT_EQ(registry.FindNode("/x", false, false), nullptr);
}

// A key takes the type last set; wrong-type and unset keys fail without touching the output.
TEST(RegistryTypes, WrongTypeAndUnsetKeysFailWithoutTouchingOutput)
{
    Registry registry;
    registry.SetInt("/t/name", 5);
    registry.SetString("/t/name", "12");
    registry.SetBool("/t/flag", true);
    ASSERT_NE(registry.FindKey("/t/unset", true), nullptr);
    int number = 9;
    bool flag = false;
    NarrowString text = "keep";
    for (const char* path : {"/t/flag", "/t/name", "/t/unset"})
        EXPECT_FALSE(registry.GetInt(path, number)) << path;
    EXPECT_FALSE(registry.GetBool("/t/unset", flag) || registry.GetString("/t/unset", text) ||
                 registry.GetString("/t/missing", text));
    EXPECT_TRUE(number == 9 && !flag && text == "keep");
    EXPECT_TRUE(registry.GetString("/t/name", text) && text == "12");
    Tarv::Any value = 1;
    EXPECT_TRUE(registry.GetValue("/t/unset", value) && value.IsEmpty());
}

// Prefixes match as plain text, "/machine" writes reach no callback, and unregistering needs the
// prefix, the function and the user.
TEST(RegistryCallbacks, PrefixesMatchAsPlainTextAndUnregisterNeedsAllThree)
{
    Registry registry;
    Seen quor, all;
    registry.RegisterCallback("/quor", Record, &quor, "f.cpp", "Fn", 12);
    registry.RegisterCallback("", Record, &all, "g.cpp", "Gn", 3);
    for (const char* path : {"/quor/sfx_on", "/quorx/k", "/other/k", "/machine/gl/fbo"})
        registry.SetBool(path, true);
    EXPECT_EQ(quor, (std::vector<NarrowString>{"/quor/sfx_on", "/quorx/k"}));
    EXPECT_EQ(all, (std::vector<NarrowString>{"/quor/sfx_on", "/quorx/k", "/other/k"}));
    EXPECT_EQ(registry.GetCallbackDescriptions(), (std::vector<NarrowString>{"f.cpp (Fn: 12)", "g.cpp (Gn: 3)"}));
    EXPECT_FALSE(registry.UnregisterCallback("/quo", Record, &quor) || registry.UnregisterCallback("/quor", Record, &all));
    EXPECT_TRUE(registry.UnregisterCallback("/quor", Record, &quor));
    EXPECT_FALSE(registry.UnregisterCallback("/quor", Record, &quor));
    registry.SetInt("/quor/k", 1);
    EXPECT_EQ(quor.size(), 2u);
}

TEST(RegistryCallbacks, CallbacksRunOutsideTheLockAndMayUseTheRegistry)
{
    Registry registry;
    registry.RegisterCallback("/a/", [](void* user, const NarrowString&, RegistryKey*) {
        Registry* r = static_cast<Registry*>(user);
        int seen = 0;
        r->GetInt("/a/k", seen);
        r->SetInt("/b/copy", seen);
    }, &registry, "f", "F", 1);
    EXPECT_TRUE(registry.SetInt("/a/k", 42));
    int copy = 0;
    EXPECT_TRUE(registry.GetInt("/b/copy", copy) && copy == 42);
}

// The machine keys refuse writes and no node appears under "/machine", but a plain key can be
// made in a node that is there; names that merely start the same way are ordinary.
TEST(RegistryMachine, MachineKeysAndNodesAreFixedButPlainKeysCanJoinThem)
{
    Registry registry;
    EXPECT_FALSE(registry.SetInt("/machine/resolution/x", 5));
    EXPECT_FALSE(registry.SetString("/machine/platform", "other"));
    EXPECT_FALSE(registry.SetInt("/machine/extra/k", 5));
    EXPECT_EQ(registry.FindNode("/machine/extra", false, false), nullptr);
    EXPECT_EQ(registry.FindNode("/machine/new", false, true), nullptr);
    EXPECT_TRUE(registry.SetInt("/machine/resolution/z", 5));
    int z = 0;
    EXPECT_TRUE(registry.GetInt("/machine/resolution/z", z) && z == 5);
    EXPECT_NE(registry.FindKey("/machine/resolution/w", true), nullptr);
    NarrowString platform;
    EXPECT_TRUE(registry.GetString("/machine/platform", platform) && platform == "maemo");
    EXPECT_TRUE(registry.SetInt("/machinery/k", 1));
}

// Two writers and the main thread race on keys, callbacks and saves to text; nothing is lost.
TEST(RegistryThreads, ConcurrentWritersAndReadersKeepEveryKey)
{
    Registry registry;
    std::atomic<int> callbacks{0};
    registry.RegisterCallback("/runtime", [](void* user, const NarrowString&, RegistryKey*) {
        static_cast<std::atomic<int>*>(user)->fetch_add(1);
    }, &callbacks, "f", "F", 1);
    auto writer = [&registry](int id) {
        NarrowString text;
        for (int i = 0; i < 500; ++i) {
            registry.SetInt(NarrowString("/runtime/t").AppendInt(id).AppendChar('/').AppendInt(i), i);
            registry.GetString("/quor/language", text);
            registry.ToXml("/runtime");
        }
    };
    std::thread a(writer, 0), b(writer, 1);
    for (int i = 0; i < 500; ++i)
        registry.SetString("/quor/language", i % 2 ? "en" : "fi");
    a.join();
    b.join();
    EXPECT_EQ(callbacks.load(), 1000);
    int value = 0;
    EXPECT_TRUE(registry.GetInt("/runtime/t1/499", value) && value == 499);
}

// A save directory under a temporary XDG_CONFIG_HOME mounted as "save/" over a content mount it
// falls through to, as the game sets it up.
class RegistrySaveMount : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_oldConfig = old != nullptr ? old : "";
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_content.Path() + "/", "", 0);
        Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    }
    void TearDown() override
    {
        Tarv::AtomicFileWriter::SetWriteFunction(nullptr);
        Tarv::VfsShutdown();
        m_oldConfig.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
    }
    std::vector<std::uint8_t> Saved(const char* suffix = "") const
    {
        return TestFiles::ReadBytes(m_dir / "Brashwick/settings.xml" + suffix);
    }

    TestFiles::TempDir m_dir, m_content;
    std::string m_oldConfig;
};

// Markup, quotes, line breaks, edge spaces, empty values and UTF-8 survive a save and load.
TEST_F(RegistrySaveMount, SaveThenLoadRoundTrips)
{
    Registry saved, loaded;
    saved.SetInt("/quor/version", -5);
    saved.SetBool("/quor/sfx_on", false);
    saved.SetString("/quor/name", "a<b & \"c\" 'd'\n\tend ]]> \xE2\x9C\x93");
    saved.SetString("/quor/levels/1/best", "  spaced  ");
    saved.SetString("/quor/empty", "");
    ASSERT_TRUE(saved.SaveFile("save/settings.xml", "/quor"));
    ASSERT_TRUE(loaded.LoadFile("save/settings.xml", false, "/quor"));
    EXPECT_EQ(loaded.ToXml("/quor"), saved.ToXml("/quor"));
    NarrowString text;
    EXPECT_TRUE(loaded.GetString("/quor/name", text) && text == "a<b & \"c\" 'd'\n\tend ]]> \xE2\x9C\x93");
}

TEST_F(RegistrySaveMount, FailedWriteMidSaveKeepsTheOldFile)
{
    Registry registry;
    registry.SetString("/quor/language", "en");
    ASSERT_TRUE(registry.SaveFile("save/settings.xml", "/quor"));
    const std::vector<std::uint8_t> before = Saved();
    // The disk fills after the first few bytes.
    static int budget;
    budget = 10;
    Tarv::AtomicFileWriter::SetWriteFunction([](int fd, const void* data, std::size_t size) -> ssize_t {
        const std::size_t n = std::min(size, static_cast<std::size_t>(budget));
        budget -= static_cast<int>(n);
        errno = ENOSPC;
        return n == 0 ? -1 : write(fd, data, n);
    });
    registry.SetString("/quor/language", "fi");
    for (int i = 0; i < 100; ++i)
        registry.SetInt(NarrowString("/quor/level/").AppendInt(i), i);
    EXPECT_FALSE(registry.SaveFile("save/settings.xml", "/quor"));
    EXPECT_EQ(Saved(), before);
    EXPECT_TRUE(Saved(".tmp").empty());
    Registry reloaded;
    NarrowString language;
    EXPECT_TRUE(reloaded.LoadFile("save/settings.xml", false, "/quor"));
    EXPECT_TRUE(reloaded.GetString("/quor/language", language) && language == "en");
}

// A missing node saves nothing; a missing or truncated file leaves the registry alone.
TEST_F(RegistrySaveMount, MissingOrBrokenFilesLeaveTheRegistryAlone)
{
    Registry registry;
    EXPECT_FALSE(registry.SaveFile("save/settings.xml", "/quor"));
    EXPECT_TRUE(Saved().empty());
    registry.SetInt("/quor/k", 1);
    const NarrowString before = registry.ToXml("/");
    EXPECT_FALSE(registry.LoadFile("save/settings.xml", false, "/quor"));
    ASSERT_EQ(mkdir((m_dir / "Brashwick").c_str(), 0700), 0);
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "Brashwick/settings.xml", "<registry><node name=\"/quor\"><key name=\"k\" type=\"int\">2</key>"));
    EXPECT_FALSE(registry.LoadFile("save/settings.xml", false, "/quor"));
    EXPECT_EQ(registry.ToXml("/"), before);
}
