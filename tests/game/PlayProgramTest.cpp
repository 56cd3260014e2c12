// The program (the tests' build, which reports its progress on standard output) on a private
// Xvfb, driven with xdotool clicks: level 1 started from the level select with the hero read
// back running on the real frames; the whole game played with sound from the logo, level 1 won
// through its hints with "Next level" going straight on to level 2 and the progress kept for the
// next run; level 16's first hint, whose arrow must stay on its cell while the camera settles
// under it.
#include "tests/support/ChildProcess.h"
#include "tests/support/PulseServer.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace
{

constexpr int WAIT_MS = 20000;
// The screen row through the hero's body: the camera frames its feet five cells (200 px) above
// the screen's foot, so its cell spans rows 240 to 280.
constexpr int HERO_ROW = 262;

bool IsHeroOrange(const TestSupport::Rgb& pixel)
{
    return pixel.red > 200 && pixel.green > 110 && pixel.green < 190 && pixel.blue < 110;
}

// The hero's left edge on the ground row: the first orange pixel from the left, -1 when none.
int FindHero(const TestSupport::XClient& client, unsigned long window, int right = 400)
{
    for (int x = 0; x < right; x += 2) {
        TestSupport::Rgb pixel{};
        if (client.GetPixel(window, x, HERO_ROW, pixel) && IsHeroOrange(pixel))
            return x;
    }
    return -1;
}

// The middle of the hero's orange on the ground row, -1 when none shows.
int FindHeroMiddle(const TestSupport::XClient& client, unsigned long window)
{
    constexpr int RIGHT = 640;
    const int left = FindHero(client, window, RIGHT);
    int right = left;
    for (int x = left; left >= 0 && x < RIGHT; x += 2) {
        TestSupport::Rgb pixel{};
        if (client.GetPixel(window, x, HERO_ROW, pixel) && IsHeroOrange(pixel))
            right = x;
    }
    return left < 0 ? -1 : (left + right) / 2;
}

bool IsColour(const TestSupport::XClient& client, unsigned long window, int x, int y, TestSupport::Rgb colour)
{
    TestSupport::Rgb pixel{};
    return client.GetPixel(window, x, y, pixel) && std::abs(pixel.red - colour.red) < 8 &&
           std::abs(pixel.green - colour.green) < 8 && std::abs(pixel.blue - colour.blue) < 8;
}

// The HUD's panels (hint and summary) are cream where the level shows sky; buttons are teal.
constexpr TestSupport::Rgb PANEL{255, 244, 220};
constexpr TestSupport::Rgb BUTTON{42, 157, 143};

// Leftmost and rightmost x of the pixels near one colour between the top bar and the tool bar of
// an 800 x 480 RGB frame; {-1, -1} when there is none.
std::pair<int, int> FindColour(const std::vector<std::uint8_t>& rgb, int red, int green, int blue)
{
    std::pair<int, int> span{-1, -1};
    if (rgb.size() < 800u * 480u * 3u)
        return span;
    for (int y = 44; y < 400; ++y) {
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

// Level 1 on the screen: cells of 48 units drawn 40 px high (the camera shows "ideal_vertical_span",
// 576 units, on 480 rows), its twelve rows filling the screen's height, the hero's cell at the top
// of row 240.
constexpr int CELL = 40;
constexpr int HERO_CELL_TOP = 240;

struct SolutionStep
{
    int heroX, heroY, toolX, toolY;
};

// The win case of level 1's recorded solution: "on hero X,Y  use bridge at X,Y".
bool ReadSolution(SolutionStep& step)
{
    std::ifstream in(std::string(BRASHWICK_SOURCE_DIR) + "/content/common/levels/src/01.sol");
    std::string line;
    while (std::getline(in, line)) {
        if (std::sscanf(line.c_str(), " on hero %d,%d use bridge at %d,%d", &step.heroX, &step.heroY, &step.toolX,
                        &step.toolY) == 4)
            return true;
    }
    return false;
}

// A whole-number setting of the saved file by its leaf name; -1 when it is missing.
int SavedInt(const std::string& settings, const std::string& name)
{
    const std::string key = "<key name=\"" + name + "\" type=\"int\">";
    const std::size_t at = settings.find(key);
    return at == std::string::npos ? -1 : std::atoi(settings.c_str() + at + key.size());
}


} // namespace

class PlayProgram : public testing::Test
{
protected:
    PlayProgram()
        : config(std::filesystem::temp_directory_path() / ("brashwick-play-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(config);
    }

    ~PlayProgram() override { std::filesystem::remove_all(config); }

    // A new run of the program over the same settings, its window found.
    void StartProgram(const std::string& pulseAddress)
    {
        ASSERT_TRUE(client.IsOpen());
        program = std::make_unique<TestSupport::ChildProcess>();
        ASSERT_TRUE(program->Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting"},
                                   {{"DISPLAY", server.GetDisplayName()},
                                    {"XDG_CONFIG_HOME", config.string()},
                                    {"PULSE_SERVER", pulseAddress},
                                    {"ASAN_OPTIONS", TestSupport::ChildProcess::ProgramSanitizerOptions()},
                                    {"LSAN_OPTIONS", TestSupport::ChildProcess::ProgramLeakOptions()}},
                                   "/"));
        window = client.WaitForWindow("Brashwick", WAIT_MS);
        ASSERT_NE(window, 0u) << program->GetOutput();
    }

    // From the menu's sound prompt (answered at x) through Play to a level's button.
    void StartLevel(int answerX, int levelX, int levelY = 170)
    {
        ASSERT_TRUE(Shows("active state menu", 1)) << program->GetOutput();
        ASSERT_TRUE(Click(answerX, 362));
        ASSERT_TRUE(Click(400, 222));
        ASSERT_TRUE(Shows("active state level select", 1)) << program->GetOutput();
        // The level select takes taps once its strip has settled: a few tries, each with a bound.
        bool started = false;
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            ASSERT_TRUE(Click(levelX, levelY));
            started = TestSupport::WaitUntil([&] { return Count("active state play") >= 1; }, 4000);
        }
        ASSERT_TRUE(started) << program->GetOutput();
    }

    // From the start to level 1 running: no sound, Play, then level 1's button.
    void StartLevelOne()
    {
        ASSERT_NO_FATAL_FAILURE(StartProgram("unix:" + config.string() + "/no-sound-server"));
        ASSERT_NO_FATAL_FAILURE(StartLevel(540, 120));
    }

    void Quit()
    {
        client.SendDeleteWindow(window);
        ASSERT_TRUE(program->WaitForExit(WAIT_MS)) << program->GetOutput();
        EXPECT_EQ(program->GetExitStatus(), 0);
    }

    int Count(const std::string& line) const
    {
        const std::string output = program->GetOutput();
        int count = 0;
        for (std::size_t at = output.find(line); at != std::string::npos; at = output.find(line, at + 1))
            ++count;
        return count;
    }

    bool Shows(const std::string& line, int times)
    {
        return TestSupport::WaitUntil([&] { return Count(line) >= times; }, WAIT_MS);
    }

    bool Click(int x, int y)
    {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    }

    // A tutorial hint shows at the top of the screen, or has gone.
    bool WaitForPanel(bool shown)
    {
        return TestSupport::WaitUntil([&] { return IsColour(client, window, 400, 100, PANEL) == shown; }, WAIT_MS);
    }

    std::string SavedSettings() const
    {
        std::ifstream file(config / "Brashwick" / "settings.xml");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path config;
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    std::unique_ptr<TestSupport::ChildProcess> program;
    unsigned long window = 0;
};

TEST_F(PlayProgram, LevelOneStartsFromTheLevelSelectAndTheHeroRuns)
{
    ASSERT_NO_FATAL_FAILURE(StartLevelOne());
    // The hero starts in column 2 with the camera held at the level's left edge: left of 160,
    // where the loading screen's running hero, which may still show, never stands.
    int first = -1;
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return (first = FindHero(client, window, 160)) >= 0; }, WAIT_MS));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return FindHero(client, window) > first + 20; }, WAIT_MS));
    Quit();
}

