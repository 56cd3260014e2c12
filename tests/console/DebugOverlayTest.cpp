// The console's input, printing, scrolling, blink and drawing, through a recording canvas.
#include "console/DebugOverlay.h"

#include "engine/platform/KeyCodes.h"
#include "engine/vfs/DiskActivity.h"
#include "tests/console/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Tarv;
using ConsoleTest::RecordingCanvas;

namespace
{

class Console : public testing::Test
{
protected:
    void SetUp() override { DebugOverlay::Visible = false; }
    void TearDown() override { DebugOverlay::Visible = false; }

    void Keys(std::initializer_list<int> keys)
    {
        for (int key : keys)
            console.OnKeyDown(key);
    }
    void PrintLines(int count)
    {
        for (int i = 1; i <= count; ++i)
            console.Print("line " + std::to_string(i));
    }
    RecordingCanvas Draw()
    {
        RecordingCanvas canvas;
        console.Render(canvas);
        return canvas;
    }
    void Drag(std::initializer_list<int> ys)
    {
        console.OnTouchDown(0, 100);
        for (int y : ys) {
            console.OnTouchMove(0, y);
            console.Update(0.01f);
        }
    }
    void Frames(int count, float dt)
    {
        for (int i = 0; i < count; ++i)
            console.Update(dt);
    }

