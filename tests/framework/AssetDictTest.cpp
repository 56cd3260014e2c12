// The asset dictionary over real files in a mounted archive: sharing, weak expiry and reload,
// holds (a failed held load retried), sound options, image options, kinds kept apart, and
// concurrent requests for one name loading it once.
#include "framework/AssetDict.h"

#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioOgg.h"
#include "engine/vfs/VfsMount.h"
#include "graphics/image/AtlasSurface.h"
#include "tests/framework/AssetWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace
{

using AssetTest::MakeOgg;
using AssetTest::MakePng;
using Tarv::AssetDict;

const char* const MENU_XML = "<atlas>"
                             "<rect id=\"images/button.png\" x=\"0\" y=\"0\" width=\"2\" height=\"3\"/>"
                             "<rect id=\"icon\" x=\"4\" y=\"4\" width=\"4\" height=\"4\"/>"
                             "</atlas>";

bool IsRegion(const Tarv::SmartPtr<Tarv::Surface>& surface)
{
    return dynamic_cast<Tarv::AtlasSurface*>(surface.Get()) != nullptr;
}

class AssetDictTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        MountArchive({{"sfx/click.ogg", MakeOgg(440.0, 4000)},
                      {"sfx/noise.snd", MakeOgg(660.0, 4000)},
                      {"images/a.png", MakePng(4, 2, 200)},
                      {"dir@x/a.png", MakePng(2, 2, 10)},
                      {"menu.png", MakePng(8, 8, 90)},
                      {"menu.xml", AssetTest::Text(MENU_XML)},
                      {"images/button.png", MakePng(5, 5, 70)}});
        dict = AssetDict::Instance.Get();
    }

    AssetDict* dict = nullptr;
};

TEST_F(AssetDictTest, SharesOneObjectWhileItIsReferencedThenLoadsAgain)
{
    Tarv::SmartPtr<Tarv::AudioSource> first = AssetDict::GetAudio("sfx/click.ogg@cache", false);
    ASSERT_TRUE(first);
    EXPECT_EQ(AssetDict::GetAudio("sfx/click.ogg@cache", false), first);
    EXPECT_EQ(dict->GetLoadCount(), 1u);
    Tarv::WeakPtr<Tarv::AudioSource> old(first);
    first.Reset();
    EXPECT_TRUE(old.IsExpired());
    const Tarv::SmartPtr<Tarv::AudioSource> again = AssetDict::GetAudio("sfx/click.ogg@cache", false);
    ASSERT_TRUE(again);
    EXPECT_EQ(dict->GetLoadCount(), 2u);
}

TEST_F(AssetDictTest, HoldKeepsAnAssetAliveUntilReleaseHeld)
{
    Tarv::WeakPtr<Tarv::AudioSource> weak(AssetDict::GetAudio("sfx/click.ogg@buffer", false));
    EXPECT_TRUE(weak.IsExpired());
    const Tarv::AudioSource* held = AssetDict::GetAudio("sfx/click.ogg@buffer", true).Get();
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(dict->IsHeld("sfx/click.ogg@buffer"));
    // Asking without hold never releases a held entry.
    EXPECT_EQ(AssetDict::GetAudio("sfx/click.ogg@buffer", false).Get(), held);
    EXPECT_EQ(dict->GetLoadCount(), 2u);

    Tarv::WeakPtr<Tarv::AudioSource> heldWeak(AssetDict::GetAudio("sfx/click.ogg@buffer", false));
    dict->ReleaseHeld();
    EXPECT_TRUE(heldWeak.IsExpired());
    EXPECT_FALSE(dict->IsHeld("sfx/click.ogg@buffer"));
}

TEST_F(AssetDictTest, LiveAssetAskedWithHoldBecomesHeld)
{
    Tarv::SmartPtr<Tarv::AudioSource> user = AssetDict::GetAudio("sfx/click.ogg@cache", false);
    EXPECT_EQ(AssetDict::GetAudio("sfx/click.ogg@cache", true), user);
    const Tarv::AudioSource* raw = user.Get();
    user.Reset();
    EXPECT_EQ(AssetDict::GetAudio("sfx/click.ogg@cache", false).Get(), raw);
    EXPECT_EQ(dict->GetLoadCount(), 1u);
}

