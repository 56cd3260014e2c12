// Starts and stops the private X servers that window, drawing and input tests run on.
#include "tests/support/XvfbServer.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/Wait.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

// Leaks inside the GL driver and its loader are not ours to fix.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:swrast_dri.so\nleak:libEGL_mesa.so\nleak:libglapi.so\nleak:libGLESv2.so\n"
           "leak:libLLVM\n";
}

namespace TestSupport
{

namespace
{

constexpr int START_TIMEOUT_MS = 20000;

// Reads the display number Xvfb writes to the pipe ("N\n") once it accepts connections.
std::string ReadDisplayNumber(int fd)
{
    std::string text;
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, START_TIMEOUT_MS) <= 0)
            return "";
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got <= 0)
            return "";
        if (c == '\n')
            return text;
        if (c < '0' || c > '9' || text.size() > 6)
            return "";
        text.push_back(c);
    }
}

bool WaitForExit(pid_t pid, int timeoutMs)
{
    return WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) != 0; }, timeoutMs);
}

// Mesa unloads its software driver when EGL is terminated; the few bytes the driver never
// frees then show as leaks with no module to suppress them by. Keeping the driver loaded
// lets the leak checker name it.
void KeepGlDriverLoaded()
{
    static void* driver =
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
    (void)driver;
}

} // namespace

XvfbServer::XvfbServer(int depth, int width, int height) : m_depth(depth)
{
    KeepGlDriverLoaded();
    // llvmpipe renders on its own threads, which ThreadSanitizer cannot see into; one
    // rendering thread draws the same pixels. Programs the tests start inherit this.
    setenv("LP_NUM_THREADS", "0", 0);
    int fds[2] = {-1, -1};
    if (pipe(fds) != 0)
        return;
    // Only the write end may reach the server.
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);

    const std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    std::string fdText = std::to_string(fds[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd", fdText, "-screen", "0", screen,
                                     "-nolisten", "tcp", "-noreset"};
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The server ends with the test process, even when that one dies first, and never
        // holds the test's output open.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(fds[0]);
        execvp("Xvfb", pointers.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    m_pid = pid;
    const std::string number = ReadDisplayNumber(fds[0]);
    close(fds[0]);
    if (number.empty()) {
        kill(m_pid, SIGKILL);
        WaitForExit(m_pid, 5000);
        m_pid = -1;
        return;
    }
    m_displayName = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    if (!WaitForExit(m_pid, 5000)) {
        kill(m_pid, SIGKILL);
        WaitForExit(m_pid, 5000);
    }
}

int XvfbServer::RunTool(const std::vector<std::string>& argv, int timeoutMs) const
{
    if (m_pid <= 0)
        return -1;
    return ChildProcess::Run(argv, {{"DISPLAY", m_displayName}}, timeoutMs);
}

} // namespace TestSupport
