// The program (the tests' build, which reports its progress on standard output) on a private
// Xvfb, run from a folder whose common.pak holds a damaged level 1 (repacked with tarvpak):
// starting that level goes back to the level select, says why, and saves no progress that was
// not made.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;
using TestSupport::CountOf;

constexpr int WAIT_MS = 20000;

// The program and its archives in folder, common.pak with levels/01.xml replaced by text.
bool MakeInstall(const std::filesystem::path& folder, const std::string& levelText)
{
    const std::filesystem::path bin = BRASHWICK_OUTPUT_DIR;
    const std::string pak = std::string(BRASHWICK_BINARY_DIR) + "/tools/tarvpak";
    std::filesystem::create_directories(folder);
    for (const char* name : {"brashwick-reporting", "platform.pak", "atlas.pak"})
        std::filesystem::copy_file(bin / name, folder / name);
    const std::filesystem::path common = folder / "common";
    if (ChildProcess::Run({pak, "extract", (bin / "common.pak").string(), common.string()}) != 0)
        return false;
    std::ofstream(common / "levels" / "01.xml", std::ios::trunc) << levelText;
    return ChildProcess::Run({pak, "pack", common.string(), (folder / "common.pak").string()}) == 0;
}

} // namespace

TEST(LevelFailureProgram, ADamagedLevelFileGoesBackToTheLevelSelectAndSaysWhy)
{
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("brashwick-damaged-" + std::to_string(::getpid()));
    ASSERT_TRUE(MakeInstall(root / "install", "<level><scene><layer>"));
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    ChildProcess program;
    ASSERT_TRUE(program.Start({(root / "install" / "brashwick-reporting").string()},
                              {{"DISPLAY", server.GetDisplayName()},
                               {"XDG_CONFIG_HOME", (root / "config").string()},
                               {"PULSE_SERVER", "unix:" + root.string() + "/no-sound-server"},
                               {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()},
                               {"LSAN_OPTIONS", ChildProcess::ProgramLeakOptions()}},
                              "/"));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    auto shows = [&](const std::string& line, std::size_t times, int timeoutMs) {
        return TestSupport::WaitUntil([&] { return CountOf(program.GetOutput(), line) >= times; }, timeoutMs);
    };
    auto click = [&](int x, int y) {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    };
    ASSERT_TRUE(shows("active state menu", 1, WAIT_MS)) << program.GetOutput();
    // No sound, Play, then level 1's button, a few times until the level select takes taps.
    ASSERT_TRUE(click(540, 362));
    ASSERT_TRUE(click(400, 222));
    ASSERT_TRUE(shows("active state level select", 1, WAIT_MS)) << program.GetOutput();
    bool tried = false;
    for (int attempt = 0; attempt < 5 && !tried; ++attempt) {
        ASSERT_TRUE(click(120, 170));
        tried = shows("level 1 did not load: back to the level select", 1, 4000);
    }
    ASSERT_TRUE(tried) << program.GetOutput();
    EXPECT_NE(program.GetOutput().find("levels/01.xml: the level file is missing or is not well-formed XML"),
              std::string::npos)
        << program.GetOutput();
    EXPECT_TRUE(shows("active state level select", 2, WAIT_MS)) << program.GetOutput();

    client.SendDeleteWindow(window);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0) << program.GetOutput();
    std::stringstream saved;
    saved << std::ifstream(root / "config" / "Brashwick" / "settings.xml").rdbuf();
    for (const char* key : {"level1\" type=\"int\">1", "level2\" type=\"int\">0", "score\" type=\"int\">0",
                            "lives\" type=\"int\">5"})
        EXPECT_NE(saved.str().find(std::string("<key name=\"") + key + "</key>"), std::string::npos)
            << key << "\n" << saved.str();
    std::filesystem::remove_all(root);
}