// The held entry of a failed load holds nothing and is never replaced: a later success under
// the key is loaded and returned but not held, until ReleaseHeld clears the entry.
TEST_F(AssetDictTest, FailedHeldLoadIsRetriedButItsSuccessIsNotHeld)
{
    EXPECT_FALSE(AssetDict::GetAudio("late/drum.ogg@cache", true));
    EXPECT_TRUE(dict->IsHeld("late/drum.ogg@cache"));
    EXPECT_FALSE(AssetDict::GetAudio("late/drum.ogg@cache", true));
    EXPECT_EQ(dict->GetLoadCount(), 2u);

    MountArchive({{"late/drum.ogg", MakeOgg(440.0, 4000)}});
    Tarv::SmartPtr<Tarv::AudioSource> loaded = AssetDict::GetAudio("late/drum.ogg@cache", true);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(AssetDict::GetAudio("late/drum.ogg@cache", true), loaded);
    Tarv::WeakPtr<Tarv::AudioSource> weak(loaded);
    loaded.Reset();
    EXPECT_TRUE(weak.IsExpired());

    dict->ReleaseHeld();
    EXPECT_FALSE(dict->IsHeld("late/drum.ogg@cache"));
    Tarv::WeakPtr<Tarv::AudioSource> held(AssetDict::GetAudio("late/drum.ogg@cache", true));
    EXPECT_FALSE(held.IsExpired());
}

TEST_F(AssetDictTest, SoundOptionsChooseTheLoader)
{
    // "buffer" decodes whole; "cache" and plain names give decoders.
    EXPECT_NE(dynamic_cast<Tarv::AudioBuffer*>(AssetDict::GetAudio("sfx/click.ogg@buffer", false).Get()), nullptr);
    EXPECT_NE(dynamic_cast<Tarv::AudioOgg*>(AssetDict::GetAudio("sfx/click.ogg@cache", false).Get()), nullptr);
    EXPECT_NE(dynamic_cast<Tarv::AudioOgg*>(AssetDict::GetAudio("sfx/click.ogg", false).Get()), nullptr);
    // Only "cache" reads any file as Ogg Vorbis; the others choose by the path's ending.
    EXPECT_TRUE(AssetDict::GetAudio("sfx/noise.snd@cache", false));
    EXPECT_FALSE(AssetDict::GetAudio("sfx/noise.snd", false));
    EXPECT_FALSE(AssetDict::GetAudio("sfx/noise.snd@Cache", false));
    EXPECT_FALSE(AssetDict::GetAudio("sfx/noise.snd@buffer", false));
}

TEST_F(AssetDictTest, KeysAreWholeAndCaseSensitive)
{
    const auto plain = AssetDict::GetAudio("sfx/click.ogg", false);
    const auto cached = AssetDict::GetAudio("sfx/click.ogg@cache", false);
    EXPECT_NE(plain, cached);
    EXPECT_EQ(dict->GetLoadCount(), 2u);
    const auto entries = dict->ListEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "sfx/click.ogg");
    EXPECT_TRUE(entries[0].live);
    EXPECT_FALSE(entries[0].held);
}

TEST_F(AssetDictTest, AKeyOfAnotherKindIsAMissThatLeavesItsEntry)
{
    const Tarv::SmartPtr<Tarv::Surface> image = AssetDict::GetSurface("images/a.png", false);
    ASSERT_TRUE(image);
    EXPECT_FALSE(AssetDict::GetAudio("images/a.png", true));
    EXPECT_EQ(dict->GetKindConflictCount(), 1u);
    EXPECT_FALSE(dict->IsHeld("images/a.png"));
    EXPECT_EQ(AssetDict::GetSurface("images/a.png", false), image);
}

TEST_F(AssetDictTest, FailedOrExpiredEntryLoadsAgainAsAnotherKind)
{
    EXPECT_FALSE(AssetDict::GetAudio("images/a.png", false));
    EXPECT_TRUE(AssetDict::GetSurface("images/a.png", true));
    dict->ReleaseHeld();
    EXPECT_TRUE(AssetDict::GetAudio("sfx/click.ogg", false));
    // The surface entry has expired: a sound request loads again (and fails as a sound).
    EXPECT_FALSE(AssetDict::GetAudio("images/a.png", false));
    EXPECT_EQ(dict->GetLoadCount(), 4u);
    EXPECT_EQ(dict->GetKindConflictCount(), 0u);
}

// Throws from the first open of each path under its prefix, then finds nothing.
class ThrowingMount : public Tarv::VfsMount
{
public:
    ThrowingMount() : VfsMount("boom/", Tarv::VFS_MOUNT_FALL_THROUGH) {}
    Tarv::File* OpenRead(const char* path) override
    {
        if (m_thrown.insert(path).second)
            throw std::runtime_error(path);
        return nullptr;
    }
    Tarv::File* OpenWrite(const char*) override { return nullptr; }

private:
    std::set<std::string> m_thrown;
};

TEST_F(AssetDictTest, ALoaderThatThrowsLeavesNoNameInFlight)
{
    Tarv::VfsAddMount(new ThrowingMount());
    EXPECT_THROW(AssetDict::GetSurface("boom/a.png", false), std::runtime_error);
    // Another thread asking for the name again loads it instead of waiting for ever.
    std::promise<bool> loaded;
    std::future<bool> result = loaded.get_future();
    std::thread asker([&loaded] {
        const bool none = !AssetDict::GetSurface("boom/a.png", false);
        loaded.set_value(none);
    });
    const bool ended = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ended ? asker.join() : asker.detach();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(result.get());
    EXPECT_EQ(dict->GetLoadCount(), 2u);
}

