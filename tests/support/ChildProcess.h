// A program started by a test: environment overrides, its output captured to a file, a bounded wait
// for its exit, and a kill by process id when the test ends first.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace TestSupport
{

class ChildProcess
{
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Kills the process (SIGKILL) when it is still running and reaps it.
    ~ChildProcess();

    // Starts argv[0] (searched on PATH) with the current environment, where each override
    // "NAME" -> "VALUE" replaces or adds a variable; the value UNSET removes it. Standard
    // output and error go to a temporary file readable through GetOutput. False when the
    // program could not be started.
    bool Start(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment = {},
               const std::string& workingDirectory = "");

    // Waits at most timeoutMs for the exit. True once the process has ended.
    bool WaitForExit(int timeoutMs);
    bool IsRunning();
    void Signal(int signalNumber) const;

    // Valid after WaitForExit returned true: the exit status, or -1 when killed by a signal.
    int GetExitStatus() const { return m_exitStatus; }
    int GetTermSignal() const { return m_termSignal; }
    pid_t GetPid() const { return m_pid; }
    std::string GetOutput() const;

    // Runs a program to its end (at most timeoutMs) and returns its exit status, or -1.
    static int Run(const std::vector<std::string>& argv,
                   const std::vector<std::pair<std::string, std::string>>& environment = {},
                   int timeoutMs = 20000);

    static constexpr const char* UNSET = "\x01unset";

    // ASAN_OPTIONS and LSAN_OPTIONS for a child that runs the real program: the caller's
    // options, and the project's leak suppressions (tools/dev/lsan.supp), which name only the
    // software GL driver, so a leak of the program's own still fails the run.
    static std::string ProgramSanitizerOptions();
    static std::string ProgramLeakOptions();

private:
    pid_t m_pid = -1;
    int m_exitStatus = -1;
    int m_termSignal = 0;
    std::string m_outputPath;
};

// How many times part occurs in text (a program's output, say), overlapping ones included.
inline std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace TestSupport
