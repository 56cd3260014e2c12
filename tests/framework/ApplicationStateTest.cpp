// The state interface: the load sequence, the clients a state attaches to its parent, and
// what destruction does and does not call.
#include "framework/ApplicationState.h"

#include "Recording.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/Substatable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{

class QueueState : public Quor::ApplicationState
{
public:
    explicit QueueState(int entries) : Quor::ApplicationState("queue"), m_remaining(entries) {}

    std::vector<std::string> calls;

    void Load() override { calls.push_back("Load"); }
    bool LoadNextQueued() override
    {
        if (m_remaining == 0)
            return false;
        --m_remaining;
        calls.push_back("entry");
        return m_remaining > 0;
    }

private:
    int m_remaining;
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

// Load, then every queued entry; a state with nothing queued is loaded when Load returns and
// reads zero.
TEST(ApplicationStateLoad, LoadThenEveryQueuedEntry)
{
    using Calls = std::vector<std::string>;
    Tarv::SmartPtr<QueueState> three(new QueueState(3));
    three->LoadNow();
    EXPECT_EQ(three->calls, (Calls{"Load", "entry", "entry", "entry"}));
    Tarv::SmartPtr<QueueState> none(new QueueState(0));
    none->LoadNow();
    EXPECT_EQ(none->calls, (Calls{"Load"}));
    EXPECT_EQ(none->GetLoadProgress(), 0.0f);
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
    for (const auto& [given, shown] : {std::make_pair(250.0f, 100.0f), {std::nanf(""), 100.0f}, {-3.0f, 0.0f}}) {
        screen->SetProgress(given);
        EXPECT_EQ(screen->GetProgress(), shown) << given;
    }
}
