// The hierarchical state machine driven call by call with recording states: the switch order,
// the slots (pending, stored, preload), loading through a master loading state, the clients
// around the current state, nested substatables and the global name map.
#include "framework/Substatable.h"

#include "Recording.h"
#include "framework/MasterLoadingState.h"
#include "framework/System.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using QuorTest::CallLog;
using QuorTest::Gate;
using QuorTest::RecordingClient;
using QuorTest::RecordingScreen;
using QuorTest::RecordingState;
using QuorTest::RecordingSubstatable;
using QuorTest::WaitUntil;
using Calls = std::vector<std::string>;

namespace
{

Quor::MasterLoadingState* AsLoading(Quor::ApplicationState* state)
{
    return dynamic_cast<Quor::MasterLoadingState*>(state);
}

constexpr float DT = 0.02f;

} // namespace

class SubstatableTest : public testing::Test
{
protected:
    void SetUp() override
    {
        root = new Quor::Substatable("root");
        Quor::System::Create(root.Get());
        screen = new RecordingScreen("screen", &log);
        root->SetLoadingScreen(screen);
        log.TakeLoads();
    }

    void TearDown() override
    {
        root.Reset();
        Quor::System::Destroy();
    }

    // Runs a whole change to the state (request, loading, hand-over, switch) and forgets the calls.
    void Settle(Quor::Substatable* owner, Quor::ApplicationState* state)
    {
        owner->ChangeState(state, false);
        RunRequestedChange(owner);
        ASSERT_EQ(owner->GetCurrent(), state);
        log.Take();
        log.TakeLoads();
    }

    // The three updates of a requested change: loader start, hand-over, switch.
    static void RunRequestedChange(Quor::Substatable* owner)
    {
        owner->Update(DT);
        ASSERT_TRUE(WaitUntil([owner] { return AsLoading(owner->GetCurrent())->IsLoaded(); }));
        owner->Update(DT);
        owner->Update(DT);
    }

    CallLog log;
    // The root records nothing itself, so the logs show only what it passes on.
    Tarv::SmartPtr<Quor::Substatable> root;
    RecordingScreen* screen = nullptr;
};

TEST_F(SubstatableTest, ChangeStateLoadsBehindTheScreenAndSwitchesOneUpdateAfterTheLoad)
{
    Gate gate;
    auto* a = new RecordingState("a", &log);
    a->loadGate = &gate;
    root->ChangeState(a, false);
    EXPECT_TRUE(log.Take().empty());
    Quor::MasterLoadingState* loading = AsLoading(root->GetPending());
    ASSERT_NE(loading, nullptr);
    EXPECT_FALSE(loading->IsStarted());

    // U0: the master loading state becomes current, its thread starts, the screen shows.
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), loading);
    EXPECT_TRUE(loading->IsStarted());
    EXPECT_EQ(log.Take(), (Calls{"screen.OnEnter root", "screen.Enter", "screen.UpdateState"}));
    EXPECT_EQ(Quor::System::GetInstance()->GetActiveState(), loading);

    // U1: still loading; the screen keeps updating, drawing and receiving input.
    root->Update(DT);
    root->Render(nullptr);
    root->OnKeyDown(5);
    EXPECT_EQ(log.Take(), (Calls{"screen.UpdateState", "screen.RenderState", "screen.OnKeyDown 5"}));
    EXPECT_EQ(root->GetPending(), nullptr);

    gate.Open();
    ASSERT_TRUE(WaitUntil([loading] { return loading->IsLoaded(); }));
    EXPECT_EQ(log.TakeLoads(), (Calls{"a.Load"}));

    // U2: the load is seen: a becomes pending, the thread is joined, and the screen still gets
    // this update, with the bar at 100.
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), loading);
    EXPECT_EQ(root->GetPending(), a);
    EXPECT_EQ(log.Take(), (Calls{"screen.UpdateState"}));

    // U3: the loading state leaves and a enters and gets its first update.
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), a);
    EXPECT_EQ(log.Take(), (Calls{"screen.OnExit", "screen.Leave", "a.OnEnter root", "a.Enter", "a.UpdateState"}));
    EXPECT_EQ(Quor::System::GetInstance()->GetActiveState(), a);
    EXPECT_TRUE(root->GetBeforeClients().size() == 2u && root->GetBeforeClients()[0] == &a->GetProcessManager());
}

