// The program on a private Xvfb, measured from outside in one run: start-up to the first logo
// frame and to the menu, peak resident memory at the menu and in level 1 above a bare window that
// only clears and swaps and above the engine's screen drawing a few small images (both started on
// the same server first), and the main thread's CPU per frame. It runs the program tests' build,
// which differs from the shipped one only by the progress lines on standard output it follows.
#include "tests/support/ChildProcess.h"
#include "tests/support/Wait.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;
using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;
// How long the program settles at the menu and in play before its memory and CPU are read.
constexpr int SETTLE_MS = 1500;
constexpr int SAMPLE_MS = 3000;
// The test servers run the GL driver on one thread for the sanitizers; measured programs render
// on the driver's own threads, as a player's do.
const std::pair<std::string, std::string> PLAYER_THREADS{"LP_NUM_THREADS", ChildProcess::UNSET};

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A field of /proc/PID/status in kB ("VmHWM"), -1 when unreadable.
long StatusKb(pid_t pid, const std::string& field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// User plus system CPU of the process's main thread, in milliseconds.
double MainThreadCpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int field = 3; field < 14; ++field)
        fields >> skip;
    double user = 0.0, system = 0.0;
    fields >> user >> system;
    return (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The logo and splash each show for this long ("constants/splash_time_ms" of the defaults).
double SplashTimeMs()
{
    std::ifstream in(std::string(BRASHWICK_SOURCE_DIR) + "/content/platform/config/defaults.xml");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch match;
    if (std::regex_search(text, match, std::regex("splash_time_ms\" type=\"int\">([0-9]+)<")))
        return std::stod(match[1]);
    return 0.0;
}

class Session
{
public:
    explicit Session(benchmark::State& state) : m_state(state), m_client(m_server.GetDisplayName())
    {
        m_config = "/tmp/brashwick-bench-" + std::to_string(::getpid());
    }
    ~Session() { std::filesystem::remove_all(m_config); }

    bool Fail(const std::string& what)
    {
        m_state.SkipWithError(what.c_str());
        return false;
    }

    // A baseline window's peak resident memory in kB after it has drawn for the settle time;
    // 0 when it did not start.
    long MeasureWindow(const char* path)
    {
        ChildProcess window;
        if (!window.Start({std::string(path)}, {{"DISPLAY", Display()}, PLAYER_THREADS}) ||
            !TestSupport::WaitUntil([&] { return window.GetOutput().find("ready") != std::string::npos; },
                                    WAIT_MS))
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(SETTLE_MS));
        const long kb = StatusKb(window.GetPid(), "VmHWM");
        window.Signal(SIGTERM);
        window.WaitForExit(WAIT_MS);
        return kb;
    }

    bool Run()
    {
        if (!m_client.IsOpen())
            return Fail("no X server");
        m_bareKb = MeasureWindow(BARE_WINDOW_PATH);
        m_drawingKb = MeasureWindow(DRAWING_WINDOW_PATH);
        if (m_bareKb <= 0 || m_drawingKb <= 0)
            return Fail("no memory figure for a baseline window");
        const Clock::time_point start = Clock::now();
        if (!m_program.Start({std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting"},
                             {{"DISPLAY", Display()},
                              PLAYER_THREADS,
                              {"XDG_CONFIG_HOME", m_config},
                              {"PULSE_SERVER", "unix:" + m_config + "/no-sound-server"}},
                             "/"))
            return Fail("the program did not start");
        const unsigned long window = m_client.WaitForWindow("Brashwick", WAIT_MS);
        // The logo is drawn on white: its first frame is the first white corner.
        const bool logo = window != 0 && TestSupport::WaitUntil(
                                             [&] {
                                                 TestSupport::Rgb corner{};
                                                 return m_client.GetPixel(window, 10, 10, corner) &&
                                                        corner.red > 247 && corner.blue > 247;
                                             },
                                             WAIT_MS);
        if (!logo)
            return Fail("no logo frame");
        m_logoMs = MsSince(start);
        if (!Shows("active state menu"))
            return Fail("no menu");
        m_menuMs = MsSince(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(SETTLE_MS));
        m_menuKb = StatusKb(m_program.GetPid(), "VmHWM");
        m_menuCpuMs = SampleCpu();
        // No sound, Play, then level 1 (the level select takes taps once its strip has settled).
        Click(540, 362);
        Click(400, 222);
        if (!Shows("active state level select"))
            return Fail("no level select");
        for (int attempt = 0; attempt < 5 && !Shows("active state play", 4000); ++attempt)
            Click(120, 170);
        if (!Shows("active state play"))
            return Fail("level 1 did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(SETTLE_MS));
        m_playCpuMs = SampleCpu();
        m_playKb = StatusKb(m_program.GetPid(), "VmHWM");
        m_program.Signal(SIGTERM);
        if (!m_program.WaitForExit(WAIT_MS))
            return Fail("the program did not end");
        m_lifeMs = MsSince(start);
        std::smatch match;
        const std::string output = m_program.GetOutput();
        if (!std::regex_search(output, match, std::regex("after ([0-9]+) frames")))
            return Fail("no frame count");
        m_framesPerMs = std::stod(match[1]) / m_lifeMs;
        return true;
    }

    void Report()
    {
        const double splash = SplashTimeMs();
        auto& counters = m_state.counters;
        counters["logoFrameMs"] = m_logoMs;
        counters["menuMs"] = m_menuMs;
        counters["menuOwnWorkMs"] = m_menuMs - 2.0 * splash;
        counters["bareWindowMB"] = static_cast<double>(m_bareKb) / 1024.0;
        counters["menuAboveBareMB"] = static_cast<double>(m_menuKb - m_bareKb) / 1024.0;
        counters["playAboveBareMB"] = static_cast<double>(m_playKb - m_bareKb) / 1024.0;
        // What the driver takes to draw with the engine's programs, and play above that.
        counters["drawingAboveBareMB"] = static_cast<double>(m_drawingKb - m_bareKb) / 1024.0;
        counters["playAboveDrawingMB"] = static_cast<double>(m_playKb - m_drawingKb) / 1024.0;
        const double frames = m_framesPerMs * SAMPLE_MS;
        counters["fps"] = m_framesPerMs * 1000.0;
        counters["menuMainThreadMsPerFrame"] = m_menuCpuMs / frames;
        counters["playMainThreadMsPerFrame"] = m_playCpuMs / frames;
    }

private:
    std::string Display() const { return m_server.GetDisplayName(); }

    bool Shows(const std::string& line, int timeoutMs = WAIT_MS)
    {
        return TestSupport::WaitUntil([&] { return m_program.GetOutput().find(line) != std::string::npos; },
                                      timeoutMs);
    }

    void Click(int x, int y)
    {
        m_server.RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
    }

    double SampleCpu()
    {
        const double before = MainThreadCpuMs(m_program.GetPid());
        std::this_thread::sleep_for(std::chrono::milliseconds(SAMPLE_MS));
        return MainThreadCpuMs(m_program.GetPid()) - before;
    }

    benchmark::State& m_state;
    TestSupport::XvfbServer m_server{24};
    TestSupport::XClient m_client;
    ChildProcess m_program;
    std::string m_config;
    long m_bareKb = 0, m_drawingKb = 0, m_menuKb = 0, m_playKb = 0;
    double m_logoMs = 0.0, m_menuMs = 0.0, m_lifeMs = 0.0, m_framesPerMs = 0.0;
    double m_menuCpuMs = 0.0, m_playCpuMs = 0.0;
};

// One session per iteration; its time is the start to the menu. The frame rate comes from the
// program's own frame count over its life, which the paced loop keeps near the display's.
void BM_Program(benchmark::State& state)
{
    for (auto _ : state) {
        Session session(state);
        if (!session.Run())
            return;
        session.Report();
    }
}
BENCHMARK(BM_Program)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
