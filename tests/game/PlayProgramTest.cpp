// The real program on a private Xvfb, driven with xdotool clicks: level 1 started from the level
// select with the hero read back running on the real frames, and level 1 won through its hints
// with "Next level" going straight on to level 2.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

bool IsColour(const TestSupport::XClient& client, unsigned long window, int x, int y, TestSupport::Rgb colour)
{
    TestSupport::Rgb pixel{};
    return client.GetPixel(window, x, y, pixel) && std::abs(pixel.red - colour.red) < 8 &&
           std::abs(pixel.green - colour.green) < 8 && std::abs(pixel.blue - colour.blue) < 8;
}

// The HUD's panels (hint and summary) are cream where the level shows sky; buttons are teal.
constexpr TestSupport::Rgb PANEL{255, 244, 220};
constexpr TestSupport::Rgb BUTTON{42, 157, 143};

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

    // From the start to level 1 running: no sound, Play, then level 1's button.
    void StartLevelOne()
    {
        ASSERT_TRUE(client.IsOpen());
        ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick"},
                                  {{"DISPLAY", server.GetDisplayName()},
                                   {"XDG_CONFIG_HOME", config.string()},
                                   {"PULSE_SERVER", "unix:" + config.string() + "/no-sound-server"},
                                   {"ASAN_OPTIONS", TestSupport::ChildProcess::ProgramSanitizerOptions()},
                                   {"LSAN_OPTIONS", TestSupport::ChildProcess::ProgramLeakOptions()}},
                                  "/"));
        window = client.WaitForWindow("Brashwick", WAIT_MS);
        ASSERT_NE(window, 0u) << program.GetOutput();
        ASSERT_TRUE(Shows("active state menu", 1)) << program.GetOutput();
        ASSERT_TRUE(Click(540, 362));
        ASSERT_TRUE(Click(400, 222));
        ASSERT_TRUE(Shows("active state level select", 1)) << program.GetOutput();
        // The level select takes taps once its strip has settled: a few tries, each with a bound.
        bool started = false;
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            ASSERT_TRUE(Click(120, 170));
            started = TestSupport::WaitUntil([&] { return Count("active state play") >= 1; }, 4000);
        }
        ASSERT_TRUE(started) << program.GetOutput();
    }

    void Quit()
    {
        client.SendDeleteWindow(window);
        ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
        EXPECT_EQ(program.GetExitStatus(), 0);
    }

    int Count(const std::string& line) const
    {
        const std::string output = program.GetOutput();
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

    // A tutorial hint (or the summary) shows, or has gone.
    bool WaitForPanel(bool shown)
    {
        return TestSupport::WaitUntil([&] { return IsColour(client, window, 400, 180, PANEL) == shown; }, WAIT_MS);
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
    TestSupport::ChildProcess program;
    unsigned long window = 0;
};

TEST_F(PlayProgram, LevelOneStartsFromTheLevelSelectAndTheHeroRuns)
{
    ASSERT_NO_FATAL_FAILURE(StartLevelOne());
    int first = -1;
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return (first = FindHero(client, window)) >= 0; }, WAIT_MS));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return FindHero(client, window) > first + 20; }, WAIT_MS));
    Quit();
}

// Level 1 holds play at each of its three hints, so the taps do not race the hero: "Got it" on
// the first, the bridge over the gap where the second points, "Got it" on the third; then the
// exit, the summary and "Next level", which loads level 2 with no tap on the level select.
TEST_F(PlayProgram, LevelOneWonWithTheBridgeAndNextLevelStartsLevelTwo)
{
    ASSERT_NO_FATAL_FAILURE(StartLevelOne());
    const int gotItX = 575, barY = 437, bridgeX = 685;
    ASSERT_TRUE(WaitForPanel(true)) << "the first hint";
    ASSERT_TRUE(Click(gotItX, barY));
    ASSERT_TRUE(WaitForPanel(false));
    ASSERT_TRUE(WaitForPanel(true)) << "the bridge's hint";
    ASSERT_TRUE(Click(bridgeX, barY));
    ASSERT_TRUE(Click(485, 330));
    ASSERT_TRUE(WaitForPanel(false)) << "placing the bridge closes its hint";
    ASSERT_TRUE(WaitForPanel(true)) << "the exit's hint";
    ASSERT_TRUE(Click(gotItX, barY));
    ASSERT_TRUE(WaitForPanel(false));
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return IsColour(client, window, 400, 180, PANEL) && IsColour(client, window, 510, 345, BUTTON); },
        WAIT_MS))
        << "the summary with its Next level button";
    ASSERT_TRUE(Click(510, 360));
    ASSERT_TRUE(Shows("active state level select", 2)) << program.GetOutput();
    EXPECT_TRUE(Shows("active state play", 2)) << program.GetOutput();
    Quit();
    const std::string saved = SavedSettings();
    EXPECT_NE(saved.find("name=\"level1\" type=\"int\">2<"), std::string::npos) << saved;
    EXPECT_NE(saved.find("name=\"currentLevel\" type=\"int\">2<"), std::string::npos) << saved;
}
