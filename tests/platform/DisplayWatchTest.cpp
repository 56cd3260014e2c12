// The display watch on a socket pair standing in for the X server connection.
#include "platform/DisplayWatch.h"

#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

namespace
{

constexpr int WAIT_MS = 10000;

class DisplayWatchTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0); }
    void TearDown() override
    {
        for (int end : ends) {
            if (end >= 0)
                close(end);
        }
    }
    void HangUp()
    {
        close(ends[1]);
        ends[1] = -1;
    }

    int ends[2] = {-1, -1};
    std::atomic<unsigned> passes{0};
    std::atomic<int> calls{0};
};

TEST_F(DisplayWatchTest, AHungUpConnectionWithAStillMainLoopCallsOnce)
{
    Tarv::DisplayWatch watch(ends[0], passes, [this] { ++calls; });
    ASSERT_TRUE(watch.IsWatching());
    // The server's traffic is not a hang-up.
    ASSERT_EQ(write(ends[1], "x", 1), 1);
    HangUp();
    EXPECT_TRUE(TestSupport::WaitUntil([this] { return calls.load() == 1; }, WAIT_MS));
}

TEST_F(DisplayWatchTest, StoppingEndsTheWatchWithoutACall)
{
    {
        Tarv::DisplayWatch watch(ends[0], passes, [this] { ++calls; });
        ASSERT_TRUE(watch.IsWatching());
    }
    {
        // Hung up, but stopped while the main loop would still have its time to notice.
        Tarv::DisplayWatch watch(ends[0], passes, [this] { ++calls; });
        HangUp();
    }
    EXPECT_EQ(calls.load(), 0);
    Tarv::DisplayWatch none(-1, passes, [this] { ++calls; });
    EXPECT_FALSE(none.IsWatching());
}

} // namespace
