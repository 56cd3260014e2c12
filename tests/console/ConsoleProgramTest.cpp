// The console in the program (the tests' build, which reports its progress on standard output)
// under Xvfb: real key presses open it, type a command that switches the language and close the
// program from it; the state tree stands still meanwhile and the setting is in the saved
// settings file, also when the X server goes away.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

namespace
{

using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;
// The program tests' build of the program, which reports its progress on standard output.
const std::string PROGRAM = std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting";

// xdotool arguments that type text with the device keyboard's keys: the function layer gives
// the apostrophe (N) and the slash (V); other characters are letters, digits and blanks.
std::vector<std::string> TypeKeys(const std::string& text)
{
    std::vector<std::string> keys{"xdotool"};
    for (char c : text) {
        if (c == '\'' || c == '/')
            keys.insert(keys.end(), {"keydown", "ISO_Level3_Shift", "key", c == '/' ? "v" : "n", "keyup",
                                     "ISO_Level3_Shift"});
        else
            keys.insert(keys.end(), {"key", c == ' ' ? "space" : std::string(1, c)});
    }
    keys.insert(keys.end(), {"key", "Return"});
    return keys;
}

// The key press that opens and closes the console (Fn+Ctrl on the device keyboard).
const std::vector<std::string> CONSOLE_KEY{"xdotool", "keydown", "ISO_Level3_Shift", "key", "Control_L",
                                           "keyup", "ISO_Level3_Shift"};

// Starts the program on server, saving into config, and gives its window the focus once the
// first state runs.
void StartWithFocus(ChildProcess& program, const TestSupport::XvfbServer& server, const TestSupport::XClient& client,
                    const std::string& config)
{
    ASSERT_TRUE(program.Start({PROGRAM},
                              {{"DISPLAY", server.GetDisplayName()}, {"XDG_CONFIG_HOME", config},
                               {"PULSE_SERVER", "unix:" + config + "/no-sound-server"},
                               {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()}},
                              "/"));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << program.GetOutput();
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return program.GetOutput().find("active state vexolan logo") != std::string::npos; }, WAIT_MS))
        << program.GetOutput();
    client.SetFocus(window);
}

std::string MakeConfigFolder()
{
    char pattern[] = "/tmp/brashwick-console-XXXXXX";
    return mkdtemp(pattern) != nullptr ? pattern : "";
}

std::string SavedSettings(const std::string& config)
{
    std::stringstream settings;
    settings << std::ifstream(config + "/Brashwick/settings.xml").rdbuf();
    return settings.str();
}

const std::string GERMAN = "<key name=\"language\" type=\"string\">de</key>";

TEST(ConsoleProgram, TildeOpensTheConsoleWhoseCommandsChangeAndSaveTheLanguage)
{
    TestSupport::XvfbServer server(24);
    TestSupport::XClient client(server.GetDisplayName());
    ASSERT_TRUE(client.IsOpen());
    const std::string config = MakeConfigFolder();
    ASSERT_FALSE(config.empty());
    ChildProcess program;
    StartWithFocus(program, server, client, config);
    if (HasFatalFailure())
        return;

    const auto run = [&](const std::vector<std::string>& argv) {
        return ChildProcess::Run(argv, {{"DISPLAY", server.GetDisplayName()}}, WAIT_MS);
    };
    ASSERT_EQ(run(CONSOLE_KEY), 0);
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return program.GetOutput().find("console shown after") != std::string::npos; }, WAIT_MS))
        << program.GetOutput();
    ASSERT_EQ(run(TypeKeys("regset /quor/language 'de'")), 0);
    ASSERT_EQ(run(TypeKeys("exit")), 0);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 0);

    const std::string output = program.GetOutput();
    std::smatch shown, ended;
    ASSERT_TRUE(std::regex_search(output, shown, std::regex("console shown after ([0-9]+) steps"))) << output;
    ASSERT_TRUE(std::regex_search(output, ended, std::regex("shut down after [0-9]+ frames and ([0-9]+) steps")))
        << output;
    EXPECT_EQ(shown[1], ended[1]);
    EXPECT_NE(SavedSettings(config).find(GERMAN), std::string::npos);
    std::filesystem::remove_all(config);
}

// The X server goes away under the running program (a setting changed through the console and
// not yet saved): the program saves the settings, says why it leaves, and ends with status 1
// without waiting on the dead server.
TEST(ConsoleProgram, ALostDisplaySavesTheSettingsAndEndsTheProgramAtOnce)
{
    auto server = std::make_unique<TestSupport::XvfbServer>(24);
    // Closed before the server goes: a client of a dead server would end this test too.
    auto client = std::make_unique<TestSupport::XClient>(server->GetDisplayName());
    ASSERT_TRUE(client->IsOpen());
    const std::string config = MakeConfigFolder();
    ASSERT_FALSE(config.empty());
    ChildProcess program;
    StartWithFocus(program, *server, *client, config);
    if (HasFatalFailure())
        return;
    const auto run = [&](const std::vector<std::string>& argv) {
        return ChildProcess::Run(argv, {{"DISPLAY", server->GetDisplayName()}}, WAIT_MS);
    };
    ASSERT_EQ(run(CONSOLE_KEY), 0);
    ASSERT_EQ(run(TypeKeys("regset /quor/language 'de'")), 0);
    ASSERT_EQ(run(CONSOLE_KEY), 0);
    // The console closes only after the command typed before it has run.
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return program.GetOutput().find("console hidden after") != std::string::npos; }, WAIT_MS))
        << program.GetOutput();

    client.reset();
    server.reset();
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    EXPECT_EQ(program.GetExitStatus(), 1) << "signal " << program.GetTermSignal();
    EXPECT_NE(program.GetOutput().find("brashwick: the connection to the X display was lost; leaving\n"),
              std::string::npos)
        << program.GetOutput();
    EXPECT_NE(SavedSettings(config).find(GERMAN), std::string::npos) << SavedSettings(config);
    std::filesystem::remove_all(config);
}

} // namespace
