// The game log without a sink of its own: its lines are engine reports, from any thread, so the
// program's console receives them through the hooks it installs.
#include "game/GameLog.h"

#include "engine/core/Report.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

std::mutex s_mutex;
std::vector<std::string> s_reported;

void Collect(const Tarv::NarrowString& line)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_reported.push_back(line);
}

} // namespace

TEST(GameLog, WithoutASinkLinesAreEngineReportsAndASinkTakesThemInstead)
{
    Tarv::SetReportSink(&Collect);
    std::thread([] { Pirrock::GameLogPrint("from the loader"); }).join();
    Pirrock::MessageList list;
    Pirrock::SetGameLog(&list);
    Pirrock::GameLog().Print("to the sink");
    Pirrock::SetGameLog(nullptr);
    Pirrock::GameLog().Print("100% reported");
    Tarv::SetReportSink(nullptr);
    EXPECT_EQ(s_reported, (std::vector<std::string>{"from the loader", "100% reported"}));
    EXPECT_EQ(list.GetLines(), std::vector<Tarv::NarrowString>{"to the sink"});
}
