// Background loading with a real loader thread: slow work while the main thread keeps ticking,
// the smoothed progress on the screen, the hand-over, and quitting in the middle of a load,
// which waits for it.
#include "framework/MasterLoadingState.h"

#include "Recording.h"
#include "framework/Substatable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using QuorTest::CallLog;
using QuorTest::Gate;
using QuorTest::RecordingScreen;
using QuorTest::WaitUntil;

namespace
{

// A state with a queue of entries; each entry needs the main thread to have ticked once more,
// so the load cannot end before the main thread has kept running through it. Progress is kept
// in atomics, as the main thread reads it while the loader works.
class SlowState : public Quor::ApplicationState
{
public:
    SlowState(int entries, std::atomic<int>* clock, std::thread::id* destroyedOn = nullptr)
        : Quor::ApplicationState("slow"), m_entries(entries), m_clock(clock), m_destroyedOn(destroyedOn)
    {
    }
    ~SlowState() override
    {
        if (m_destroyedOn != nullptr)
            *m_destroyedOn = std::this_thread::get_id();
    }

    std::thread::id loadedOn;
    std::atomic<int> done{0};
    Gate* gate = nullptr;

    void Load() override { loadedOn = std::this_thread::get_id(); }
    bool LoadNextQueued() override
    {
        if (gate != nullptr)
            gate->Wait();
        // The main thread's ticks so far; waited for with a limit, so a stalled test fails.
        if (m_clock != nullptr)
            WaitUntil([this] { return m_clock->load() > done.load(); });
        const int finished = done.fetch_add(1) + 1;
        return finished < m_entries;
    }
    float GetLoadProgress() const override
    {
        if (m_entries <= 0)
            return 0.0f;
        return 100.0f * static_cast<float>(done.load()) / static_cast<float>(m_entries);
    }

private:
    int m_entries;
    std::atomic<int>* m_clock;
    std::thread::id* m_destroyedOn;
};

} // namespace

TEST(MasterLoadingState, ARealLoaderWorksWhileTheMainThreadKeepsTickingAndDrawing)
{
    CallLog log;
    std::atomic<int> clock{0};
    Tarv::SmartPtr<Quor::Substatable> root(new Quor::Substatable("loading-root"));
    auto* screen = new RecordingScreen("screen", &log);
    root->SetLoadingScreen(screen);
    constexpr int ENTRIES = 40;
    auto* slow = new SlowState(ENTRIES, &clock);
    root->ChangeState(slow, false);

    int ticks = 0;
    float lastShown = 0.0f;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(QuorTest::LOAD_WAIT_MS);
    while (root->GetCurrent() != slow) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the load never ended";
        root->Update(1.0f / 60.0f);
        root->Render(nullptr);
        const float shown = screen->GetProgress();
        ASSERT_FALSE(std::isnan(shown));
        ASSERT_GE(shown, lastShown);
        ASSERT_LE(shown, 100.0f);
        lastShown = shown;
        ++ticks;
        ++clock;
    }
    EXPECT_GE(ticks, ENTRIES);
    EXPECT_EQ(slow->done.load(), ENTRIES);
    EXPECT_NE(slow->loadedOn, std::this_thread::get_id());
    // The real figure reached 100 in the update that handed the state over, so the bar did too.
    EXPECT_EQ(lastShown, 100.0f);
}

// Releasing a loading state (quitting) and replacing a preload both wait until the running
// load has finished: the target dies on this thread, after its last entry.
TEST(MasterLoadingState, DroppingARunningLoadWaitsUntilItHasFinished)
{
    constexpr int ENTRIES = 3;
    const bool byPreload[] = {false, true};
    for (const bool preload : byPreload) {
        SCOPED_TRACE(preload ? "replaced preload" : "quit while loading");
        CallLog log;
        Gate gate;
        std::thread::id destroyedOn;
        Tarv::SmartPtr<Quor::Substatable> root(new Quor::Substatable("loading-root"));
        root->SetLoadingScreen(new RecordingScreen("screen", &log));
        auto* slow = new SlowState(ENTRIES, nullptr, &destroyedOn);
        slow->gate = &gate;
        if (preload) {
            root->PreloadState(slow);
        } else {
            root->ChangeState(slow, false);
            root->Update(0.01f);
        }
        std::thread opener([&gate] { gate.Open(); });
        if (preload)
            root->PreloadState(new SlowState(1, nullptr));
        else
            root.Reset();
        EXPECT_EQ(destroyedOn, std::this_thread::get_id());
        opener.join();
    }
}

TEST(MasterLoadingState, FinishIfLoadedIsFalseUntilTheLoadEnds)
{
    Gate gate;
    Tarv::SmartPtr<Quor::Substatable> owner(new Quor::Substatable("loading-owner"));
    auto* target = new SlowState(1, nullptr);
    target->gate = &gate;
    Tarv::SmartPtr<Quor::MasterLoadingState> loading(new Quor::MasterLoadingState(target, nullptr, false, owner.Get()));
    EXPECT_FALSE(loading->FinishIfLoaded());
    loading->StartLoader();
    EXPECT_FALSE(loading->FinishIfLoaded());
    EXPECT_EQ(owner->GetPending(), nullptr);
    gate.Open();
    ASSERT_TRUE(WaitUntil([&loading] { return loading->IsLoaded(); }));
    EXPECT_TRUE(loading->FinishIfLoaded());
    EXPECT_EQ(owner->GetPending(), target);
    // With auto-switch off, updates never hand the target over again on their own.
    owner->SetPending(nullptr);
    loading->UpdateState(0.1f);
    EXPECT_EQ(owner->GetPending(), nullptr);
}

TEST(MasterLoadingState, WithoutAScreenEveryForwardedOperationIsHarmless)
{
    Tarv::SmartPtr<Quor::Substatable> owner(new Quor::Substatable("loading-owner"));
    Tarv::SmartPtr<Quor::MasterLoadingState> loading(
        new Quor::MasterLoadingState(new SlowState(1, nullptr), nullptr, true, owner.Get()));
    const Quor::TouchPoints points{{3, 4}};
    loading->OnEnter(owner.Get());
    loading->Enter();
    loading->RenderState(nullptr);
    loading->OnKeyDown(1);
    loading->OnKeyUp(1);
    loading->OnTouchDown(points);
    loading->OnTouchMove(points);
    loading->OnTouchUp(points);
    loading->OnAccelerometer(1.0f, 0.0f, 0.0f);
    loading->Leave();
    loading->OnExit();
    EXPECT_TRUE(owner->GetBeforeClients().empty());
}
