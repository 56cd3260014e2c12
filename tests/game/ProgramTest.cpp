// The real program on a private Xvfb, played with xdotool clicks: the studio logo on white, the
// title, the first-run prompt, the level select and back, then Exit with the settings saved.
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

using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(Program, FromTheLogoThroughTheMenuAndLevelSelectToExit)
{
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("brashwick-program-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    ChildProcess program;
    ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick"},
                              {{"DISPLAY", server.GetDisplayName()},
                               {"XDG_CONFIG_HOME", config.string()},
                               {"PULSE_SERVER", "unix:" + config.string() + "/no-sound-server"},
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
    ASSERT_TRUE(shows("active state menu")) << program.GetOutput();
    // The first run asks about sound; "No" leads to the main menu, whose Play opens the levels.
    ASSERT_TRUE(click(540, 362));
    ASSERT_TRUE(click(400, 222));
    ASSERT_TRUE(shows("active state level select")) << program.GetOutput();
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
    EXPECT_NE(text.str().find("<key name=\"first_run\" type=\"bool\">false</key>"), std::string::npos) << text.str();
    std::filesystem::remove_all(config);
}
