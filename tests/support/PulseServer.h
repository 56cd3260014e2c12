// A private PulseAudio server for tests: a null sink named "test" on a socket in a temporary
// folder of its own, with helpers to record the sink's monitor and to ask the server with
// pactl. The server and the recorder are stopped by their process ids.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport
{

class PulseServer
{
public:
    PulseServer();
    // Stops the recorder and the server and removes the folder.
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server with a null sink of that format and waits until its socket answers.
    // False when pulseaudio cannot be started.
    bool Start(std::uint32_t rate, std::uint32_t channels);
    // Ends the server (SIGTERM, then SIGKILL) and waits for it.
    void Stop();
    bool IsRunning() const { return m_serverPid > 0; }
    pid_t GetPid() const { return m_serverPid; }

    // "unix:<socket>", for PULSE_SERVER.
    std::string GetAddress() const;
    // Points this process's clients (PULSE_SERVER) at the server.
    void UseForThisProcess() const;

    // Records the sink's monitor as raw signed 16-bit samples in the sink's format.
    bool StartRecording();
    // Stops the recorder and returns what it captured.
    std::vector<std::int16_t> StopRecording();
    // The loudest sample the monitor carries over the next milliseconds; -1 when it can't record.
    int RecordPeak(int milliseconds = 300);

    // Runs pactl with the arguments against this server; returns its standard output.
    std::string Pactl(const std::vector<std::string>& arguments) const;

private:
    pid_t Spawn(const std::vector<std::string>& argv, const std::string& outputPath) const;
    std::vector<std::string> Environment() const;
    bool WaitForSocket() const;

    std::string m_dir;
    pid_t m_serverPid = -1;
    pid_t m_recorderPid = -1;
    std::uint32_t m_rate = 0;
    std::uint32_t m_channels = 0;
};

} // namespace TestSupport