TEST_F(SubstatableTest, TheSwitchLeavesOuterToInnerThenEntersOuterToInner)
{
    auto* game = new RecordingSubstatable("game", &log);
    auto* play = new RecordingState("play", &log);
    game->SetPending(play);
    root->SetPending(game);
    root->Update(DT);
    // game enters root; its own update then switches to play inside the same root update.
    EXPECT_EQ(log.Take(), (Calls{"game.OnEnter root", "game.Enter", "game.UpdateState", "play.OnEnter game",
                                 "play.Enter", "play.UpdateState"}));

    auto* menu = new RecordingSubstatable("menu", &log);
    auto* inner = new RecordingState("inner", &log);
    menu->SetPending(inner);
    menu->Update(DT);
    log.Take();
    root->SetPending(menu);
    root->Update(DT);
    EXPECT_EQ(log.Take(), (Calls{"game.OnExit", "game.Leave", "play.Leave", "menu.OnEnter root", "menu.Enter",
                                 "inner.Enter", "menu.UpdateState", "inner.UpdateState"}));
}

TEST_F(SubstatableTest, ClientsAreServedBeforeAndAfterTheCurrentStateForEveryOperation)
{
    Settle(root.Get(), new RecordingState("a", &log));
    RecordingClient before("before", &log);
    RecordingClient after("after", &log);
    after.Attach(root.Get(), Quor::SubstatableClient::AFTER);
    before.Attach(root.Get(), Quor::SubstatableClient::BEFORE);
    const Quor::TouchPoints points{{1, 2}};

    root->Update(DT);
    root->Render(nullptr);
    root->OnKeyDown(1);
    root->OnKeyUp(2);
    root->OnTouchDown(points);
    root->OnTouchMove(points);
    root->OnTouchUp(points);
    root->OnAccelerometer(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(log.Take(), (Calls{"before.Update", "a.UpdateState", "after.Update",
                                 "before.Render", "a.RenderState", "after.Render",
                                 "before.OnKeyDown 1", "a.OnKeyDown 1", "after.OnKeyDown 1",
                                 "before.OnKeyUp 2", "a.OnKeyUp 2", "after.OnKeyUp 2",
                                 "before.OnTouchDown", "a.OnTouchDown", "after.OnTouchDown",
                                 "before.OnTouchMove", "a.OnTouchMove", "after.OnTouchMove",
                                 "before.OnTouchUp", "a.OnTouchUp", "after.OnTouchUp",
                                 "before.OnAccelerometer", "a.OnAccelerometer", "after.OnAccelerometer"}));
}

TEST_F(SubstatableTest, WithNoStatesOnlyTheClientsAreServed)
{
    RecordingClient client("client", &log);
    client.Attach(root.Get(), Quor::SubstatableClient::AFTER);
    root->Update(DT);
    root->Render(nullptr);
    root->OnKeyUp(9);
    EXPECT_EQ(log.Take(), (Calls{"client.Update", "client.Render", "client.OnKeyUp 9"}));
    EXPECT_EQ(Quor::System::GetInstance()->GetActiveState(), nullptr);
}

TEST_F(SubstatableTest, KeepCurrentStoresTheStateAndReturnToStoredSwapsWithoutLoading)
{
    auto* menu = new RecordingState("menu", &log);
    auto* level = new RecordingState("level", &log);
    Settle(root.Get(), level);

    root->ChangeStateKeepCurrent(menu);
    EXPECT_EQ(root->GetStored(), level);
    RunRequestedChange(root.Get());
    EXPECT_EQ(root->GetCurrent(), menu);
    EXPECT_EQ(log.TakeLoads(), (Calls{"menu.Load"}));
    log.Take();

    // Back to the level: no loading step, the swap happens at the very next update.
    root->ReturnToStored();
    EXPECT_EQ(root->GetPending(), level);
    EXPECT_EQ(root->GetStored(), menu);
    root->Update(DT);
    EXPECT_EQ(log.Take(), (Calls{"menu.OnExit", "menu.Leave", "level.OnEnter root", "level.Enter", "level.UpdateState"}));
    EXPECT_TRUE(log.TakeLoads().empty());

    // And to the menu again, still not reloaded.
    root->ReturnToStored();
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), menu);
    EXPECT_TRUE(log.TakeLoads().empty());
}

