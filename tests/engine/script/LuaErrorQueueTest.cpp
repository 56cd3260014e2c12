// Error reports from a second thread reach the handler on the main thread, in order, bounded.
#include "engine/script/LuaErrorQueue.h"

#include "engine/script/Lua.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{

bool ReadBrokenScript(const Tarv::NarrowString& path, std::vector<char>& contents)
{
    if (path != "broken.lua")
        return false;
    const char text[] = "local x = = 1";
    contents.assign(text, text + sizeof text - 1);
    return true;
}

class LuaErrorQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_queue.SetHandler([this](const Tarv::LuaErrorReport& report) {
            m_delivered.push_back(report);
            m_threads.push_back(std::this_thread::get_id());
        });
    }

    Tarv::LuaErrorQueue m_queue;
    std::vector<Tarv::LuaErrorReport> m_delivered;
    std::vector<std::thread::id> m_threads;
};

} // namespace

TEST_F(LuaErrorQueueTest, MainThreadReportsAreDeliveredAtOnce)
{
    m_queue.Post({"heading", "message"});
    ASSERT_EQ(m_delivered.size(), 1u);
    EXPECT_EQ(m_delivered[0].message, "message");
    EXPECT_EQ(m_queue.GetPendingCount(), 0u);
    // Without a handler reports are discarded.
    m_queue.SetHandler(nullptr);
    m_queue.Post({"h", "m"});
    EXPECT_EQ(m_queue.Drain(), 0u);
    EXPECT_EQ(m_queue.GetPendingCount(), 0u);
}

TEST_F(LuaErrorQueueTest, OtherThreadReportsWaitForTheMainThread)
{
    std::thread loader([this] {
        m_queue.Post({"one", "1"});
        m_queue.Post({"two", "2"});
    });
    loader.join();
    EXPECT_TRUE(m_delivered.empty());
    EXPECT_EQ(m_queue.GetPendingCount(), 2u);
    // A main-thread report posted now must not overtake the waiting ones.
    m_queue.Post({"three", "3"});
    EXPECT_TRUE(m_delivered.empty());
    EXPECT_EQ(m_queue.Drain(), 3u);
    ASSERT_EQ(m_delivered.size(), 3u);
    EXPECT_EQ(m_delivered[0].heading, "one");
    EXPECT_EQ(m_delivered[2].heading, "three");
    for (std::thread::id id : m_threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(LuaErrorQueueTest, WaitingReportsAreBounded)
{
    std::thread loader([this] {
        for (std::size_t i = 0; i < Tarv::LuaErrorQueue::MAX_PENDING + 10; ++i)
            m_queue.Post({"h", "m"});
    });
    loader.join();
    EXPECT_EQ(m_queue.GetPendingCount(), Tarv::LuaErrorQueue::MAX_PENDING);
    EXPECT_EQ(m_queue.GetDroppedCount(), 10u);
}

TEST(LuaErrorQueueGlobal, LoaderThreadScriptErrorReachesTheMainThread)
{
    Tarv::LuaErrorQueue& queue = Tarv::LuaErrorQueue::Global();
    queue.Reset();
    std::vector<Tarv::LuaErrorReport> delivered;
    queue.SetHandler([&delivered](const Tarv::LuaErrorReport& report) { delivered.push_back(report); });
    Tarv::Lua::SetFileReader(&ReadBrokenScript);

    std::thread loader([] {
        Tarv::Lua lua;
        lua.RunFile("broken.lua");
    });
    loader.join();
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(queue.Drain(), 1u);
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].heading, "Fatal error reading file broken.lua");
    EXPECT_NE(delivered[0].message.find("[string \"broken.lua\"]:1:"), std::string::npos);

    Tarv::Lua::SetFileReader(nullptr);
    queue.Reset();
}
