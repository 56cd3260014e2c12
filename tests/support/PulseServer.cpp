// Starts and stops a private PulseAudio server. Running as root needs --system=false and no
// pid file; a private XDG_RUNTIME_DIR and HOME keep it away from any user's session.
#include "tests/support/PulseServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace TestSupport
{

namespace
{

// Waits for a child to end, killing it hard when it does not within about two seconds.
void EndProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

PulseServer::PulseServer()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brashwick-pulse-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_dir = pattern;
        mkdir((m_dir + "/run").c_str(), 0700);
        mkdir((m_dir + "/home").c_str(), 0700);
    }
}

PulseServer::~PulseServer()
{
    EndProcess(m_recorderPid);
    Stop();
    std::error_code error;
    if (!m_dir.empty())
        std::filesystem::remove_all(m_dir, error);
}

std::string PulseServer::GetAddress() const
{
    return "unix:" + m_dir + "/native";
}

void PulseServer::UseForThisProcess() const
{
    setenv("PULSE_SERVER", GetAddress().c_str(), 1);
}

std::vector<std::string> PulseServer::Environment() const
{
    return {"XDG_RUNTIME_DIR=" + m_dir + "/run", "HOME=" + m_dir + "/home", "PULSE_SERVER=" + GetAddress(),
            "PATH=/usr/bin:/bin"};
}

pid_t PulseServer::Spawn(const std::vector<std::string>& argv, const std::string& outputPath) const
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const std::vector<std::string> environment = Environment();
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string logPath = m_dir + "/" + std::filesystem::path(argv[0]).filename().string() + ".log";
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.empty() ? "/dev/null" : outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool PulseServer::WaitForSocket() const
{
    const std::string path = m_dir + "/native";
    for (int i = 0; i < 500; ++i) {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        close(fd);
        if (connected)
            return true;
        if (waitpid(m_serverPid, nullptr, WNOHANG) == m_serverPid)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool PulseServer::Start(std::uint32_t rate, std::uint32_t channels)
{
    if (m_dir.empty() || m_serverPid > 0)
        return false;
    m_rate = rate;
    m_channels = channels;
    const std::string sink = "module-null-sink sink_name=test rate=" + std::to_string(rate) +
                             " channels=" + std::to_string(channels);
    const std::string native = "module-native-protocol-unix socket=" + m_dir + "/native auth-anonymous=1";
    m_serverPid = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                         "--system=false", "--disallow-exit", "--disable-shm", "--log-target=stderr", "-L", sink, "-L",
                         native},
                        "");
    if (m_serverPid <= 0)
        return false;
    if (WaitForSocket())
        return true;
    Stop();
    return false;
}

void PulseServer::Stop()
{
    EndProcess(m_serverPid);
    m_serverPid = -1;
}

bool PulseServer::StartRecording()
{
    if (m_serverPid <= 0 || m_recorderPid > 0)
        return false;
    m_recorderPid = Spawn({"parec", "-d", "test.monitor", "--raw", "--format=s16le", "--rate=" + std::to_string(m_rate),
                           "--channels=" + std::to_string(m_channels), "--latency-msec=20"},
                          m_dir + "/record.raw");
    return m_recorderPid > 0;
}

std::vector<std::int16_t> PulseServer::StopRecording()
{
    EndProcess(m_recorderPid);
    m_recorderPid = -1;
    const std::string bytes = ReadText(m_dir + "/record.raw");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int PulseServer::RecordPeak(int milliseconds)
{
    if (!StartRecording())
        return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    int peak = 0;
    for (const std::int16_t sample : StopRecording())
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

std::string PulseServer::Pactl(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> argv = {"pactl"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const std::string output = m_dir + "/pactl.out";
    const pid_t pid = Spawn(argv, output);
    if (pid <= 0)
        return std::string();
    // pactl answers at once from a live server; one that hangs on a stuck server is ended
    // after ten seconds and reads as no answer.
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return ReadText(output);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EndProcess(pid);
    return std::string();
}

} // namespace TestSupport
