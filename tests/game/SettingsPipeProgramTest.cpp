// The program (the tests' build, which reports its progress on standard output) on a private Xvfb
// with a named pipe where its settings file belongs: the start does not wait on the pipe, says why
// the file is not used, plays on the defaults, and closing the window ends the program with the
// pipe left as it was.
#include "tests/support/ChildProcess.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;
using TestSupport::CountOf;

constexpr int WAIT_MS = 20000;

} // namespace

TEST(SettingsPipeProgram, APipeAsTheSettingsFileNeitherHoldsTheStartNorTheClose)
{
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("brashwick-pipe-" + std::to_string(::getpid()));
    const std::filesystem::path pipe = root / "config" / "Brashwick" / "settings.xml";
    std::filesystem::create_directories(pipe.parent_path());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    TestSupport::XvfbServer server{24};
    TestSupport::XClient client{server.GetDisplayName()};
    ASSERT_TRUE(client.IsOpen());
    ChildProcess program;
    ASSERT_TRUE(program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting"},
                              {{"DISPLAY", server.GetDisplayName()},
                               {"XDG_CONFIG_HOME", (root / "config").string()},
                               {"PULSE_SERVER", "unix:" + root.string() + "/no-sound-server"},
                               {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()},
                               {"LSAN_OPTIONS", ChildProcess::ProgramLeakOptions()}},
                              "/"));
    const unsigned long window = client.WaitForWindow("Brashwick", WAIT_MS);
    const bool started = window != 0 && TestSupport::WaitUntil(
                                            [&] { return CountOf(program.GetOutput(), "active state menu") == 1; },
                                            WAIT_MS);
    if (!started) {
        // A program caught on the pipe goes on once a writer has come and gone.
        close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
        FAIL() << "the start waited on the pipe\n" << program.GetOutput();
    }
    EXPECT_NE(program.GetOutput().find("settings file " + pipe.string() +
                                       " cannot be read: it is a named pipe, not a regular file"),
              std::string::npos)
        << program.GetOutput();
    EXPECT_NE(program.GetOutput().find("settings loaded from config/defaults.xml"), std::string::npos)
        << program.GetOutput();
    client.SendDeleteWindow(window);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS)) << program.GetOutput();
    // The pipe is never saved over, and a settings file not saved gives status 1.
    EXPECT_EQ(program.GetExitStatus(), 1) << program.GetOutput();
    EXPECT_NE(program.GetOutput().find("settings not saved; shut down"), std::string::npos) << program.GetOutput();
    struct stat info;
    ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    const auto entries = std::distance(std::filesystem::directory_iterator(pipe.parent_path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1) << "nothing beside the pipe";
    std::filesystem::remove_all(root);
}
