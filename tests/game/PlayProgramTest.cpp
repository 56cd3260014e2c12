// The real program on a private Xvfb: level 1 started from the level select with xdotool clicks,
// and the hero read back running on the real frames.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>
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

} // namespace

TEST(PlayProgram, LevelOneStartsFromTheLevelSelectAndTheHeroRuns)
{
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("brashwick-play-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    TestSupport::ChildProcess program;
    ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick"},
                              {{"DISPLAY", server.GetDisplayName()},
                               {"XDG_CONFIG_HOME", config.string()},
                               {"PULSE_SERVER", "unix:" + config.string() + "/no-sound-server"},
                               {"ASAN_OPTIONS", TestSupport::ChildProcess::ProgramSanitizerOptions()},
                               {"LSAN_OPTIONS", TestSupport::ChildProcess::ProgramLeakOptions()}},
                              "/"));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    auto shows = [&](const std::string& line) {
        return TestSupport::WaitUntil([&] { return program.GetOutput().find(line) != std::string::npos; }, WAIT_MS);
    };
    auto click = [&](int x, int y) {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    };
    ASSERT_TRUE(shows("active state menu")) << program.GetOutput();
    // No sound, Play, then level 1's button.
    ASSERT_TRUE(click(540, 362));
    ASSERT_TRUE(click(400, 222));
    ASSERT_TRUE(shows("active state level select")) << program.GetOutput();
    // The level select takes taps once its strip has settled: a few tries, each with a bound.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        ASSERT_TRUE(click(120, 170));
        started = TestSupport::WaitUntil(
            [&] { return program.GetOutput().find("active state play") != std::string::npos; }, 4000);
    }
    ASSERT_TRUE(started) << program.GetOutput();
    int first = -1;
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return (first = FindHero(client, window)) >= 0; }, WAIT_MS));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return FindHero(client, window) > first + 20; }, WAIT_MS));
    client.SendDeleteWindow(window);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0);
    std::filesystem::remove_all(config);
}