TEST_F(SubstatableTest, ResumeStoredDropsTheCurrentStateAtTheSwitch)
{
    int destroyed = 0;
    auto* first = new RecordingState("first", &log);
    auto* second = new RecordingState("second", &log, &destroyed);
    Settle(root.Get(), first);
    root->ChangeStateKeepCurrent(second);
    RunRequestedChange(root.Get());
    ASSERT_EQ(root->GetCurrent(), second);
    log.Take();

    root->ResumeStored();
    EXPECT_FALSE(root->HasStoredState());
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), first);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(log.Take(), (Calls{"second.OnExit", "second.Leave", "first.OnEnter root", "first.Enter", "first.UpdateState"}));
}

TEST_F(SubstatableTest, WithNothingStoredReturningCancelsTheChangeAndStoresTheCurrentState)
{
    auto* a = new RecordingState("a", &log);
    Settle(root.Get(), a);
    root->ChangeState(new RecordingState("b", &log), false);
    root->ReturnToStored();
    EXPECT_EQ(root->GetPending(), nullptr);
    EXPECT_EQ(root->GetStored(), a);

    root->DropStored();
    root->ChangeState(new RecordingState("c", &log), false);
    root->ResumeStored();
    EXPECT_EQ(root->GetPending(), nullptr);
    EXPECT_FALSE(root->HasStoredState());

    // Nothing switches: a stays current.
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), a);
    EXPECT_EQ(log.Take(), (Calls{"a.UpdateState"}));
}

TEST_F(SubstatableTest, DroppingTheStoredStateReleasesIt)
{
    int destroyed = 0;
    Settle(root.Get(), new RecordingState("kept", &log, &destroyed));
    root->ChangeStateKeepCurrent(new RecordingState("next", &log));
    EXPECT_TRUE(root->HasStoredState());
    // The current state is also the stored one until the switch: only the slot empties.
    root->DropStored();
    EXPECT_EQ(destroyed, 0);
    root->ChangeStateKeepCurrent(nullptr);
    root->ChangeState(nullptr, true);
    EXPECT_FALSE(root->HasStoredState());
    root->Update(DT);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(SubstatableTest, OnlyTheLastOfTwoChangesHappensAndTheFirstNeverLoads)
{
    int destroyed = 0;
    root->ChangeState(new RecordingState("first", &log, &destroyed), false);
    auto* second = new RecordingState("second", &log);
    root->ChangeState(second, false);
    EXPECT_EQ(destroyed, 1);
    Settle(root.Get(), second);
    EXPECT_EQ(root->GetCurrent(), second);
}

TEST_F(SubstatableTest, AChangeRequestedDuringAnUpdateWaitsForTheNextUpdate)
{
    class Requester : public RecordingState
    {
    public:
        using RecordingState::RecordingState;
        Quor::Substatable* owner = nullptr;
        Quor::ApplicationState* next = nullptr;
        void UpdateState(const float& dt) override
        {
            RecordingState::UpdateState(dt);
            if (next != nullptr)
                owner->ChangeState(next, false);
            next = nullptr;
        }
    };
    auto* requester = new Requester("requester", &log);
    Settle(root.Get(), requester);
    requester->owner = root.Get();
    requester->next = new RecordingState("next", &log);
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), requester);
    EXPECT_NE(AsLoading(root->GetPending()), nullptr);
    EXPECT_EQ(log.Take(), (Calls{"requester.UpdateState"}));
    root->Update(DT);
    EXPECT_NE(AsLoading(root->GetCurrent()), nullptr);
}

