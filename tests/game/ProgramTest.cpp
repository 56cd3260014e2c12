// The program (the tests' build, which reports its progress on standard output) on a private Xvfb
// and a private PulseAudio null sink, played with xdotool clicks:
// the studio logo on white, the title, the first-run prompt switching sound on, the music switch, the
// link to more games, the level select and back, then Exit with the settings saved; and two later
// starts, each silent under the sound prompt until its answer; and closing the window while the
// sound server is stopped.
#include "tests/support/BlockAverages.h"
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
#include <vector>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;
using TestSupport::CountOf;

constexpr int WAIT_MS = 20000;

constexpr int AUDIBLE = 300;

// Screenshots are kept as 8 x 8 block averages of the 800 x 480 window: small goldens that still
// show where every panel, button and label stands.
constexpr int WIDTH = 800, HEIGHT = 480, BLOCK = 8;
constexpr int TOLERANCE = 16;

std::vector<std::uint8_t> Shrunk(const TestSupport::XClient& client, unsigned long window)
{
    return TestSupport::BlockAverages(client.GetImage(window, 0, 0, WIDTH, HEIGHT), WIDTH, HEIGHT, 3, BLOCK);
}

// Blocks whose largest channel difference is over the tolerance; -1 when the sizes differ.
int Differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    if (a.empty() || a.size() != b.size())
        return -1;
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int largest = 0;
        for (std::size_t c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(int(a[i + c]) - int(b[i + c])));
        differing += largest > TOLERANCE ? 1 : 0;
    }
    return differing;
}

std::string GoldenPath(const std::string& name)
{
    return std::string(BRASHWICK_SOURCE_DIR) + "/tests/game/golden/" + name + ".ppm";
}

// The golden's blocks; empty when it is missing or of another size.
std::vector<std::uint8_t> LoadGolden(const std::string& name)
{
    std::ifstream in(GoldenPath(name), std::ios::binary);
    std::string magic;
    int w = 0, h = 0, maximum = 0;
    if (!(in >> magic >> w >> h >> maximum) || magic != "P6" || w != WIDTH / BLOCK || h != HEIGHT / BLOCK ||
        maximum != 255)
        return {};
    in.get();
    std::vector<std::uint8_t> golden(std::size_t(w) * std::size_t(h) * 3);
    if (!in.read(reinterpret_cast<char*>(golden.data()), std::streamsize(golden.size())))
        return {};
    return golden;
}

constexpr int ALLOWED = (WIDTH / BLOCK) * (HEIGHT / BLOCK) / 100;

// Waits until the window shows the golden tests/game/golden/<name>.ppm, all but 1% of its blocks
// within the tolerance. BRASHWICK_UPDATE_GOLDEN=1 writes the golden anew from the first picture
// that has left the screen before (the golden `after`, if any) and holds still over two reads.
bool ShowsGolden(const TestSupport::XClient& client, unsigned long window, const std::string& name,
                 const std::string& after, int timeoutMs)
{
    const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        const std::vector<std::uint8_t> before = after.empty() ? std::vector<std::uint8_t>() : LoadGolden(after);
        std::vector<std::uint8_t> last;
        return TestSupport::WaitUntil(
            [&] {
                std::vector<std::uint8_t> now = Shrunk(client, window);
                const int moved = Differing(now, before);
                const bool still = Differing(now, last) == 0 && (before.empty() || moved > ALLOWED);
                last = std::move(now);
                if (!still)
                    return false;
                std::ofstream out(GoldenPath(name), std::ios::binary);
                out << "P6\n" << WIDTH / BLOCK << " " << HEIGHT / BLOCK << "\n255\n";
                out.write(reinterpret_cast<const char*>(last.data()), std::streamsize(last.size()));
                return bool(out);
            },
            timeoutMs);
    }
    const std::vector<std::uint8_t> golden = LoadGolden(name);
    return !golden.empty() && TestSupport::WaitUntil(
                                  [&] {
                                      const int differing = Differing(Shrunk(client, window), golden);
                                      return differing >= 0 && differing <= ALLOWED;
                                  },
                                  timeoutMs);
}

