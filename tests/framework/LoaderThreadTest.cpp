// The loader thread itself: a stack that holds large frames and the fallback when no thread
// can be made.
#include "framework/LoaderThread.h"

#include "Recording.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

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
