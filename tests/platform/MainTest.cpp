// The real program on a private Xvfb: its one window, cleared frames, the delete message and
// SIGTERM ending it with status 0 after its shutdown (which saves the settings file), and the
// start-up failures. The program is built from platform/Main.cpp and the program's application;
// started from another folder, it shows its first picture only if it found its archives.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;
const std::string PROGRAM = std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick";

// The first picture, the studio logo, stands on white: a corner of the window turns white.
bool ShowsWhite(const TestSupport::XClient& client, unsigned long window)
{
    TestSupport::Rgb shown{};
    return client.GetPixel(window, 10, 10, shown) && shown.red >= 247 && shown.green >= 247 && shown.blue >= 247;
}

class ProgramOnXvfb : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsRunning());
        ASSERT_TRUE(m_client.IsOpen());
    }
    // Starts the program from another folder, so it must find its own.
    void StartProgram(std::vector<std::pair<std::string, std::string>> environment = {})
    {
        environment.emplace_back("DISPLAY", m_server.GetDisplayName());
        // The program saves its settings on the way out: never into the user's own folder.
        environment.emplace_back("XDG_CONFIG_HOME", m_config);
        environment.emplace_back("ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions());
        environment.emplace_back("LSAN_OPTIONS", ChildProcess::ProgramLeakOptions());
        ASSERT_TRUE(m_program.Start({PROGRAM}, environment, "/"));
    }

    // Shutdown ran: it saves the settings file.
    bool SavedSettings() const { return std::filesystem::exists(m_config + "/Brashwick/settings.xml"); }

    void TearDown() override
    {
        std::remove((m_config + "/Brashwick/settings.xml").c_str());
        rmdir((m_config + "/Brashwick").c_str());
        rmdir(m_config.c_str());
    }

    static std::string MakeConfigFolder()
    {
        char pattern[] = "/tmp/brashwick-main-XXXXXX";
        const char* made = mkdtemp(pattern);
        return made != nullptr ? made : "/nonexistent";
    }

    TestSupport::XvfbServer m_server{GetParam()};
    TestSupport::XClient m_client{m_server.GetDisplayName()};
    ChildProcess m_program;
    std::string m_config = MakeConfigFolder();
};

// Signals and start-up failures do not depend on the depth: one server depth is enough.
class ProgramAtDepth24 : public ProgramOnXvfb
{
};

TEST_P(ProgramOnXvfb, OneClearedWindowUntilTheDeleteMessage)
{
    StartProgram();
    const unsigned long window = m_client.WaitForWindow("Brashwick", WAIT_MS);
    ASSERT_NE(window, 0u) << m_program.GetOutput();
    int width = 0, height = 0, depth = 0;
    bool viewable = false;
    ASSERT_TRUE(m_client.GetGeometry(window, width, height, depth, viewable));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 480);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return ShowsWhite(m_client, window); }, WAIT_MS));
    EXPECT_EQ(m_client.FindWindows("Brashwick").size(), 1u);

    m_client.SendDeleteWindow(window);
    ASSERT_TRUE(m_program.WaitForExit(WAIT_MS));
    EXPECT_EQ(m_program.GetExitStatus(), 0);
    EXPECT_TRUE(SavedSettings()) << m_program.GetOutput();
    EXPECT_TRUE(m_client.FindWindows("Brashwick").empty());
    // The shipped program follows no progress of its own: that is the tests' build.
    EXPECT_EQ(m_program.GetOutput().find("active state"), std::string::npos) << m_program.GetOutput();
}

TEST_P(ProgramAtDepth24, TerminationSignalEndsThroughShutdown)
{
    StartProgram();
    ASSERT_NE(m_client.WaitForWindow("Brashwick", WAIT_MS), 0u) << m_program.GetOutput();
    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(WAIT_MS));
    EXPECT_EQ(m_program.GetExitStatus(), 0);
    EXPECT_TRUE(SavedSettings()) << m_program.GetOutput();
    EXPECT_TRUE(m_client.IsAutoRepeatOn());
}

TEST_P(ProgramAtDepth24, ServiceBusFailureExitsBeforeAnyWindow)
{
    StartProgram({{"TARV_OSSO_FAIL", "1"}});
    ASSERT_TRUE(m_program.WaitForExit(WAIT_MS));
    EXPECT_EQ(m_program.GetExitStatus(), 255);
    EXPECT_TRUE(m_client.FindWindows("Brashwick").empty());
    const std::string output = m_program.GetOutput();
    EXPECT_NE(output.find("cannot register with the service bus"), std::string::npos) << output;
    EXPECT_FALSE(SavedSettings());
}

TEST_P(ProgramAtDepth24, MissingGlDriverExitsWithAClearMessage)
{
    // The GL loader finds no driver here, so EGL cannot be initialised.
    StartProgram({{"LIBGL_DRIVERS_PATH", "/nonexistent"}});
    ASSERT_TRUE(m_program.WaitForExit(WAIT_MS));
    EXPECT_EQ(m_program.GetExitStatus(), 1);
    const std::string output = m_program.GetOutput();
    EXPECT_NE(output.find("OpenGL ES 2.0 through EGL is not available"), std::string::npos)
        << output;
    EXPECT_FALSE(SavedSettings());
    EXPECT_TRUE(m_client.FindWindows("Brashwick").empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, ProgramOnXvfb, ::testing::Values(16, 24));
INSTANTIATE_TEST_SUITE_P(Depth24, ProgramAtDepth24, ::testing::Values(24));

TEST(Program, WithoutAReachableDisplayExitsWithAClearMessage)
{
    for (const auto& [display, message] :
         {std::pair<std::string, std::string>{ChildProcess::UNSET, "cannot open the X display"},
          {":4095", "cannot open the X display \":4095\""}}) {
        ChildProcess program;
        ASSERT_TRUE(program.Start({PROGRAM}, {{"DISPLAY", display}}));
        ASSERT_TRUE(program.WaitForExit(WAIT_MS));
        EXPECT_EQ(program.GetExitStatus(), 1);
        EXPECT_NE(program.GetOutput().find(message), std::string::npos) << program.GetOutput();
    }
}

} // namespace