// Starts the program on the server, saving into config, sounding through pulse, opening pages
// with the given opener.
bool StartProgram(ChildProcess& program, const TestSupport::XvfbServer& server, const std::filesystem::path& config,
                  const TestSupport::PulseServer& pulse, const std::string& opener)
{
    return program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting"},
                         {{"DISPLAY", server.GetDisplayName()},
                          {"XDG_CONFIG_HOME", config.string()},
                          {"PULSE_SERVER", pulse.GetAddress()},
                          {"TARV_URL_OPENER", opener},
                          {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()},
                          {"LSAN_OPTIONS", ChildProcess::ProgramLeakOptions()}},
                         "/");
}

std::string ReadText(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
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
    TestSupport::PulseServer pulse;
    ASSERT_TRUE(pulse.Start(22050, 1));
    const std::filesystem::path opened = config / "opened";
    std::ofstream(config / "opener") << "#!/bin/sh\necho \"$1\" >> " << opened.string() << "\n";
    ::chmod((config / "opener").c_str(), 0700);
    ChildProcess program;
    ASSERT_TRUE(StartProgram(program, server, config, pulse, (config / "opener").string()));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    auto shows = [&](const std::string& line, std::size_t times = 1) {
        return TestSupport::WaitUntil([&] { return CountOf(program.GetOutput(), line) >= times; }, WAIT_MS);
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
        return TestSupport::WaitUntil([&] { return (pulse.RecordPeak() > AUDIBLE) == loud; }, WAIT_MS);
    };
    EXPECT_TRUE(ShowsGolden(client, window, "logo", "", WAIT_MS));
    ASSERT_TRUE(shows("active state game splash")) << program.GetOutput();
    EXPECT_TRUE(ShowsGolden(client, window, "splash", "logo", WAIT_MS));
    ASSERT_TRUE(shows("active state menu")) << program.GetOutput();
    EXPECT_TRUE(ShowsGolden(client, window, "first_run", "splash", WAIT_MS));
    // Sound starts muted; the first run's "Yes" switches it on and the menu music is heard, the
    // music switch silences it and brings it back.
    EXPECT_LE(pulse.RecordPeak(), AUDIBLE);
    ASSERT_TRUE(click(260, 362));
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    ASSERT_TRUE(click(140, 420));
    EXPECT_TRUE(heard(false)) << program.GetOutput();
    ASSERT_TRUE(click(140, 420));
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    EXPECT_TRUE(ShowsGolden(client, window, "main_menu", "first_run", WAIT_MS));
    // "More games" calls the page opener once.
    ASSERT_TRUE(click(400, 348));
    auto opens = [&] {
        std::stringstream lines;
        lines << std::ifstream(opened).rdbuf();
        return CountOf(lines.str(), "\n");
    };
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return opens() == 1; }, WAIT_MS));
    // Play opens the levels, with their own music.
    ASSERT_TRUE(click(400, 208));
    ASSERT_TRUE(shows("active state level select")) << program.GetOutput();
    EXPECT_TRUE(heard(true)) << program.GetOutput();
    EXPECT_TRUE(ShowsGolden(client, window, "level_select", "main_menu", WAIT_MS));
    ASSERT_TRUE(click(47, 45));
    ASSERT_TRUE(shows("active state menu", 2)) << program.GetOutput();
    // The language switch relabels the menu, and the choice is saved.
    ASSERT_TRUE(click(744, 420));
    EXPECT_TRUE(ShowsGolden(client, window, "main_menu_de", "main_menu", WAIT_MS));
    ASSERT_TRUE(click(400, 418));
    ASSERT_TRUE(click(260, 362));
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0);
    EXPECT_NE(program.GetOutput().find("settings saved; shut down"), std::string::npos) << program.GetOutput();
    const std::string saved = ReadText(config / "Brashwick" / "settings.xml");
    for (const char* key : {"first_run\" type=\"bool\">false", "music_on\" type=\"bool\">true", "sfx_on\" type=\"bool\">true",
                            "language\" type=\"string\">de"})
        EXPECT_NE(saved.find(std::string("<key name=\"") + key + "</key>"), std::string::npos) << saved;
    EXPECT_EQ(opens(), 1u);
    std::filesystem::remove_all(config);
}

