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

// Every call reports true: at the end the line stays as it was, so only the stream's position
// tells the end.
TEST(IOStreamReadLine, TrueAlsoAtTheEndWithTheLineUnchanged)
{
    Tarv::CachedFile stream(MakeStream("a\r\nb"));
    const char* expected[] = {"a\r", "b", "b"};
    Tarv::NarrowString line;
    for (const char* text : expected) {
        if (line != "b")
            line.clear();
        EXPECT_TRUE(stream.ReadLine(line));
        EXPECT_EQ(line, text);
    }
    EXPECT_EQ(stream.Tell(), stream.GetSize());
}

TEST(IOStreamReadLine, EmptyLineIsALine)
{
    Tarv::CachedFile stream(MakeStream("\nx"));
    Tarv::NarrowString line("kept");
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "kept");
    EXPECT_EQ(stream.Tell(), 1);
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
