// The console's input, printing, scrolling, blink and drawing, through a recording canvas.
#include "console/DebugOverlay.h"

#include "engine/core/KeyCodes.h"
#include "engine/vfs/DiskActivity.h"
#include "tests/console/RecordingCanvas.h"

#include <gtest/gtest.h>


using namespace Tarv;
using ConsoleTest::RecordingCanvas;
using Calls = std::vector<std::string>;

namespace
{

class Console : public testing::Test
{
protected:
    void SetUp() override { DebugOverlay::Visible = false; }
    void TearDown() override { DebugOverlay::Visible = false; }

    void Keys(std::initializer_list<int> keys, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            for (int key : keys)
                console.OnKeyDown(key);
    }
    RecordingCanvas Draw()
    {
        RecordingCanvas canvas;
        console.Render(canvas);
        return canvas;
    }
    // A touch from y 100 through the moves, each followed by a frame.
    void Drag(std::initializer_list<int> ys, bool lift = false)
    {
        console.OnTouchDown(0, 100);
        for (int y : ys)
            console.OnTouchMove(0, y), console.Update(0.01f);
        if (lift)
            console.OnTouchUp();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            console.Update(0.05f);
    }

    DebugOverlay console;
};

TEST_F(Console, KeysTypeTheirCharactersWithAndWithoutShift)
{
    const std::initializer_list<int> keys{KEY_0, KEY_1, KEY_6, KEY_9, KEY_A, KEY_Z, KEY_SPACE, KEY_FN_N,
                                          KEY_FN_V, KEY_FULL_STOP, KEY_HASH, KEY_TILDE, 200};
    Keys(keys);
    Keys({KEY_SHIFT});
    Keys(keys);
    EXPECT_EQ(console.GetCommandLine(), "0169az '/.)!^(AZ \"?.");
}

TEST_F(Console, ScrollKeysMoveTheViewWithinItsBounds)
{
    const struct { int start; bool shift; int key; int expected; } cases[] = {
        {0, false, KEY_DOWN, 0}, {7, false, KEY_DOWN, 6}, {7, true, KEY_DOWN, 0}, {30, true, KEY_DOWN, 10},
        {7, false, KEY_VOLUME_UP, 0}, {3, true, KEY_UP, 23}, {3, false, KEY_VOLUME_DOWN, 23}};
    for (const auto& c : cases) {
        DebugOverlay fresh;
        for (int i = 0; i < c.start; ++i)
            fresh.OnKeyDown(KEY_UP);
        fresh.OnKeyDown(c.shift ? KEY_SHIFT : KEY_INVALID);
        fresh.OnKeyDown(c.key);
        EXPECT_EQ(fresh.GetScrollBack(), c.expected) << c.start << " " << c.shift << " " << c.key;
    }
}

TEST_F(Console, ShiftHoldsUntilReleasedBackDeletesAndColumnsMoveByTens)
{
    Keys({KEY_SHIFT, KEY_A});
    console.OnKeyUp(KEY_A);
    Keys({KEY_B});
    console.OnKeyUp(KEY_SHIFT);
    Keys({KEY_C, KEY_BACK});
    EXPECT_EQ(console.GetCommandLine(), "AB");
    Keys({KEY_BACK}, 3);
    EXPECT_EQ(console.GetCommandLine(), "");
    Keys({KEY_LEFT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_LEFT});
    EXPECT_EQ(console.GetColumnOffset(), 20);
    Keys({KEY_LEFT}, 3);
    EXPECT_EQ(console.GetColumnOffset(), 0);
}

TEST_F(Console, EnterEchoesRunsAndEmptiesTheLine)
{
    Keys({KEY_SELECT});
    ASSERT_EQ(console.GetLines().size(), 16u);
    EXPECT_EQ(console.GetLines()[1], "> ");
    EXPECT_EQ(console.GetLines()[15], "9. timeskew skew: set time skew");
    Keys({KEY_X, KEY_SELECT});
    EXPECT_EQ(console.GetLines().back(), "Unknown command");
    EXPECT_EQ(console.GetCommandLine(), "");
}

TEST_F(Console, PrintSplitsAtLineFeedsKeepsAScrolledViewAndEveryByte)
{
    console.Print("");
    console.Print("x\n");
    console.Print("\n\n");
    EXPECT_EQ(console.GetLines().size(), 1u + 6u);
    EXPECT_EQ(console.GetLines()[2], "x");
    Keys({KEY_UP}, 3);
    console.Print("a\nb");
    EXPECT_EQ(console.GetScrollBack(), 5);
    // Nothing is dropped: not the oldest lines, not the end of a long line or command line.
    console.Print(std::string(20000, 'x'));
    EXPECT_EQ(console.GetLines().back().size(), 20000u);
    console.Print(std::string(20000, '\n'));
    EXPECT_EQ(console.GetLines().size(), 1u + 6u + 2u + 1u + 20001u);
    EXPECT_EQ(console.GetLines()[2], "x");
    Keys({KEY_A}, 5000);
    EXPECT_EQ(console.GetCommandLine().size(), 5000u);
}

TEST_F(Console, DragScrollsALinePerSevenPixelsAndStopsAtTheNewestLine)
{
    DebugOverlay::Visible = true;
    Drag({107});
    EXPECT_EQ(console.GetScrollBack(), 0);
    // 15 pixels: two lines, and the anchor 14 pixels below the start, so 7 more scroll nothing.
    Drag({115, 121});
    EXPECT_EQ(console.GetScrollBack(), 2);
    Drag({40});
    EXPECT_EQ(console.GetScrollBack(), 0);
}

TEST_F(Console, FlingsSlowDownStopAtTheNewestLineAndNeedAMove)
{
    DebugOverlay::Visible = true;
    Drag({100, 110}, true);
    Frames(100);
    EXPECT_EQ(console.GetScrollBack(), 1 + 24);
    Keys({KEY_DOWN}, 20);
    Drag({100, 90}, true);
    Frames(40);
    Keys({KEY_UP});
    Frames(40);
    EXPECT_EQ(console.GetScrollBack(), 1);
    Drag({}, true);
    Frames(40);
    EXPECT_EQ(console.GetScrollBack(), 1);
}

TEST_F(Console, CursorBlinksHalfASecondOnAndOffWhileShown)
{
    console.Update(0.3f);
    EXPECT_EQ(console.GetBlinkTimer(), 0.0f);
    DebugOverlay::Visible = true;
    for (float timer : {0.3f, -0.5f, -0.2f, 0.1f}) {
        console.Update(0.3f);
        EXPECT_FLOAT_EQ(console.GetBlinkTimer(), timer);
        EXPECT_EQ(Draw().Only("line").size(), timer > 0.0f ? 1u : 0u);
    }
}

TEST_F(Console, DrawStringTintsAfterAnEscapeAndMapsUnknownBytesToTheHatch)
{
    RecordingCanvas canvas;
    DebugOverlay::DrawString(canvas, 5, 9, std::string("A\x01\xff\x00\x10" "B\tC\xc8\n", 10));
    DebugOverlay::DrawString(canvas, 0, 0, "A\x01\xff\x01");
    EXPECT_EQ(canvas.calls, (Calls{"glyph 5 9 33", "tint 13 9 34 255 0 16", "tint 37 9 35 255 0 16",
                                   "tint 45 9 98 255 0 16", "tint 53 9 98 255 0 16", "glyph 0 0 33"}));
}

TEST_F(Console, ShownConsoleLaysOutTenLinesAtTheBottomOfSixtyFiveRows)
{
    DebugOverlay::Visible = true;
    console.Update(0.1f);
    for (int i = 1; i <= 9; ++i)
        console.Print("line " + std::to_string(i));
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(Calls(canvas.calls.begin(), canvas.calls.begin() + 2), (Calls{"keyed 1", "fill 0 0 800 480 0 0 0 192"}));
    EXPECT_EQ(canvas.calls.back(), "keyed 0");
    EXPECT_EQ(canvas.rows.begin()->first, 392);
    EXPECT_EQ(canvas.Row(455), "line 9");
    EXPECT_EQ(canvas.Row(473), "> ");
    EXPECT_EQ(canvas.Only("line"), Calls{"line 16 479 24 479 255 255 255 255"});
    EXPECT_TRUE(canvas.Only("rect").empty());
}

TEST_F(Console, ManyLinesShowArrowsAndAThumbAndTheOffsetIsClamped)
{
    DebugOverlay::Visible = true;
    for (int i = 1; i <= 99; ++i)
        console.Print("line " + std::to_string(i));
    RecordingCanvas newest = Draw();
    EXPECT_EQ(newest.Row(0) + newest.Row(7) + newest.Row(466), " \x7f\x7f\x7fline 35");
    EXPECT_EQ(newest.Only("fill").back(), "fill 795 169 796 477 128 128 128 255");
    EXPECT_EQ(newest.Only("rect"), Calls{"rect 794 2 798 478 128 128 128 255"});
    Keys({KEY_UP}, 50);
    RecordingCanvas oldest = Draw();
    EXPECT_EQ(console.GetScrollBack(), 35);
    EXPECT_EQ(oldest.Row(0) + oldest.Row(466), " \x80\x80\x80");
}

TEST_F(Console, ColumnOffsetCutsLinesBehindALeftArrow)
{
    DebugOverlay::Visible = true;
    console.Print("12345\nabcdefghijkl");
    Keys({KEY_RIGHT});
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Row(448) + canvas.Row(455), "\x81\x81kl");
}

TEST_F(Console, StatisticsOverlayPlacesItsTextsPlotsAndDiskIcon)
{
    console.SetShowMemory(true);
    EXPECT_EQ(Draw().Row(0).rfind("MEM: ", 0), 0u);
    console.SetShowFps(true);
    console.SetShowVideoMemory(true);
    console.ShowFpsPlot(true);
    console.ShowMemoryPlot(true);
    console.ShowCounterPlot(true);
    console.SetDiskIndicator(true);
    SetDiskActivity();
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Only("glyph")[0], "glyph 0 0 38");
    EXPECT_TRUE(canvas.Has("glyph 175 0 54"));
    EXPECT_EQ(canvas.Only("disk"), Calls{"disk 768 448"});
    EXPECT_EQ(canvas.Only("fill"), Calls{"fill 0 380 800 480 0 0 0 128"});
    for (const char* minimumLine : {"line 20 460 246 460 64 64 255 255", "line 286 460 512 460 64 64 255 255",
                                    "line 552 460 778 460 64 64 255 255"})
        EXPECT_TRUE(canvas.Has(minimumLine)) << minimumLine;
    EXPECT_TRUE(Draw().Only("disk").empty());
}

} // namespace
