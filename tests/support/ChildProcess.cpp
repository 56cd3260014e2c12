// Starts, waits for and stops the external programs that tests drive (Xvfb, xdotool, the game).
#include "tests/support/ChildProcess.h"

#include "tests/support/Wait.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace TestSupport
{

namespace
{

std::vector<std::string> BuildEnvironment(
    const std::vector<std::pair<std::string, std::string>>& overrides)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& item : overrides)
            replaced = replaced || item.first == name;
        if (!replaced)
            result.push_back(text);
    }
    for (const auto& item : overrides) {
        if (item.second != ChildProcess::UNSET)
            result.push_back(item.first + "=" + item.second);
    }
    return result;
}

std::vector<char*> ToPointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && IsRunning()) {
        kill(m_pid, SIGKILL);
        WaitForExit(5000);
    }
    if (!m_outputPath.empty())
        std::remove(m_outputPath.c_str());
}

bool ChildProcess::Start(const std::vector<std::string>& argv,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         const std::string& workingDirectory)
{
    if (argv.empty() || m_pid > 0)
        return false;
    char pathTemplate[] = "/tmp/brashwick-child-XXXXXX";
    const int outputFd = mkstemp(pathTemplate);
    if (outputFd < 0)
        return false;
    m_outputPath = pathTemplate;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outputFd);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    std::vector<std::string> args = argv;
    std::vector<std::string> env = BuildEnvironment(environment);
    std::vector<char*> argPointers = ToPointers(args);
    std::vector<char*> envPointers = ToPointers(env);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argPointers.data(),
                                    envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outputFd);
    if (result != 0)
        return false;
    m_pid = pid;
    return true;
}

bool ChildProcess::WaitForExit(int timeoutMs)
{
    return m_pid <= 0 || WaitUntil(
                             [this] {
                                 int status = 0;
                                 const pid_t done = waitpid(m_pid, &status, WNOHANG);
                                 if (done == 0)
                                     return false;
                                 if (done == m_pid) {
                                     m_exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                                     m_termSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
                                 }
                                 m_pid = -1;
                                 return true;
                             },
                             timeoutMs);
}

bool ChildProcess::IsRunning()
{
    return m_pid > 0 && !WaitForExit(0);
}

void ChildProcess::Signal(int signalNumber) const
{
    if (m_pid > 0)
        kill(m_pid, signalNumber);
}

std::string ChildProcess::ProgramSanitizerOptions()
{
    const char* options = std::getenv("ASAN_OPTIONS");
    return options != nullptr ? options : "";
}

std::string ChildProcess::ProgramLeakOptions()
{
    const char* options = std::getenv("LSAN_OPTIONS");
    std::string result = options != nullptr ? options : "";
    if (!result.empty())
        result += ":";
    return result + "suppressions=" BRASHWICK_SOURCE_DIR "/tools/dev/lsan.supp";
}

std::string ChildProcess::GetOutput() const
{
    std::ifstream file(m_outputPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int ChildProcess::Run(const std::vector<std::string>& argv,
                      const std::vector<std::pair<std::string, std::string>>& environment,
                      int timeoutMs)
{
    ChildProcess child;
    if (!child.Start(argv, environment))
        return -1;
    if (!child.WaitForExit(timeoutMs))
        return -1;
    return child.GetExitStatus();
}

} // namespace TestSupport
