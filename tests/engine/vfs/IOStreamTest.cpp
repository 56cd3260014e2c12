// The shared line reader, run over an in-memory stream.
#include "engine/vfs/CachedFile.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

Tarv::CachedFile MakeStream(const std::string& text)
{
    return Tarv::CachedFile(text.data(), static_cast<int>(text.size()), true);
}

TEST(IOStreamReadLine, ReportsTheEndSoReadLoopsStop)
{
    Tarv::CachedFile stream(MakeStream("one\ntwo\n"));
    Tarv::NarrowString line;
    int lines = 0;
    while (stream.ReadLine(line) && lines < 10)
        ++lines;
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(line, "onetwo");
    EXPECT_FALSE(stream.ReadLine(line));
    EXPECT_EQ(line, "onetwo");
}

TEST(IOStreamReadLine, EmptyLineIsALine)
{
    Tarv::CachedFile stream(MakeStream("\n"));
    Tarv::NarrowString line("kept");
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "kept");
    EXPECT_FALSE(stream.ReadLine(line));
}

// A line is appended to the text already there, keeps its "\r" and drops its "\n".
TEST(IOStreamReadLine, AppendsKeepingCarriageReturnsAndDroppingLineFeeds)
{
    Tarv::CachedFile stream(MakeStream("xy\r\nz"));
    Tarv::NarrowString line("abc");
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "abcxy\r");
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "abcxy\rz");
}

} // namespace
