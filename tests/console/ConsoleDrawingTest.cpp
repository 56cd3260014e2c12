// The console drawn by GL under Xvfb over a running frame: read back against a golden image,
// with its translucent background, colour-keyed and tinted glyphs, the disk icon and a plot.
#include "console/DebugOverlay.h"

#include "engine/core/KeyCodes.h"
#include "engine/vfs/DiskActivity.h"
#include "tests/graphics/render/RenderTestScreen.h"

using namespace RenderTest;
using Tarv::DebugOverlay;

namespace
{

// The region of the golden image: the bottom-left corner with the newest lines and the prompt.
constexpr int GOLDEN_X = 0;
constexpr int GOLDEN_Y = 352;
constexpr int GOLDEN_WIDTH = 256;
constexpr int GOLDEN_HEIGHT = 128;
const std::string GOLDEN = std::string(BRASHWICK_SOURCE_DIR) + "/tests/console/golden/Console.ppm";

class ConsoleOnScreen : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        DebugOverlay::Visible = false;
        // The running frame: two coloured halves.
        const std::uint8_t left[4] = {0, 120, 200, 255};
        const std::uint8_t right[4] = {200, 160, 0, 255};
        Screen()->FillRect(0, 0, 400, 480, left);
        Screen()->FillRect(400, 0, 800, 480, right);
    }
    void TearDown() override { DebugOverlay::Visible = false; }

    DebugOverlay console;
};

TEST_F(ConsoleOnScreen, ShownConsoleMatchesItsGoldenImage)
{
    console.ExecuteCommand("help");
    console.Print("Brashwick developer console");
    console.Print(std::string("\x01\xff\x40\x40" "red\x01\x40\xff\x40 green\tTAB ~{|}"));
    console.Print("> regset /quor/language 'de'");
    DebugOverlay::Visible = true;
    console.Update(0.1f);
    console.OnKeyDown(Tarv::KEY_2);
    console.Render(Screen());

    const RenderTest::GoldenDiff diff =
        RenderTest::CompareGolden(Screen(), GOLDEN, GOLDEN_WIDTH, GOLDEN_HEIGHT, 4, GOLDEN_X, GOLDEN_Y);
    ASSERT_TRUE(diff.compared) << GOLDEN;
    EXPECT_EQ(diff.differing, 0);
}

TEST_F(ConsoleOnScreen, HiddenConsoleDrawsOpaqueStatisticsTheDiskIconAndAPlot)
{
    console.SetShowFps(true);
    console.SetDiskIndicator(true);
    Tarv::SetDiskActivity();
    console.Render(Screen());
    // "FPS" on opaque black cells; the frame elsewhere untouched.
    EXPECT_TRUE(Near(ReadPixel(Screen(), 0, 0), Rgba{0, 0, 0, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 1, 1), Rgba{255, 255, 255, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 300, 100), Rgba{0, 120, 200, 255}, 2));
    // The icon's blue body, its red band, and the frame through its magenta corner.
    EXPECT_TRUE(Near(ReadPixel(Screen(), 768 + 2, 448 + 17), Rgba{0x47, 0x50, 0xc8, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 768 + 10, 448 + 1), Rgba{255, 0, 0, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 768, 448 + 31), Rgba{200, 160, 0, 255}, 2));
    // The plot strip halves the frame; the plot's white vertical axis at x + w - 5.
    console.ShowCounterPlot(true);
    console.Render(Screen());
    EXPECT_TRUE(Near(ReadPixel(Screen(), 300, 385), Rgba{0, 60, 100, 255}, 2));
    EXPECT_TRUE(Near(ReadPixel(Screen(), 10 + 780 - 5, 420), Rgba{255, 255, 255, 255}, 2));
}

// A coloured glyph is the white glyph tinted through the off-screen cells: its ink takes the
// colour and its black cell is opaque while the font is not keyed. Once the shown console has
// drawn coloured text with the keyed font, the tinted cell stays keyed: black lets the frame
// through from then on.
TEST_F(ConsoleOnScreen, ColouredGlyphsKeepTheKeyOfTheFirstFontTheyWereDrawnWith)
{
    const std::string red("\x01\xff\x00\x00" "H", 5);
    console.DrawString(Screen(), 100, 100, red);
    int inked = 0;
    for (int y = 100; y < 107; ++y) {
        for (int x = 100; x < 108; ++x) {
            const Rgba pixel = ReadPixel(Screen(), x, y);
            inked += Near(pixel, Rgba{255, 0, 0, 255}, 4) ? 1 : 0;
            EXPECT_TRUE(Near(pixel, Rgba{255, 0, 0, 255}, 4) || Near(pixel, Rgba{0, 0, 0, 255}, 2)) << x << "," << y;
        }
    }
    EXPECT_GT(inked, 4);

    console.Print("\x01\x40\xff\x40" "green");
    DebugOverlay::Visible = true;
    console.Render(Screen());
    DebugOverlay::Visible = false;
    const std::uint8_t left[4] = {0, 120, 200, 255};
    Screen()->FillRect(0, 0, 400, 480, left);
    console.DrawString(Screen(), 100, 200, red);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 100, 203), Rgba{0, 120, 200, 255}, 2));
    console.DrawString(Screen(), 100, 300, "H");
    EXPECT_TRUE(Near(ReadPixel(Screen(), 100, 303), Rgba{0, 0, 0, 255}, 2));
}

} // namespace