TEST_F(SubstatableTest, WithoutALoadingScreenNothingIsShownButTheSwitchStillHappens)
{
    Tarv::SmartPtr<Quor::Substatable> bare(new Quor::Substatable("bare"));
    RecordingClient client("client", &log);
    client.Attach(bare.Get(), Quor::SubstatableClient::BEFORE);
    auto* a = new RecordingState("a", &log);
    bare->ChangeState(a, false);
    bare->Update(DT);
    bare->Render(nullptr);
    bare->OnKeyDown(4);
    EXPECT_EQ(log.Take(), (Calls{"client.Update", "client.Render", "client.OnKeyDown 4"}));
    ASSERT_TRUE(WaitUntil([&bare] { return AsLoading(bare->GetCurrent())->IsLoaded(); }));
    bare->Update(DT);
    bare->Update(DT);
    EXPECT_EQ(bare->GetCurrent(), a);
    client.Detach();
}

TEST_F(SubstatableTest, AFinishedPreloadIsSwitchedToWithoutShowingTheScreen)
{
    auto* a = new RecordingState("a", &log);
    auto* b = new RecordingState("b", &log);
    Settle(root.Get(), a);
    ASSERT_TRUE(root->PreloadState(b));
    Quor::MasterLoadingState* preload = root->GetPreload();
    EXPECT_TRUE(preload->IsStarted());
    ASSERT_TRUE(WaitUntil([preload] { return preload->IsLoaded(); }));
    EXPECT_EQ(log.TakeLoads(), (Calls{"b.Load"}));
    root->Update(DT);
    EXPECT_EQ(log.Take(), (Calls{"a.UpdateState"}));

    EXPECT_TRUE(root->SwitchToPreloaded(false));
    EXPECT_FALSE(root->HasPreload());
    EXPECT_EQ(root->GetPending(), b);
    root->Update(DT);
    EXPECT_EQ(log.Take(), (Calls{"a.OnExit", "a.Leave", "b.OnEnter root", "b.Enter", "b.UpdateState"}));
}

TEST_F(SubstatableTest, APreloadStillLoadingBecomesCurrentWithoutASecondThread)
{
    Gate gate;
    auto* a = new RecordingState("a", &log);
    auto* b = new RecordingState("b", &log);
    b->loadGate = &gate;
    Settle(root.Get(), a);
    root->PreloadState(b);
    Quor::MasterLoadingState* preload = root->GetPreload();
    for (int i = 0; i < 60; ++i)
        root->Update(0.1f);
    // The smoother ran while waiting: 10 percent per second up to 50, slower beyond.
    const float carried = preload->GetShownProgress();
    EXPECT_GT(carried, 50.0f);
    EXPECT_LT(carried, 60.0f);
    log.Take();

    EXPECT_TRUE(root->SwitchToPreloaded(true));
    EXPECT_EQ(root->GetPending(), preload);
    root->Update(0.0f);
    EXPECT_EQ(root->GetCurrent(), preload);
    EXPECT_EQ(log.Take(), (Calls{"a.OnExit", "a.Leave", "screen.OnEnter root", "screen.Enter", "screen.UpdateState"}));
    EXPECT_FLOAT_EQ(screen->GetProgress(), carried);

    gate.Open();
    ASSERT_TRUE(WaitUntil([preload] { return preload->IsLoaded(); }));
    root->Update(DT);
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), b);
    EXPECT_EQ(log.TakeLoads(), (Calls{"b.Load"}));
}