TEST_F(AssetDictTest, NoDictionaryGivesNull)
{
    AssetDict::Instance.Reset();
    EXPECT_FALSE(AssetDict::GetAudio("sfx/click.ogg", false));
    EXPECT_FALSE(AssetDict::GetSurface("images/a.png", false));
}

TEST_F(AssetDictTest, ThreadsAskingForOneNameShareOneLoad)
{
    constexpr int THREADS = 8;
    std::vector<Tarv::SmartPtr<Tarv::AudioSource>> got(THREADS);
    std::vector<std::thread> threads;
    for (int i = 0; i < THREADS; ++i)
        threads.emplace_back([&got, i] { got[i] = AssetDict::GetAudio("sfx/click.ogg@buffer", i % 2 == 0); });
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_TRUE(got[0]);
    for (const auto& source : got)
        EXPECT_EQ(source, got[0]);
    EXPECT_EQ(dict->GetLoadCount(), 1u);
    EXPECT_TRUE(dict->IsHeld("sfx/click.ogg@buffer"));
}

TEST_F(AssetDictTest, ThreadsMixingNamesKeepTheDictionaryWhole)
{
    const char* const names[] = {"sfx/click.ogg@cache", "images/a.png@linear", "images/a.png@ck", "missing.png"};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&names, i] {
            for (int round = 0; round < 20; ++round) {
                const char* name = names[(i + round) % 4];
                if (name[0] == 's')
                    AssetDict::GetAudio(name, round % 5 == 0);
                else
                    AssetDict::GetSurface(name, false);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(dict->ListEntries().size(), 4u);
    EXPECT_TRUE(AssetDict::GetAudio("sfx/click.ogg@cache", false));
}

// Image names: options after the last "@", the same surface while referenced.
TEST_F(AssetDictTest, ReleasedImageIsReadAgainAsANewSurface)
{
    Tarv::SmartPtr<Tarv::Surface> first = AssetDict::GetSurface("images/a.png@linear", false);
    EXPECT_EQ(AssetDict::GetSurface("images/a.png@linear", false), first);
    Tarv::WeakPtr<Tarv::Surface> weak(first);
    first.Reset();
    EXPECT_TRUE(weak.IsExpired());
    const Tarv::Surface* held = AssetDict::GetSurface("images/a.png@linear", true).Get();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR);
    // Held, it survives its users; a missing image is tried again each time.
    EXPECT_EQ(AssetDict::GetSurface("images/a.png@linear", false).Get(), held);
    EXPECT_EQ(dict->GetLoadCount(), 2u);
    EXPECT_FALSE(AssetDict::GetSurface("images/none.png@linear", true));
    EXPECT_FALSE(AssetDict::GetSurface("images/none.png@linear", true));
    EXPECT_EQ(dict->GetLoadCount(), 4u);
}

