// The loader thread itself: a stack that holds large frames, the fallback when no thread can
// be made, and the reaper of abandoned loaders.
#include "framework/LoaderThread.h"

#include "Recording.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

using QuorTest::Gate;

namespace
{

// Load touches every page of a large stack frame, as image and sound decoders do; on a stack
// of tens of kilobytes this runs into the guard page.
class DeepState : public Quor::ApplicationState
{
public:
    DeepState() : Quor::ApplicationState("deep") {}

    std::thread::id loadedOn;
    int sum = 0;

    void Load() override
    {
        loadedOn = std::this_thread::get_id();
        volatile unsigned char frame[512 * 1024];
        for (std::size_t i = 0; i < sizeof(frame); i += 4096)
            frame[i] = static_cast<unsigned char>(i >> 12);
        for (std::size_t i = 0; i < sizeof(frame); i += 4096)
            sum += frame[i];
    }
};

class GatedState : public Quor::ApplicationState
{
public:
    explicit GatedState(Gate* gate, int* destroyed) : Quor::ApplicationState("gated"), m_gate(gate), m_destroyed(destroyed) {}
    ~GatedState() override { ++*m_destroyed; }
    void Load() override { EXPECT_TRUE(m_gate->Wait()); }
    // An endless queue: only a cancel ends the load.
    bool LoadNextQueued() override { return true; }

private:
    Gate* m_gate;
    int* m_destroyed;
};

// Restores the stack size a test changed.
class StackSizeGuard
{
public:
    StackSizeGuard() : m_saved(Quor::LoaderThread::GetStackSize()) {}
    ~StackSizeGuard() { Quor::LoaderThread::SetStackSize(m_saved); }

private:
    std::size_t m_saved;
};

} // namespace

TEST(LoaderThread, TheStackHoldsLargeFramesAndIsNeverBelowOneMebibyte)
{
    StackSizeGuard guard;
    Tarv::SmartPtr<DeepState> state(new DeepState);
    {
        Quor::LoaderThread loader(state);
        EXPECT_TRUE(loader.Start());
        ASSERT_TRUE(QuorTest::WaitUntil([&loader] { return loader.IsLoaded(); }));
    }
    EXPECT_NE(state->loadedOn, std::this_thread::get_id());
    EXPECT_EQ(state->sum, (0 + 127) * 128 / 2);

    Quor::LoaderThread::SetStackSize(40960);
    EXPECT_EQ(Quor::LoaderThread::GetStackSize(), Quor::LoaderThread::MIN_STACK_SIZE);
}

TEST(LoaderThread, WhenNoThreadCanBeMadeTheLoadRunsOnTheCallingThread)
{
    StackSizeGuard guard;
    // No system can map a stack of a pebibyte, so thread creation fails for real.
    Quor::LoaderThread::SetStackSize(std::size_t(1) << 50);
    Tarv::SmartPtr<DeepState> state(new DeepState);
    Quor::LoaderThread loader(state);
    EXPECT_FALSE(loader.Start());
    EXPECT_TRUE(loader.IsLoaded());
    EXPECT_EQ(state->loadedOn, std::this_thread::get_id());
}

TEST(LoaderThread, AnAbandonedLoaderKeepsItsTargetUntilTheReaperJoinsIt)
{
    Gate gate;
    int destroyed = 0;
    Tarv::SmartPtr<GatedState> state(new GatedState(&gate, &destroyed));
    auto loader = std::make_unique<Quor::LoaderThread>(state);
    loader->Start();
    state.Reset();
    Quor::LoaderThread::Abandon(std::move(loader));
    EXPECT_EQ(Quor::LoaderThread::GetAbandonedCount(), 1u);

    // Still running: reaping leaves it alone, and its target lives on.
    Quor::LoaderThread::ReapFinished();
    EXPECT_EQ(Quor::LoaderThread::GetAbandonedCount(), 1u);
    EXPECT_EQ(destroyed, 0);

    gate.Open();
    Quor::LoaderThread::JoinAll();
    EXPECT_EQ(Quor::LoaderThread::GetAbandonedCount(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(LoaderThread, AbandoningAFinishedOrUnstartedLoaderFreesItAtOnce)
{
    int destroyed = 0;
    Gate gate;
    gate.Open();
    Tarv::SmartPtr<GatedState> state(new GatedState(&gate, &destroyed));
    Quor::LoaderThread::Abandon(std::make_unique<Quor::LoaderThread>(state));
    Quor::LoaderThread::Abandon(nullptr);
    EXPECT_EQ(Quor::LoaderThread::GetAbandonedCount(), 0u);
    state.Reset();
    EXPECT_EQ(destroyed, 1);
}