// The whole game as a player meets it: the logo, the splash, the menu with sound switched on at
// its prompt, level 1 heard while it plays and won by the recorded solution, with the taps placed
// from the level's cells; its hints hold play, so the taps do not race the hero: "Got it" on the
// first, the bridge where the second points, "Got it" on the third. Then the summary and "Next
// level", which loads level 2 with no tap on the level select; a second run opens level 2 at once.
TEST_F(PlayProgram, PlayedWithSoundFromTheLogoToLevelTwoAndTheProgressKeptForTheNextRun)
{
    SolutionStep solution{};
    ASSERT_TRUE(ReadSolution(solution));
    TestSupport::PulseServer pulse;
    ASSERT_TRUE(pulse.Start(22050, 1));
    ASSERT_NO_FATAL_FAILURE(StartProgram(pulse.GetAddress()));
    for (const char* state : {"active state vexolan logo", "active state game splash"})
        ASSERT_TRUE(Shows(state, 1)) << program->GetOutput();
    ASSERT_NO_FATAL_FAILURE(StartLevel(260, 120));

    const int gotItX = 575, barY = 437, bridgeX = 685;
    ASSERT_TRUE(WaitForPanel(true)) << "the first hint";
    ASSERT_TRUE(Click(gotItX, barY));
    ASSERT_TRUE(WaitForPanel(false));
    EXPECT_GT(pulse.RecordPeak(), 300) << "silence while the level plays";
    // The gap's hint holds the hero in the solution's cell, standing at the cell's left edge: the
    // bridge, then the cell it goes to, counted from there.
    ASSERT_TRUE(WaitForPanel(true)) << "the bridge's hint";
    const int hero = FindHeroMiddle(client, window);
    ASSERT_GE(hero, 0);
    ASSERT_TRUE(Click(bridgeX, barY));
    ASSERT_TRUE(Click(hero + (solution.toolX - solution.heroX) * CELL + CELL / 2,
                      HERO_CELL_TOP + (solution.toolY - solution.heroY) * CELL + CELL / 2));
    ASSERT_TRUE(WaitForPanel(false)) << "placing the bridge closes its hint";
    ASSERT_TRUE(WaitForPanel(true)) << "the exit's hint";
    ASSERT_TRUE(Click(gotItX, barY));
    ASSERT_TRUE(WaitForPanel(false));
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return IsColour(client, window, 400, 180, PANEL) && IsColour(client, window, 510, 345, BUTTON); },
        WAIT_MS))
        << "the summary with its Next level button";
    ASSERT_TRUE(Click(510, 360));
    ASSERT_TRUE(Shows("active state play", 2)) << program->GetOutput();
    Quit();
    const std::string saved = SavedSettings();
    EXPECT_EQ(SavedInt(saved, "level1"), 2) << saved;
    EXPECT_EQ(SavedInt(saved, "level2"), 1) << saved;
    EXPECT_EQ(SavedInt(saved, "currentLevel"), 2) << saved;
    EXPECT_GT(SavedInt(saved, "score"), 0) << saved;

    ASSERT_NO_FATAL_FAILURE(StartProgram(pulse.GetAddress()));
    ASSERT_NO_FATAL_FAILURE(StartLevel(260, 258));
    Quit();
}

