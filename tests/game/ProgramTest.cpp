// The real program on a private Xvfb and a private PulseAudio null sink, played with xdotool clicks:
// the studio logo on white, the title, the first-run prompt switching sound on, the music switch, the
// link to more games, the level select and back, then Exit with the settings saved.
#include "tests/support/ChildProcess.h"
#include "tests/support/PulseServer.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The loudest sample the sink's monitor carries over a short window.
int Peak(TestSupport::PulseServer& pulse)
{
    if (!pulse.StartRecording())
        return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int peak = 0;
    for (const std::int16_t sample : pulse.StopRecording())
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

constexpr int AUDIBLE = 300;

} // namespace

TEST(Program, FromTheLogoThroughTheMenuAndLevelSelectToExit)
{
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("brashwick-program-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    TestSupport::PulseServer pulse;
    ASSERT_TRUE(pulse.Start(22050, 1));
    const std::filesystem::path opened = config / "opened";
    std::ofstream(config / "opener") << "#!/bin/sh\necho \"$1\" >> " << opened.string() << "\n";
    ::chmod((config / "opener").c_str(), 0700);
    ChildProcess program;
    ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick"},
                              {{"DISPLAY", server.GetDisplayName()},
                               {"XDG_CONFIG_HOME", config.string()},
                               {"PULSE_SERVER", pulse.GetAddress()},
                               {"TARV_URL_OPENER", (config / "opener").string()},
                               {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()},
                               {"LSAN_OPTIONS", ChildProcess::ProgramLeakOptions()}},
                              "/"));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    auto shows = [&](const std::string& line, std::size_t times = 1) {
        return TestSupport::WaitUntil([&] { return Count(program.GetOutput(), line) >= times; }, WAIT_MS);
    };
    auto click = [&](int x, int y) {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    };
    ASSERT_TRUE(shows("active state vexolan logo")) << program.GetOutput();
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] {
            TestSupport::Rgb corner{};
            return client.GetPixel(window, 10, 10, corner) && corner.red > 247 && corner.green > 247 && corner.blue > 247;
        },
        WAIT_MS));
    auto heard = [&](bool loud) {
        return TestSupport::WaitUntil([&] { return (Peak(pulse) > AUDIBLE) == loud; }, WAIT_MS);
    };
    ASSERT_TRUE(shows("active state menu")) << program.GetOutput();
    // Sound starts muted; the first run's "Yes" switches it on and the menu music is heard, the
    // music switch silences it and brings it back.
    EXPECT_LE(Peak(pulse), AUDIBLE);
    ASSERT_TRUE(click(260, 362));
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    ASSERT_TRUE(click(140, 424));
    EXPECT_TRUE(heard(false)) << program.GetOutput();
    ASSERT_TRUE(click(140, 424));
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    // "More games" calls the page opener once.
    ASSERT_TRUE(click(400, 298));
    auto opens = [&] {
        std::stringstream lines;
        lines << std::ifstream(opened).rdbuf();
        return Count(lines.str(), "\n");
    };
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return opens() == 1; }, WAIT_MS));
    // Play opens the levels, with their own music.
    ASSERT_TRUE(click(400, 222));
    ASSERT_TRUE(shows("active state level select")) << program.GetOutput();
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    ASSERT_TRUE(click(47, 45));
    ASSERT_TRUE(shows("active state menu", 2)) << program.GetOutput();
    ASSERT_TRUE(click(400, 374));
    ASSERT_TRUE(click(260, 362));
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0);
    EXPECT_NE(program.GetOutput().find("settings saved; shut down"), std::string::npos) << program.GetOutput();
    std::ifstream saved(config / "Brashwick" / "settings.xml");
    std::stringstream text;
    text << saved.rdbuf();
    for (const char* key : {"first_run\" type=\"bool\">false", "music_on\" type=\"bool\">true", "sfx_on\" type=\"bool\">true"})
        EXPECT_NE(text.str().find(std::string("<key name=\"") + key + "</key>"), std::string::npos) << text.str();
    EXPECT_EQ(opens(), 1u);
    std::filesystem::remove_all(config);
}