    DebugOverlay console;
};

struct KeyCase
{
    int key;
    bool shift;
    const char* typed;
};

class ConsoleKeys : public Console, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(ConsoleKeys, TypeTheirCharacter)
{
    if (GetParam().shift)
        console.OnKeyDown(KEY_SHIFT);
    console.OnKeyDown(GetParam().key);
    EXPECT_EQ(console.GetCommandLine(), GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConsoleKeys,
    testing::Values(KeyCase{KEY_0, false, "0"}, KeyCase{KEY_9, false, "9"}, KeyCase{KEY_0, true, ")"},
                    KeyCase{KEY_1, true, "!"}, KeyCase{KEY_6, true, "^"}, KeyCase{KEY_9, true, "("},
                    KeyCase{KEY_A, false, "a"}, KeyCase{KEY_Z, true, "Z"}, KeyCase{KEY_SPACE, true, " "},
                    KeyCase{KEY_FN_N, false, "'"}, KeyCase{KEY_FN_N, true, "\""}, KeyCase{KEY_FN_V, false, "/"},
                    KeyCase{KEY_FN_V, true, "?"}, KeyCase{KEY_FULL_STOP, true, "."}, KeyCase{KEY_HASH, false, ""},
                    KeyCase{KEY_TILDE, false, ""}, KeyCase{KEY_BACK, false, ""}, KeyCase{200, true, ""}));

struct ScrollCase
{
    int start;
    bool shift;
    int key;
    int expected;
};

class ConsoleScrollKeys : public Console, public testing::WithParamInterface<ScrollCase>
{
};

TEST_P(ConsoleScrollKeys, MoveTheViewWithinItsBounds)
{
    for (int i = 0; i < GetParam().start; ++i)
        console.OnKeyDown(KEY_UP);
    if (GetParam().shift)
        console.OnKeyDown(KEY_SHIFT);
    console.OnKeyDown(GetParam().key);
    EXPECT_EQ(console.GetScrollBack(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ConsoleScrollKeys,
                         testing::Values(ScrollCase{0, false, KEY_DOWN, 0}, ScrollCase{7, false, KEY_DOWN, 6},
                                         ScrollCase{7, true, KEY_DOWN, 0}, ScrollCase{30, true, KEY_DOWN, 10},
                                         ScrollCase{7, false, KEY_VOLUME_UP, 0}, ScrollCase{3, true, KEY_UP, 23},
                                         ScrollCase{3, false, KEY_VOLUME_DOWN, 23}));

TEST_F(Console, ShiftHoldsUntilItsReleaseAndBackDeletesOneByte)
{
    Keys({KEY_SHIFT, KEY_A, KEY_B});
    console.OnKeyUp(KEY_A);
    console.OnKeyDown(KEY_C);
    console.OnKeyUp(KEY_SHIFT);
    Keys({KEY_D, KEY_BACK});
    EXPECT_EQ(console.GetCommandLine(), "ABC");
    Keys({KEY_BACK, KEY_BACK, KEY_BACK, KEY_BACK});
    EXPECT_EQ(console.GetCommandLine(), "");
}

TEST_F(Console, ColumnOffsetMovesByTensAndStopsAtZero)
{
    Keys({KEY_LEFT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT});
    EXPECT_EQ(console.GetColumnOffset(), 30);
    Keys({KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_LEFT});
    EXPECT_EQ(console.GetColumnOffset(), 0);
}

TEST_F(Console, EnterEchoesRunsAndEmptiesTheLine)
{
    Keys({KEY_SELECT});
    ASSERT_EQ(console.GetLines().size(), 16u);
    EXPECT_EQ(console.GetLines()[1], "> ");
    EXPECT_EQ(console.GetLines()[2], "1. assets: show managed assets");
    EXPECT_EQ(console.GetLines()[15], "9. timeskew skew: set time skew");
    Keys({KEY_X, KEY_SELECT});
    EXPECT_EQ(console.GetLines().back(), "Unknown command");
    EXPECT_EQ(console.GetCommandLine(), "");
}

TEST_F(Console, PrintSplitsAtLineFeedsAndKeepsAScrolledView)
{
    const std::size_t banner = console.GetLines().size();
    console.Print("");
    console.Print("x\n");
    console.Print("\n\n");
    EXPECT_EQ(console.GetLines().size(), banner + 6);
    EXPECT_EQ(console.GetLines()[banner + 1], "x");
    Keys({KEY_UP, KEY_UP, KEY_UP});
    console.Print("a\nb");
    EXPECT_EQ(console.GetScrollBack(), 5);
}

TEST_F(Console, LinesAndTheirLengthAreCapped)
{
    console.Print(std::string(DebugOverlay::MAX_LINE_BYTES * 2, 'x'));
    EXPECT_EQ(console.GetLines().back().size(), DebugOverlay::MAX_LINE_BYTES);
    console.Print(std::string(DebugOverlay::MAX_LINES + 10, '\n'));
    EXPECT_EQ(console.GetLines().size(), DebugOverlay::MAX_LINES);
    for (std::size_t i = 0; i < DebugOverlay::MAX_LINE_BYTES + 5; ++i)
        console.OnKeyDown(KEY_A);
    EXPECT_EQ(console.GetCommandLine().size(), DebugOverlay::MAX_LINE_BYTES);
}

TEST_F(Console, LinesPostedFromOtherThreadsArriveAtTheNextUpdateUpToTheirCap)
{
    std::thread poster([] {
        for (std::size_t i = 0; i < DebugOverlay::MAX_POSTED + 50; ++i)
            DebugOverlay::Post("posted");
    });
    poster.join();
    const std::size_t before = console.GetLines().size();
    console.Update(0.01f);
    EXPECT_EQ(console.GetLines().size(), before + DebugOverlay::MAX_POSTED);
    console.Update(0.01f);
    EXPECT_EQ(console.GetLines().size(), before + DebugOverlay::MAX_POSTED);
}

TEST_F(Console, DragScrollsALinePerSevenPixelsAndStopsAtTheNewestLine)
{
    DebugOverlay::Visible = true;
    Drag({107});
    EXPECT_EQ(console.GetScrollBack(), 0);
    Drag({115});
    EXPECT_EQ(console.GetScrollBack(), 2);
    // The anchor stayed 14 pixels below the start: 7 more pixels beyond it scroll nothing.
    console.OnTouchMove(0, 121);
    console.Update(0.01f);
    EXPECT_EQ(console.GetScrollBack(), 2);
    Drag({40});
    EXPECT_EQ(console.GetScrollBack(), 0);
}

TEST_F(Console, FlingSlowsDownAndStops)
{
    DebugOverlay::Visible = true;
    Drag({100, 110});
    console.OnTouchUp();
    Frames(100, 0.05f);
    EXPECT_EQ(console.GetScrollBack(), 24 + 1);
    Frames(10, 0.05f);
    EXPECT_EQ(console.GetScrollBack(), 25);
}

TEST_F(Console, UpwardFlingStopsAtTheNewestLineAndATapDoesNotFling)
{
    DebugOverlay::Visible = true;
    Keys({KEY_UP, KEY_UP, KEY_UP, KEY_UP, KEY_UP});
    console.OnTouchDown(0, 100);
    console.OnTouchMove(0, 100);
    console.OnTouchMove(0, 90);
    console.OnTouchUp();
    Frames(40, 0.05f);
    EXPECT_EQ(console.GetScrollBack(), 0);
    Keys({KEY_UP});
    Frames(40, 0.05f);
    console.OnTouchDown(0, 50);
    console.OnTouchUp();
    Frames(40, 0.05f);
    EXPECT_EQ(console.GetScrollBack(), 1);
}

TEST_F(Console, CursorBlinksHalfASecondOnAndOffWhileShown)
{
    console.Update(0.3f);
    EXPECT_EQ(console.GetBlinkTimer(), 0.0f);
    DebugOverlay::Visible = true;
    const float expected[] = {0.3f, -0.5f, -0.2f, 0.1f};
    for (float timer : expected) {
        console.Update(0.3f);
        EXPECT_FLOAT_EQ(console.GetBlinkTimer(), timer);
        EXPECT_EQ(Draw().Only("line").size(), timer > 0.0f ? 1u : 0u);
    }
}

TEST_F(Console, DrawStringTintsAfterAnEscapeAndMapsUnknownBytesToTheHatch)
{
    RecordingCanvas canvas;
    DebugOverlay::DrawString(canvas, 5, 9, std::string("A\x01\xff\x00\x10" "B\tC\xc8\n", 10));
    EXPECT_EQ(canvas.Calls(), (std::vector<std::string>{"glyph 5 9 33", "tint 13 9 34 255 0 16", "tint 37 9 35 255 0 16",
                                                       "tint 45 9 98 255 0 16", "tint 53 9 98 255 0 16"}));
    RecordingCanvas cut;
    DebugOverlay::DrawString(cut, 0, 0, "A\x01\xff\x01");
    EXPECT_EQ(cut.Calls(), (std::vector<std::string>{"glyph 0 0 33"}));
}

TEST_F(Console, ShownConsoleLaysOutTenLinesAtTheBottomOfSixtyFiveRows)
{
    DebugOverlay::Visible = true;
    console.Update(0.1f);
    PrintLines(9);
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Calls().front(), "keyed 1");
    EXPECT_EQ(canvas.Calls()[1], "fill 0 0 800 480 0 0 0 192");
    EXPECT_EQ(canvas.Calls().back(), "keyed 0");
    std::vector<int> rows;
    for (int y = 392; y <= 455; y += 7)
        rows.push_back(y);
    rows.push_back(473);
    EXPECT_EQ(canvas.Rows(), rows);
    EXPECT_EQ(canvas.Row(455), "line 9");
    EXPECT_EQ(canvas.Row(473), "> ");
    EXPECT_EQ(canvas.Only("line"), (std::vector<std::string>{"line 16 479 24 479 255 255 255 255"}));
    EXPECT_TRUE(canvas.Only("rect").empty());
}

TEST_F(Console, ManyLinesShowArrowsAndAThumbAndTheOffsetIsClamped)
{
    DebugOverlay::Visible = true;
    PrintLines(99);
    RecordingCanvas newest = Draw();
    EXPECT_EQ(newest.Row(0), " \x7f\x7f\x7f");
    EXPECT_EQ(newest.Row(7), "line 35");
    EXPECT_EQ(newest.Row(466), "");
    EXPECT_EQ(newest.Only("fill").back(), "fill 795 169 796 477 128 128 128 255");
    EXPECT_EQ(newest.Only("rect"), (std::vector<std::string>{"rect 794 2 798 478 128 128 128 255"}));

    for (int i = 0; i < 50; ++i)
        console.OnKeyDown(KEY_UP);
    RecordingCanvas oldest = Draw();
    EXPECT_EQ(console.GetScrollBack(), 35);
    EXPECT_EQ(oldest.Row(0), "");
    EXPECT_EQ(oldest.Row(466), " \x80\x80\x80");
}

TEST_F(Console, ColumnOffsetCutsLinesBehindALeftArrow)
{
    DebugOverlay::Visible = true;
    console.Print("12345");
    console.Print("abcdefghijkl");
    console.OnKeyDown(KEY_RIGHT);
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Row(448), "\x81");
    EXPECT_EQ(canvas.Row(455), "\x81kl");
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
    RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Only("glyph")[0], "glyph 0 0 38");
    EXPECT_NE(std::find(canvas.Calls().begin(), canvas.Calls().end(), "glyph 175 0 54"), canvas.Calls().end());
    EXPECT_EQ(canvas.Only("disk"), (std::vector<std::string>{"disk 768 448"}));
    EXPECT_EQ(canvas.Only("fill"), (std::vector<std::string>{"fill 0 380 800 480 0 0 0 128"}));
    for (const char* minimumLine : {"line 20 460 246 460 64 64 255 255", "line 286 460 512 460 64 64 255 255",
                                    "line 552 460 778 460 64 64 255 255"})
        EXPECT_NE(std::find(canvas.Calls().begin(), canvas.Calls().end(), minimumLine), canvas.Calls().end());
    EXPECT_TRUE(Draw().Only("disk").empty());
}

} // namespace
