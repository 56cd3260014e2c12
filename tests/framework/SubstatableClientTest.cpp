// Attaching clients to the lists of a substatable, moving them, and unhooking on destruction.
#include "framework/SubstatableClient.h"

#include "Recording.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using QuorTest::CallLog;
using QuorTest::RecordingClient;
using QuorTest::RecordingSubstatable;
using Clients = std::vector<Quor::SubstatableClient*>;

TEST(SubstatableClient, AttachingToAnotherOwnerLeavesTheFirstOnesListsFirst)
{
    CallLog log;
    Tarv::SmartPtr<RecordingSubstatable> a(new RecordingSubstatable("client-a", &log));
    Tarv::SmartPtr<RecordingSubstatable> b(new RecordingSubstatable("client-b", &log));
    RecordingClient client("c", &log);
    RecordingClient other("o", &log);
    other.Attach(a.Get(), Quor::SubstatableClient::BEFORE);
    EXPECT_TRUE(client.Attach(a.Get(), Quor::SubstatableClient::BEFORE));
    EXPECT_TRUE(client.Attach(b.Get(), Quor::SubstatableClient::AFTER));
    EXPECT_EQ(a->GetBeforeClients(), (Clients{&other}));
    EXPECT_EQ(b->GetAfterClients(), (Clients{&client}));
    EXPECT_EQ(client.GetOwner(), b.Get());

    // Attaching to the same owner again moves it to the end of the chosen list, listed once.
    client.Attach(a.Get(), Quor::SubstatableClient::BEFORE);
    client.Attach(a.Get(), Quor::SubstatableClient::BEFORE);
    EXPECT_EQ(a->GetBeforeClients(), (Clients{&other, &client}));
    EXPECT_TRUE(b->GetAfterClients().empty());
}

// By name or pointer; a null or unknown owner is refused; another mode records the owner but
// lists the client nowhere.
TEST(SubstatableClient, OwnersByNameNullUnknownAndOtherModes)
{
    CallLog log;
    Tarv::SmartPtr<RecordingSubstatable> owner(new RecordingSubstatable("client-named", &log));
    RecordingClient client("c", &log);
    EXPECT_FALSE(client.Attach(nullptr, Quor::SubstatableClient::BEFORE));
    EXPECT_FALSE(client.AttachTo("no such substatable", Quor::SubstatableClient::BEFORE));
    EXPECT_EQ(client.GetOwner(), nullptr);
    EXPECT_TRUE(client.AttachTo("client-named", Quor::SubstatableClient::AFTER));
    EXPECT_EQ(owner->GetAfterClients(), (Clients{&client}));
    client.Attach(owner.Get(), 7);
    EXPECT_EQ(client.GetOwner(), owner.Get());
    EXPECT_TRUE(owner->GetBeforeClients().empty() && owner->GetAfterClients().empty());
}

TEST(SubstatableClient, DestroyingAnAttachedClientRemovesItFromItsOwner)
{
    CallLog log;
    Tarv::SmartPtr<RecordingSubstatable> owner(new RecordingSubstatable("client-owner", &log));
    {
        RecordingClient client("c", &log);
        client.Attach(owner.Get(), Quor::SubstatableClient::BEFORE);
    }
    EXPECT_TRUE(owner->GetBeforeClients().empty());
    owner->Update(0.1f);
    EXPECT_TRUE(log.Take().empty());
}

TEST(SubstatableClient, AClientOutlivingItsOwnerIsUnhookedNotLeftDangling)
{
    CallLog log;
    auto client = std::make_unique<RecordingClient>("c", &log);
    Tarv::SmartPtr<RecordingSubstatable> owner(new RecordingSubstatable("client-owner", &log));
    client->Attach(owner.Get(), Quor::SubstatableClient::AFTER);
    owner.Reset();
    EXPECT_EQ(client->GetOwner(), nullptr);
    client.reset();
}
