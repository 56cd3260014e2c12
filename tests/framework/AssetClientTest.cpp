// The asset client's queue over real files in a mounted archive: dispatch by extension,
// image slots, sounds entered by base name, images held by the cache list, and progress read
// from the main thread while a real loader thread drains the queue one entry at a time.
#include "framework/AssetClient.h"

#include "framework/ApplicationState.h"
#include "framework/CacheList.h"
#include "framework/LoaderThread.h"
#include "tests/framework/AssetWorld.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace
{

using AssetTest::MakeOgg;
using AssetTest::MakePng;
using Quor::AssetClient;

class AssetClientTest : public AssetTest::AssetWorld
{
protected:
    void SetUp() override
    {
        AssetWorld::SetUp();
        MountArchive({{"images/a.png", MakePng(4, 2, 200)},
                      {"images/B.PNG", MakePng(3, 3, 100)},
                      {"images/x.pngx", MakePng(2, 2, 50)},
                      {"images/x.png.bak", MakePng(2, 2, 50)},
                      {"sfx/click.ogg", MakeOgg(660.0, 3000)},
                      {"fonts/menu.xml", AssetTest::FontXml()},
                      {"fonts/menu.png", MakePng(9, 5, 255)},
                      {"atlas.xml", AssetTest::Text("<atlas><rect id=\"a\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/></atlas>")},
                      {"atlas.png", MakePng(2, 2, 1)}});
    }
};

// Lets the loader thread run one queue entry per step of the main thread.
class Turnstile
{
public:
    // Loader thread: waits for a permit, runs the entry, reports it done.
    template <class Fn>
    bool Pass(Fn&& entry)
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_permits > 0; });
            --m_permits;
        }
        const bool more = entry();
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_done;
        m_changed.notify_all();
        return more;
    }
    // Main thread: lets one entry through and waits until it has been loaded.
    void Step()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const int target = m_done + 1;
        ++m_permits;
        m_changed.notify_all();
        m_changed.wait(lock, [this, target] { return m_done >= target; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_permits = 0;
    int m_done = 0;
};

class QueuedState : public Quor::ApplicationState
{
public:
    explicit QueuedState(Turnstile* turnstile) : Quor::ApplicationState("queued"), m_turnstile(turnstile) {}

    void Load() override
    {
        RequestAssetInto("images/a.png", &image);
        RequestAsset("sfx/click.ogg");
        RequestAsset("fonts/menu.xml");
        RequestAssetInto("images/missing.png", &missing);
    }
    bool LoadNextQueued() override
    {
        return m_turnstile->Pass([this] { return AssetClient::LoadNextQueued(); });
    }

    Tarv::Surface* image = nullptr;
    Tarv::Surface* missing = reinterpret_cast<Tarv::Surface*>(1);

private:
    Turnstile* m_turnstile;
};

TEST_F(AssetClientTest, ProgressClimbsWhileALoaderThreadDrainsTheQueue)
{
    Turnstile turnstile;
    const Tarv::SmartPtr<QueuedState> state = Tarv::MakeSmart<QueuedState>(&turnstile);
    Quor::LoaderThread loader(state);
    EXPECT_EQ(state->GetLoadProgress(), 0.0f);
    ASSERT_TRUE(loader.Start());
    const float expected[] = {25.0f, 50.0f, 75.0f, 100.0f};
    for (float percent : expected) {
        turnstile.Step();
        EXPECT_FLOAT_EQ(state->GetLoadProgress(), percent);
    }
    loader.Join();
    ASSERT_TRUE(loader.IsLoaded());
    ASSERT_NE(state->image, nullptr);
    EXPECT_EQ(state->image->GetWidth(), 4);
    EXPECT_EQ(state->missing, nullptr);
    ASSERT_TRUE(state->HasSound("click"));
    EXPECT_TRUE(state->FindSound("click")->source);
    EXPECT_NE(state->GetFontSet()->GetFont("menu"), nullptr);
    EXPECT_EQ(state->GetFontSet()->GetDefaultName(), "menu");
    EXPECT_EQ(state->GetLoadProgress(), 100.0f);
}

TEST_F(AssetClientTest, OneImageQueuedTwiceFillsBothSlots)
{
    AssetClient client;
    Tarv::Surface* first = nullptr;
    Tarv::Surface* second = nullptr;
    client.RequestAssetInto("images/a.png", &first);
    client.RequestAssetInto("images/a.png", &second);
    client.RequestAsset("images/a.png");
    client.LoadQueued();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(client.GetImageCount(), 1u);
    EXPECT_EQ(first->GetFlags(0xffffffffu), Tarv::Surface::FLAG_LINEAR);
    EXPECT_EQ(Tarv::AssetDict::Instance->GetLoadCount(), 1u);
}

// The three characters after the last "." choose the kind, compared as written; a name
// without a "." stands in with its first three.
TEST_F(AssetClientTest, ThreeCharactersAfterTheLastDotChooseTheKindAsWritten)
{
    const struct { const char* name; AssetClient::AssetKind kind; } cases[] = {
        {"x.pngx", AssetClient::AssetKind::IMAGE},      {"a.png/x", AssetClient::AssetKind::IMAGE},
        {"png", AssetClient::AssetKind::IMAGE},         {"x.png.bak", AssetClient::AssetKind::UNKNOWN},
        {"images/B.PNG", AssetClient::AssetKind::UNKNOWN}, {"music/a.Ogg", AssetClient::AssetKind::UNKNOWN},
        {"a.oggx", AssetClient::AssetKind::SOUND}};
    for (const auto& c : cases)
        EXPECT_EQ(AssetClient::GetAssetKind(c.name), c.kind) << c.name;

    AssetClient client;
    Tarv::Surface* upper = reinterpret_cast<Tarv::Surface*>(1);
    Tarv::Surface* longer = nullptr;
    client.RequestAssetInto("images/B.PNG", &upper);
    client.RequestAssetInto("images/x.pngx", &longer);
    client.RequestAsset("images/x.png.bak");
    client.LoadQueued();
    ASSERT_NE(longer, nullptr);
    EXPECT_EQ(longer->GetWidth(), 2);
    // Names the client cannot load are listed, and their slots left alone.
    EXPECT_EQ(upper, reinterpret_cast<Tarv::Surface*>(1));
    ASSERT_EQ(client.GetUnknownNames().size(), 2u);
    EXPECT_EQ(client.GetUnknownNames()[0], "images/B.PNG");
    EXPECT_EQ(client.GetLoadProgress(), 100.0f);
}

TEST_F(AssetClientTest, XmlEntriesAreAlwaysReadAsFonts)
{
    AssetClient client;
    client.RequestAsset("atlas.xml");
    client.RequestAsset("fonts/menu.xml");
    client.RequestAsset("scripts/menu.lua");
    client.LoadQueued();
    // The atlas description has no glyphs: no font is filed for it, and it is no atlas.
    EXPECT_EQ(client.GetFontSet()->GetFontCount(), 1u);
    EXPECT_EQ(client.GetFontSet()->GetDefaultName(), "menu");
    EXPECT_EQ(Tarv::AssetDict::Instance->GetAtlasCount("atlas.xml"), 0);
    EXPECT_TRUE(client.GetUnknownNames().empty()) << "a script becomes a component";
    EXPECT_NE(client.GetComponent("menu"), nullptr);
}

// Images live as long as their client, unless the cache list holds them.
TEST_F(AssetClientTest, ImagesLiveAsLongAsTheirClientOrTheCacheList)
{
    for (const bool listed : {false, true}) {
        if (listed)
            Quor::CacheList::GetInstance()->Add("images/a.png");
        Tarv::WeakPtr<Tarv::Surface> weak;
        {
            AssetClient client;
            client.RequestAsset("images/a.png");
            client.LoadQueued();
            weak = Tarv::WeakPtr<Tarv::Surface>(client.GetImage("images/a.png"));
            EXPECT_FALSE(weak.IsExpired());
        }
        EXPECT_EQ(weak.IsExpired(), !listed);
        EXPECT_EQ(Tarv::AssetDict::Instance->IsHeld("images/a.png@linear"), listed);
    }
}

// A slot holds a plain pointer that only the client's images keep alive: an image that failed
// and then loaded is kept in place of the failure, or the slot would point at a freed image.
TEST_F(AssetClientTest, ALaterLoadOfAFailedImageIsKeptForItsSlot)
{
    AssetClient client;
    Tarv::Surface* slot = reinterpret_cast<Tarv::Surface*>(1);
    client.RequestAssetInto("late/b.png", &slot);
    client.LoadQueued();
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(client.GetImage("late/b.png"), nullptr);

    MountArchive({{"late/b.png", MakePng(6, 3, 40)}});
    client.RequestAssetInto("late/b.png", &slot);
    client.LoadQueued();
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(client.GetImage("late/b.png"), slot);
    EXPECT_EQ(client.GetImageCount(), 1u);
    EXPECT_EQ(slot->GetWidth(), 6);
    EXPECT_EQ(slot->GetHeight(), 3);
}

TEST_F(AssetClientTest, DestroyedWithEntriesQueuedWritesNoSlot)
{
    Tarv::Surface* slot = reinterpret_cast<Tarv::Surface*>(1);
    {
        AssetClient client;
        client.RequestAssetInto("images/a.png", &slot);
        EXPECT_EQ(client.GetQueuedCount(), 1u);
    }
    EXPECT_EQ(slot, reinterpret_cast<Tarv::Surface*>(1));
    EXPECT_EQ(Tarv::AssetDict::Instance->GetLoadCount(), 0u);
}

// An empty queue reads zero; a second drain starts its own count.
TEST_F(AssetClientTest, ASecondDrainStartsItsOwnCount)
{
    AssetClient client;
    client.LoadQueued();
    EXPECT_EQ(client.GetLoadProgress(), 0.0f);
    client.RequestAsset("images/a.png");
    client.RequestAsset("sfx/click.ogg");
    client.LoadQueued();
    // While a new load queues, its entries count against the previous drain's total; more
    // than that total read 0, never less.
    const float whileQueuing[] = {50.0f, 0.0f, 0.0f};
    for (float percent : whileQueuing) {
        client.RequestAsset("images/a.png");
        EXPECT_FLOAT_EQ(client.GetLoadProgress(), percent);
    }
    EXPECT_TRUE(client.LoadNextQueued());
    EXPECT_FLOAT_EQ(client.GetLoadProgress(), 100.0f / 3.0f);
    EXPECT_TRUE(client.LoadNextQueued());
    EXPECT_FALSE(client.LoadNextQueued());
    EXPECT_EQ(client.GetLoadProgress(), 100.0f);
}

} // namespace