// The entry points without a stored-state step leave the stored state alone; StoreCurrent is
// that step alone; the keep-current switch stores the current state before it switches.
TEST_F(SubstatableTest, TheSlotsAfterEachShortEntryPoint)
{
    enum class Pending { NONE, LOADING_TARGET, TARGET };
    const struct
    {
        const char* what;
        bool preload;
        void (*call)(Quor::Substatable&, Quor::ApplicationState*);
        Pending pending;
        bool currentStored;
    } cases[] = {
        {"ChangeState", false, [](Quor::Substatable& s, Quor::ApplicationState* b) { s.ChangeState(b); },
         Pending::LOADING_TARGET, false},
        {"StoreCurrent", false, [](Quor::Substatable& s, Quor::ApplicationState*) { s.StoreCurrent(); },
         Pending::NONE, true},
        {"SwitchToPreloaded", true, [](Quor::Substatable& s, Quor::ApplicationState*) { EXPECT_TRUE(s.SwitchToPreloaded()); },
         Pending::TARGET, false},
        {"SwitchToPreloadedKeepCurrent", true,
         [](Quor::Substatable& s, Quor::ApplicationState*) { EXPECT_TRUE(s.SwitchToPreloadedKeepCurrent()); },
         Pending::TARGET, true},
    };
    for (const auto& c : cases) {
        int storedDestroyed = 0;
        auto* stored = new RecordingState("stored", &log, &storedDestroyed);
        auto* a = new RecordingState("a", &log);
        auto* b = new RecordingState("b", &log);
        Settle(root.Get(), stored);
        root->ChangeStateKeepCurrent(a);
        RunRequestedChange(root.Get());
        ASSERT_EQ(root->GetCurrent(), a) << c.what;
        ASSERT_EQ(root->GetStored(), stored) << c.what;
        Tarv::SmartPtr<Quor::ApplicationState> keepB(b);
        if (c.preload) {
            ASSERT_TRUE(root->PreloadState(b));
            Quor::MasterLoadingState* preload = root->GetPreload();
            ASSERT_TRUE(WaitUntil([preload] { return preload->IsLoaded(); })) << c.what;
        }

        c.call(*root, b);
        EXPECT_FALSE(root->HasPreload()) << c.what;
        EXPECT_EQ(root->GetCurrent(), a) << c.what;
        EXPECT_EQ(root->GetStored(), c.currentStored ? a : stored) << c.what;
        EXPECT_EQ(storedDestroyed, c.currentStored ? 1 : 0) << c.what;
        switch (c.pending) {
        case Pending::NONE:
            EXPECT_EQ(root->GetPending(), nullptr) << c.what;
            break;
        case Pending::LOADING_TARGET:
            ASSERT_NE(AsLoading(root->GetPending()), nullptr) << c.what;
            EXPECT_EQ(AsLoading(root->GetPending())->GetTarget(), b) << c.what;
            RunRequestedChange(root.Get());
            break;
        case Pending::TARGET:
            EXPECT_EQ(root->GetPending(), b) << c.what;
            root->Update(DT);
            break;
        }
        if (c.pending != Pending::NONE) {
            EXPECT_EQ(root->GetCurrent(), b) << c.what;
        }
        root->DropStored();
        log.Take();
        log.TakeLoads();
    }
}

TEST_F(SubstatableTest, MissingArgumentsAreRefusedInsteadOfCrashing)
{
    EXPECT_FALSE(root->SwitchToPreloaded(false));
    EXPECT_FALSE(root->PreloadState(nullptr));
    EXPECT_FALSE(root->SetLoadingScreen(nullptr));
    EXPECT_EQ(root->GetLoadingScreen(), screen);
    root->ChangeState(nullptr, false);
    EXPECT_EQ(root->GetPending(), nullptr);
}

TEST_F(SubstatableTest, SetLoadingScreenLoadsTheScreenOnTheCallingThread)
{
    auto* other = new RecordingScreen("other", &log);
    std::thread::id loadedOn;
    other->onLoad = [&loadedOn] { loadedOn = std::this_thread::get_id(); };
    root->SetLoadingScreen(other);
    EXPECT_EQ(loadedOn, std::this_thread::get_id());
    EXPECT_EQ(log.TakeLoads(), (Calls{"other.Load"}));
}

// The loading state keeps the screen it was made with: replacing the owner's screen during
// the load must not free the one still shown.
TEST_F(SubstatableTest, AScreenReplacedDuringALoadLivesUntilItsLoadingStateGoes)
{
    int destroyed = 0;
    root->SetLoadingScreen(new RecordingScreen("first", &log, &destroyed));
    Gate gate;
    auto* a = new RecordingState("a", &log);
    a->loadGate = &gate;
    root->ChangeState(a, false);
    root->Update(DT);
    root->SetLoadingScreen(new RecordingScreen("second", &log));
    EXPECT_EQ(destroyed, 0);
    log.Take();

    gate.Open();
    ASSERT_TRUE(WaitUntil([this] { return AsLoading(root->GetCurrent())->IsLoaded(); }));
    root->Update(DT);
    root->Update(DT);
    EXPECT_EQ(root->GetCurrent(), a);
    EXPECT_EQ(log.Take(), (Calls{"first.UpdateState", "first.OnExit", "first.Leave", "a.OnEnter root", "a.Enter",
                                 "a.UpdateState"}));
    EXPECT_EQ(destroyed, 1);
}