TEST_F(AssetDictTest, ImageOptionsSetFlagsAndColourKey)
{
    const auto bare = AssetDict::GetSurface("images/a.png", false);
    const auto empty = AssetDict::GetSurface("images/a.png@", false);
    const auto linear = AssetDict::GetSurface("images/a.png@,,linear,", false);
    const auto keyed = AssetDict::GetSurface("images/a.png@ck,linear", false);
    const auto reversed = AssetDict::GetSurface("images/a.png@linear,ck", false);
    const auto ignored = AssetDict::GetSurface("images/a.png@ linear,LINEAR,565,rle", false);
    ASSERT_TRUE(bare && empty && linear && keyed && reversed && ignored);
    EXPECT_EQ(bare->GetWidth(), 4);
    EXPECT_EQ(bare->GetFlags(0xffffffffu), 0u);
    EXPECT_NE(empty, linear);
    EXPECT_EQ(empty->GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(linear->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR);
    EXPECT_EQ(keyed->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR | Tarv::Surface::FLAG_COLOR_KEY);
    EXPECT_EQ(reversed->GetFlags(0xffffffffu), keyed->GetFlags(0xffffffffu));
    EXPECT_NE(reversed, keyed);
    EXPECT_EQ(keyed->GetPixelData()->GetColorKey(), (Tarv::Color{255, 0, 255, 255}));
    EXPECT_EQ(ignored->GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(dict->GetLoadCount(), 6u);
}

TEST_F(AssetDictTest, OnlyTheLastAtSplitsTheImageName)
{
    // "dir" is no file; "dir@x/a.png" is.
    EXPECT_FALSE(AssetDict::GetSurface("dir@x/a.png", false));
    const auto image = AssetDict::GetSurface("dir@x/a.png@", false);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 2);
}

// Atlases: regions by name in place of files, counted registrations, release with the atlas.
TEST_F(AssetDictTest, AtlasRegionsReplaceFilesOfTheirName)
{
    const auto file = AssetDict::GetSurface("images/button.png@linear", false);
    ASSERT_TRUE(file);
    EXPECT_FALSE(IsRegion(file));
    ASSERT_TRUE(AssetDict::RegisterAtlas("menu.xml@linear"));
    const auto region = AssetDict::GetSurface("images/button.png@linear", false);
    ASSERT_TRUE(IsRegion(region));
    EXPECT_EQ(region->GetHeight(), 3);
    EXPECT_TRUE(IsRegion(AssetDict::GetSurface("icon@linear", false)));
    // The bare names are other keys: they still name files (or nothing).
    EXPECT_FALSE(IsRegion(AssetDict::GetSurface("images/button.png", false)));
    EXPECT_FALSE(AssetDict::GetSurface("icon", false));
    // The page image has an entry of its own.
    bool page = false;
    for (const auto& entry : dict->ListEntries())
        page = page || (entry.key == "menu.png@linear" && entry.live && !entry.held);
    EXPECT_TRUE(page);
}

// Without an option the regions have bare ids.
TEST_F(AssetDictTest, AtlasWithoutOptionNamesRegionsByBareIds)
{
    ASSERT_TRUE(AssetDict::RegisterAtlas("menu.xml"));
    EXPECT_TRUE(IsRegion(AssetDict::GetSurface("icon", false)));
    EXPECT_FALSE(AssetDict::GetSurface("icon@linear", false));
}

TEST_F(AssetDictTest, RegisteringTwiceIsCountedAndKeepsTheAtlas)
{
    ASSERT_TRUE(AssetDict::RegisterAtlas("menu.xml@linear"));
    Tarv::SmartPtr<Tarv::Surface> region = AssetDict::GetSurface("icon@linear", false);
    ASSERT_TRUE(AssetDict::RegisterAtlas("menu.xml@linear"));
    EXPECT_EQ(dict->GetAtlasCount("menu.xml@linear"), 2);
    EXPECT_EQ(AssetDict::GetSurface("icon@linear", false), region);
    Tarv::WeakPtr<Tarv::Surface> weak(region);
    region.Reset();
    // The first owner's release leaves the second owner's atlas in place.
    EXPECT_TRUE(AssetDict::UnregisterAtlas("menu.xml@linear"));
    EXPECT_FALSE(weak.IsExpired());
    EXPECT_TRUE(AssetDict::UnregisterAtlas("menu.xml@linear"));
    EXPECT_TRUE(weak.IsExpired());
    // Once unregistered, files load again under the region names.
    EXPECT_EQ(dict->GetAtlasCount("menu.xml@linear"), 0);
    const auto file = AssetDict::GetSurface("images/button.png@linear", false);
    ASSERT_TRUE(file);
    EXPECT_FALSE(IsRegion(file));
    EXPECT_FALSE(AssetDict::GetSurface("icon@linear", false));
    EXPECT_FALSE(AssetDict::UnregisterAtlas("menu.xml@linear"));
}

TEST_F(AssetDictTest, ReleaseHeldDropsAtlasesToo)
{
    ASSERT_TRUE(AssetDict::RegisterAtlas("menu.xml@linear"));
    Tarv::WeakPtr<Tarv::Surface> weak(AssetDict::GetSurface("icon@linear", false));
    dict->ReleaseHeld();
    EXPECT_TRUE(weak.IsExpired());
    EXPECT_EQ(dict->GetAtlasCount("menu.xml@linear"), 0);
}

// A path too short to hold an ending names no page and is refused.
TEST_F(AssetDictTest, AtlasOfAPathShorterThanAnEndingIsRefused)
{
    EXPECT_FALSE(AssetDict::RegisterAtlas("ab"));
    EXPECT_FALSE(AssetDict::RegisterAtlas("ab@linear"));
    EXPECT_EQ(dict->GetAtlasCount("ab"), 0);
}

TEST_F(AssetDictTest, AnimationFramesAndAtlasPagesComeFromTheDictionary)
{
    const auto page = AssetDict::FetchSurface("menu.png@linear");
    EXPECT_EQ(AssetDict::GetSurface("menu.png@linear", false), page);
    AssetDict::Instance.Reset();
    // With no dictionary the name is a plain file path, its options part of the file name.
    EXPECT_FALSE(AssetDict::FetchSurface("menu.png@linear"));
    const auto plain = AssetDict::FetchSurface("menu.png");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->GetFlags(0xffffffffu), 0u);
}

} // namespace
