// Animation XML: loop words, the script path, frame times with inheritance, offsets, and
// documents that are not animations.
#include "graphics/image/AnimationDocument.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tarv;

namespace
{

bool Parse(AnimationDocument& document, const char* text)
{
    return document.Parse(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
}

bool Loops(const char* loop)
{
    const std::string text = std::string("<?xml version=\"1.0\"?><a loop=\"") + loop
        + "\"><frame image=\"f.png\" time=\"1\"/></a>";
    AnimationDocument document;
    EXPECT_TRUE(Parse(document, text.c_str()));
    return document.IsLooping();
}

} // namespace

TEST(AnimationDocument, ReadsFramesInOrder)
{
    AnimationDocument document;
    ASSERT_TRUE(Parse(document, "<?xml version=\"1.0\"?><anim script=\"anims/blink.lua\">"
                                "<frame image=\"ui/a.png@linear\" time=\"100\" x=\"3\" y=\"-4\"/>"
                                "<other/><frame image=\"ui/b.png\" time=\"0x10\"/></anim>"));
    EXPECT_FALSE(document.IsLooping());
    EXPECT_EQ(document.GetScriptPath(), "anims/blink.lua");
    const auto& frames = document.GetFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].image, "ui/a.png@linear");
    EXPECT_EQ(frames[0].timeMs, 100);
    EXPECT_FLOAT_EQ(frames[0].seconds, 0.1f);
    EXPECT_EQ(frames[0].x, 3);
    EXPECT_EQ(frames[0].y, -4);
    EXPECT_EQ(frames[1].timeMs, 16);
    EXPECT_EQ(frames[1].x, 0);
}

TEST(AnimationDocument, LoopTakesOnlyTheExactWords)
{
    for (const char* word : {"yes", "1", "true"})
        EXPECT_TRUE(Loops(word)) << word;
    for (const char* word : {"no", "on", "Yes", ""})
        EXPECT_FALSE(Loops(word)) << word;
}
TEST(AnimationDocument, MissingTimeInheritsAndTheFirstIsZero)
{
    AnimationDocument document;
    ASSERT_TRUE(Parse(document, "<?xml version=\"1.0\"?><a><frame image=\"0.png\"/>"
                                "<frame image=\"1.png\" time=\"250\"/><frame image=\"2.png\"/>"
                                "<frame image=\"3.png\" time=\"soon\"/></a>"));
    const auto& frames = document.GetFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].timeMs, 0);
    EXPECT_EQ(frames[2].timeMs, 250);
    EXPECT_EQ(frames[3].timeMs, 250);
    EXPECT_EQ(frames[3].seconds, 250 * 0.001f);
}

TEST(AnimationDocument, NoFrameOrNoDocumentFails)
{
    AnimationDocument document;
    ASSERT_TRUE(Parse(document, "<?xml version=\"1.0\"?><a loop=\"yes\"><frame time=\"5\"/></a>"));
    EXPECT_EQ(document.GetFrames()[0].image, "") << "a frame without image has an empty name";
    EXPECT_EQ(document.GetScriptPath(), "");
    EXPECT_FALSE(Parse(document, "<?xml version=\"1.0\"?><a loop=\"yes\"><image/></a>"));
    EXPECT_TRUE(document.GetFrames().empty());
    EXPECT_FALSE(document.IsLooping());
    EXPECT_FALSE(Parse(document, "<?xml version=\"1.0\"?><a><frame"));
    EXPECT_FALSE(Parse(document, ""));
    EXPECT_FALSE(document.Parse(nullptr, 10));
}