TEST_F(SubstatableTest, ASubstatableRequestingItsFirstStateInLoadEntersWithThatChangePending)
{
    auto* game = new RecordingSubstatable("game", &log);
    auto* gameScreen = new RecordingScreen("game screen", &log);
    auto* play = new RecordingState("play", &log);
    Gate gate;
    play->loadGate = &gate;
    game->onLoad = [game, gameScreen, play] {
        game->SetLoadingScreen(gameScreen);
        game->ChangeState(play, false);
    };
    Settle(root.Get(), game);
    EXPECT_NE(AsLoading(game->GetCurrent()), nullptr);
    EXPECT_EQ(Quor::System::GetInstance()->GetActiveState(), game->GetCurrent());

    // The nested change runs behind the nested screen on a second loader thread.
    gate.Open();
    ASSERT_TRUE(WaitUntil([game] { return AsLoading(game->GetCurrent())->IsLoaded(); }));
    root->Update(DT);
    root->Update(DT);
    EXPECT_EQ(game->GetCurrent(), play);
    EXPECT_EQ(Quor::System::GetInstance()->GetActiveState(), play);
    EXPECT_EQ(log.TakeLoads(), (Calls{"play.Load"}));
    EXPECT_EQ(log.Take(), (Calls{"game.UpdateState", "game screen.UpdateState", "game.UpdateState", "game screen.OnExit",
                                 "game screen.Leave", "play.OnEnter game", "play.Enter", "play.UpdateState"}));
}

TEST_F(SubstatableTest, AChangeDuringARunningLoadWaitsAtTheSwitchUntilThatLoadHasFinished)
{
    // Opens the gate only as the loading state leaves, so the load is still running when the
    // switch releases it.
    class GateOnLeave : public RecordingScreen
    {
    public:
        using RecordingScreen::RecordingScreen;
        Gate* gate = nullptr;
        void Leave() override
        {
            RecordingScreen::Leave();
            if (gate != nullptr)
                gate->Open();
        }
    };
    Gate gate;
    auto* leaving = new GateOnLeave("screen", &log);
    leaving->gate = &gate;
    root->SetLoadingScreen(leaving);
    log.TakeLoads();
    int destroyed = 0;
    auto* slow = new RecordingState("slow", &log, &destroyed);
    slow->loadGate = &gate;
    root->ChangeState(slow, false);
    root->Update(DT);
    Gate nextGate;
    auto* next = new RecordingState("next", &log);
    next->loadGate = &nextGate;
    root->ChangeState(next, false);

    root->Update(DT);
    EXPECT_EQ(AsLoading(root->GetCurrent())->GetTarget(), next);
    // The whole load ran before the target it loaded was released.
    EXPECT_EQ(log.TakeLoads(), (Calls{"slow.Load"}));
    EXPECT_EQ(destroyed, 1);
    leaving->gate = nullptr;
    nextGate.Open();
    EXPECT_TRUE(WaitUntil([this] { return AsLoading(root->GetCurrent())->IsLoaded(); }));
}

TEST_F(SubstatableTest, ADuplicateNameIsNotRegisteredAndItsDeathKeepsTheFirst)
{
    Tarv::SmartPtr<Quor::Substatable> first(new Quor::Substatable("twin"));
    {
        Tarv::SmartPtr<Quor::Substatable> second(new Quor::Substatable("twin"));
        EXPECT_EQ(Quor::Substatable::FindByName("twin"), first.Get());
    }
    EXPECT_EQ(Quor::Substatable::FindByName("twin"), first.Get());
    first.Reset();
    EXPECT_EQ(Quor::Substatable::FindByName("twin"), nullptr);
}
