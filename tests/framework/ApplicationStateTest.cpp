// The state interface: the load sequence, the clients a state attaches to its parent, and
// what destruction does and does not call.
#include "framework/ApplicationState.h"

#include "Recording.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/Substatable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

namespace
{

class QueueState : public Quor::ApplicationState
{
public:
    QueueState(int entries, std::atomic<bool>* cancelAfterFirst = nullptr)
        : Quor::ApplicationState("queue"), m_remaining(entries), m_cancel(cancelAfterFirst)
    {
    }

    std::vector<std::string> calls;

    void Load() override { calls.push_back("Load"); }
    bool LoadNextQueued() override
    {
        if (m_remaining == 0)
            return false;
        --m_remaining;
        calls.push_back("entry");
        if (m_cancel != nullptr)
            m_cancel->store(true);
        return m_remaining > 0;
    }

private:
    int m_remaining;
    std::atomic<bool>* m_cancel;
};

class CountingProcess : public Quor::Process
{
public:
    CountingProcess() : Quor::Process("count") {}
    std::vector<float> steps;

protected:
    void Update() override { steps.push_back(GetStep()); }
};

} // namespace

TEST(ApplicationStateLoad, LoadThenEveryQueuedEntry)
{
    Tarv::SmartPtr<QueueState> state(new QueueState(3));
    EXPECT_TRUE(state->LoadNow());
    EXPECT_EQ(state->calls, (std::vector<std::string>{"Load", "entry", "entry", "entry"}));
}

TEST(ApplicationStateLoad, ANothingQueuedStateIsLoadedWhenLoadReturnsAndReadsZero)
{
    Tarv::SmartPtr<QueueState> state(new QueueState(0));
    EXPECT_TRUE(state->LoadNow());
    EXPECT_EQ(state->calls, (std::vector<std::string>{"Load"}));
    EXPECT_EQ(state->GetLoadProgress(), 0.0f);
}

TEST(ApplicationStateLoad, CancellingStopsBetweenQueueEntries)
{
    std::atomic<bool> cancel{false};
    Tarv::SmartPtr<QueueState> state(new QueueState(5, &cancel));
    EXPECT_FALSE(state->LoadNow(&cancel));
    EXPECT_EQ(state->calls, (std::vector<std::string>{"Load", "entry"}));
}

TEST(ApplicationStateClients, EnteringAttachesTheProcessManagerAndTheScriptUpdaterBeforeTheParentsState)
{
    QuorTest::CallLog log;
    Tarv::SmartPtr<Quor::Substatable> parent(new Quor::Substatable("state-parent"));
    auto* state = new Quor::ApplicationState("plain");
    CountingProcess process;
    state->GetProcessManager().AddProcess(&process);
    parent->SetPending(state);

    // The switch and the first update happen in the same parent update, with its dt.
    parent->Update(0.03f);
    ASSERT_EQ(parent->GetBeforeClients().size(), 2u);
    EXPECT_EQ(parent->GetBeforeClients()[0], &state->GetProcessManager());
    EXPECT_EQ(parent->GetBeforeClients()[1], &state->GetUpdater());
    EXPECT_EQ(process.steps, (std::vector<float>{0.03f}));

    // A state with every default ignores drawing and input.
    parent->Render(nullptr);
    parent->OnKeyDown(3);
    parent->OnAccelerometer(1.0f, 2.0f, 3.0f);

    state->OnExit();
    EXPECT_TRUE(parent->GetBeforeClients().empty());
    state->GetProcessManager().RemoveProcess("count");
}

TEST(ApplicationStateClients, DestructionCallsNoExitButLeavesTheParentsLists)
{
    QuorTest::CallLog log;
    Tarv::SmartPtr<Quor::Substatable> parent(new Quor::Substatable("state-parent"));
    int destroyed = 0;
    auto* state = new QuorTest::RecordingState("s", &log, &destroyed);
    Tarv::SmartPtr<QuorTest::RecordingState> held(state);
    state->OnEnter(parent.Get());
    log.Take();
    held.Reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_TRUE(parent->GetBeforeClients().empty());
}

TEST(ApplicationLoadingState, ProgressStaysANumberFromZeroToHundred)
{
    Tarv::SmartPtr<Quor::ApplicationLoadingState> screen(new Quor::ApplicationLoadingState("loading"));
    EXPECT_EQ(screen->GetProgress(), 0.0f);
    screen->SetProgress(250.0f);
    EXPECT_EQ(screen->GetProgress(), 100.0f);
    screen->SetProgress(std::nanf(""));
    EXPECT_EQ(screen->GetProgress(), 100.0f);
    screen->SetProgress(-3.0f);
    EXPECT_EQ(screen->GetProgress(), 0.0f);
}