// Level 16 (tutorial on) pauses on its skates hint with the arrow over cell 12, the shore cell
// left of the ice. The camera keeps easing under the hint; once it has settled, the arrow's
// middle must be half a cell (20 px) left of the ice's edge (the ice's body colour starts 5 px
// into its shore tile, 6 of its 48), as it was on the hint's first frame.
TEST_F(PlayProgram, AHintsArrowStaysOnItsCellAfterTheCameraSettles)
{
    std::filesystem::create_directories(config / "Brashwick");
    std::ofstream(config / "Brashwick" / "settings.xml")
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry><node name=\"/quor\"><node name=\"game\">"
           "<key name=\"currentLevel\" type=\"int\">16</key><node name=\"levels\">"
           "<key name=\"level16\" type=\"int\">1</key></node></node></node></registry>\n";
    ASSERT_NO_FATAL_FAILURE(StartProgram("unix:" + config.string() + "/no-sound-server"));
    // The level select opens on the current level's page: level 16 is the first of its second row.
    ASSERT_NO_FATAL_FAILURE(StartLevel(540, 120, 320));
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
    const int edge = FindColour(settled, iceRed, iceGreen, iceBlue).first - 5;
    ASSERT_GE(arrow.first, 0);
    EXPECT_NEAR((arrow.first + arrow.second) / 2, edge - CELL / 2, 2) << "arrow " << arrow.first << ".." << arrow.second;
    Quit();
}