// A run saved with sound on; at each of the next two starts the menu is silent under the sound
// prompt. Yes makes the music heard, No keeps it silent, and the saved switches follow the last
// answer. Without a page opener "More games" does nothing but say so once on standard error.
TEST(Program, EveryStartIsSilentUntilTheSoundPromptIsAnswered)
{
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("brashwick-sound-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config / "Brashwick");
    std::ofstream(config / "Brashwick" / "settings.xml") << R"(<registry><node name="/quor">
        <key name="version" type="string">1.0.0</key><key name="first_run" type="bool">false</key>
        <key name="sfx_on" type="bool">true</key><key name="music_on" type="bool">true</key>
        </node></registry>)";
    TestSupport::PulseServer pulse;
    ASSERT_TRUE(pulse.Start(22050, 1));
    auto click = [&](int x, int y) {
        return server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
    };
    const std::string opener = (config / "no-such-opener").string();
    const std::pair<int, bool> answers[] = {{260, true}, {540, false}};
    for (const auto& [x, on] : answers) {
        ChildProcess program;
        ASSERT_TRUE(StartProgram(program, server, config, pulse, opener));
        const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
        ASSERT_NE(window, 0u) << program.GetOutput();
        ASSERT_TRUE(TestSupport::WaitUntil([&] { return CountOf(program.GetOutput(), "active state menu") == 1; }, WAIT_MS))
            << program.GetOutput();
        EXPECT_TRUE(ShowsGolden(client, window, "sound_prompt", "splash", WAIT_MS)) << on;
        for (int i = 0; i < 3; ++i)
            EXPECT_LE(pulse.RecordPeak(), AUDIBLE) << "under the prompt, answer " << on;
        ASSERT_TRUE(click(x, 362));
        if (on) {
            EXPECT_TRUE(TestSupport::WaitUntil([&] { return pulse.RecordPeak() > AUDIBLE; }, WAIT_MS))
                << program.GetOutput();
        } else {
            const std::string said = "brashwick: cannot open http://www.example.com/brashwick/more-games: the page "
                                     "opener " + opener + " does not start: No such file or directory\n";
            ASSERT_TRUE(click(400, 348));
            EXPECT_TRUE(TestSupport::WaitUntil([&] { return CountOf(program.GetOutput(), said) == 1; }, WAIT_MS))
                << program.GetOutput();
            for (int i = 0; i < 3; ++i)
                EXPECT_LE(pulse.RecordPeak(), AUDIBLE) << "after No";
        }
        ASSERT_TRUE(click(400, 418));
        ASSERT_TRUE(click(260, 362));
        ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
        EXPECT_EQ(program.GetExitStatus(), 0);
        const std::string saved = ReadText(config / "Brashwick" / "settings.xml");
        for (const char* key : {"sfx_on", "music_on"}) {
            const std::string line = std::string("<key name=\"") + key + "\" type=\"bool\">" + (on ? "true" : "false");
            EXPECT_NE(saved.find(line), std::string::npos) << saved;
        }
    }
    std::filesystem::remove_all(config);
}

// The sound server stops answering (stopped, not gone) while the menu plays: closing the window
// still ends the program, with the player's choices saved.
TEST(Program, ClosingTheWindowEndsWhileTheSoundServerIsStopped)
{
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("brashwick-stopped-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    TestSupport::PulseServer pulse;
    ASSERT_TRUE(pulse.Start(22050, 1));
    ChildProcess program;
    ASSERT_TRUE(StartProgram(program, server, config, pulse, (config / "no-opener").string()));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return CountOf(program.GetOutput(), "active state menu") == 1; }, WAIT_MS))
        << program.GetOutput();
    // The first run's "Yes": sound on, to be saved at the close.
    ASSERT_EQ(server.RunTool({"xdotool", "mousemove", "260", "362", "click", "1"}), 0);
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return pulse.RecordPeak() > AUDIBLE; }, WAIT_MS)) << program.GetOutput();
    struct Stopped {
        explicit Stopped(pid_t pid_) : pid(pid_) { ::kill(pid, SIGSTOP); }
        ~Stopped() { ::kill(pid, SIGCONT); }
        pid_t pid;
    } stopped(pulse.GetPid());
    client.SendDeleteWindow(window);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0);
    EXPECT_NE(program.GetOutput().find("settings saved; shut down"), std::string::npos) << program.GetOutput();
    const std::string saved = ReadText(config / "Brashwick" / "settings.xml");
    EXPECT_NE(saved.find("<key name=\"sfx_on\" type=\"bool\">true</key>"), std::string::npos) << saved;
    std::filesystem::remove_all(config);
}
