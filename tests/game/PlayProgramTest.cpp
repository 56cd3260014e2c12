// The real program on a private Xvfb: level 1 started from the level select with xdotool clicks,
// and the hero read back running on the real frames; level 16's first hint, whose arrow must
// stay on its cell while the camera settles under it.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace
{

constexpr int WAIT_MS = 20000;

// The hero's left edge on the ground row: the first orange pixel from the left, -1 when none.
int FindHero(const TestSupport::XClient& client, unsigned long window)
{
    for (int x = 0; x < 400; x += 2) {
        TestSupport::Rgb pixel{};
        if (client.GetPixel(window, x, 315, pixel) && pixel.red > 200 && pixel.green > 110 && pixel.green < 190 &&
            pixel.blue < 110)
            return x;
    }
    return -1;
}

// Leftmost and rightmost x of the pixels near one colour between the top bar and the tool bar of
// an 800 x 480 RGB frame; {-1, -1} when there is none.
std::pair<int, int> FindColour(const std::vector<std::uint8_t>& rgb, int red, int green, int blue)
{
    std::pair<int, int> span{-1, -1};
    if (rgb.size() < 800u * 480u * 3u)
        return span;
    for (int y = 52; y < 400; ++y) {
        for (int x = 0; x < 800; ++x) {
            const std::uint8_t* p = &rgb[(std::size_t(y) * 800 + std::size_t(x)) * 3];
            if (std::abs(p[0] - red) < 10 && std::abs(p[1] - green) < 10 && std::abs(p[2] - blue) < 10) {
                span.first = span.first < 0 ? x : std::min(span.first, x);
                span.second = std::max(span.second, x);
            }
        }
    }
    return span;
}

} // namespace

// The program on its own Xvfb with a fresh save folder (holding the given settings file, if any),
// driven through the sound question and Play to the level select, then into the level whose
// button is at (x, y).
class PlayProgram : public testing::Test
{
protected:
    void TearDown() override
    {
        if (window != 0) {
            client.SendDeleteWindow(window);
            EXPECT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
            EXPECT_EQ(program.GetExitStatus(), 0);
        }
        std::filesystem::remove_all(config);
    }

    bool Shows(const std::string& line, int timeoutMs = WAIT_MS)
    {
        return TestSupport::WaitUntil([&] { return program.GetOutput().find(line) != std::string::npos; },
                                      timeoutMs);
    }

    bool Click(int x, int y)
    {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    }

    void StartLevel(int x, int y, const std::string& settings = "")
    {
        ASSERT_TRUE(client.IsOpen());
        std::filesystem::create_directories(config / "Brashwick");
        if (!settings.empty())
            std::ofstream(config / "Brashwick" / "settings.xml") << settings;
        ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick"},
                                  {{"DISPLAY", server.GetDisplayName()},
                                   {"XDG_CONFIG_HOME", config.string()},
                                   {"PULSE_SERVER", "unix:" + config.string() + "/no-sound-server"},
                                   {"ASAN_OPTIONS", TestSupport::ChildProcess::ProgramSanitizerOptions()},
                                   {"LSAN_OPTIONS", TestSupport::ChildProcess::ProgramLeakOptions()}},
                                  "/"));
        window = client.WaitForWindow("Brashwick", WAIT_MS);
        ASSERT_NE(window, 0u) << program.GetOutput();
        ASSERT_TRUE(Shows("active state menu")) << program.GetOutput();
        // No sound, Play.
        ASSERT_TRUE(Click(540, 362));
        ASSERT_TRUE(Click(400, 222));
        ASSERT_TRUE(Shows("active state level select")) << program.GetOutput();
        // The level select takes taps once its strip has settled: a few tries, each with a bound.
        bool started = false;
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            ASSERT_TRUE(Click(x, y));
            started = Shows("active state play", 4000);
        }
        ASSERT_TRUE(started) << program.GetOutput();
    }

    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    const std::filesystem::path config = std::filesystem::temp_directory_path() /
        ("brashwick-play-" + std::to_string(::getpid()) + "-" +
         testing::UnitTest::GetInstance()->current_test_info()->name());
    TestSupport::ChildProcess program;
    unsigned long window = 0;
};

TEST_F(PlayProgram, LevelOneStartsFromTheLevelSelectAndTheHeroRuns)
{
    StartLevel(120, 170);
    int first = -1;
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return (first = FindHero(client, window)) >= 0; }, WAIT_MS));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return FindHero(client, window) > first + 20; }, WAIT_MS));
}

// Level 16 (tutorial on) pauses on its skates hint with the arrow over cell 12, the shore cell
// left of the ice. The camera keeps easing under the hint; once it has settled, the arrow's
// middle must be half a cell left of the ice's edge (the ice's body colour starts 6 px into its
// shore tile), as it was on the hint's first frame.
TEST_F(PlayProgram, AHintsArrowStaysOnItsCellAfterTheCameraSettles)
{
    // The level select opens on the current level's page: level 16 is the first of its second row.
    StartLevel(120, 320,
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry><node name=\"/quor\"><node name=\"game\">"
               "<key name=\"currentLevel\" type=\"int\">16</key><node name=\"levels\">"
               "<key name=\"level16\" type=\"int\">1</key></node></node></node></registry>\n");
    const int arrowRed = 0xF4, arrowGreen = 0xD3, arrowBlue = 0x5E, iceRed = 0x6F, iceGreen = 0xB6, iceBlue = 0xD6;
    auto frame = [&] { return client.GetImage(window, 0, 0, 800, 480); };
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return FindColour(frame(), arrowRed, arrowGreen, arrowBlue).first >= 0; }, WAIT_MS))
        << "no hint arrow";
    // Settled: the ice's edge stands still over a quarter of a second.
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] {
            const int before = FindColour(frame(), iceRed, iceGreen, iceBlue).first;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            return before >= 0 && FindColour(frame(), iceRed, iceGreen, iceBlue).first == before;
        },
        WAIT_MS));
    const std::vector<std::uint8_t> settled = frame();
    const std::pair<int, int> arrow = FindColour(settled, arrowRed, arrowGreen, arrowBlue);
    const int edge = FindColour(settled, iceRed, iceGreen, iceBlue).first - 6;
    ASSERT_GE(arrow.first, 0);
    EXPECT_NEAR((arrow.first + arrow.second) / 2, edge - 24, 3) << "arrow " << arrow.first << ".." << arrow.second;
}
