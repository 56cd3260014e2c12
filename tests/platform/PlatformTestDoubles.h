// Test doubles for the platform tests: a console-and-mixer stand-in behind the engine hooks,
// and a call log that the recording applications write to.
#pragma once

#include "platform/AbstractApp.h"
#include "platform/EngineHooks.h"
#include "tests/support/Wait.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace PlatformTest
{

// Remembers calls as short lines such as "down 35" or "touch-down 10 20".
class CallLog
{
public:
    void Add(const std::string& line) { m_lines.push_back(line); }
    const std::vector<std::string>& Lines() const { return m_lines; }
    std::size_t Count(const std::string& line) const
    {
        std::size_t count = 0;
        for (const std::string& entry : m_lines)
            count += entry == line;
        return count;
    }
    // The lines that start with one of the prefixes, in order.
    std::vector<std::string> Only(const std::vector<std::string>& prefixes) const
    {
        std::vector<std::string> result;
        for (const std::string& entry : m_lines) {
            for (const std::string& prefix : prefixes) {
                if (entry.compare(0, prefix.size(), prefix) == 0) {
                    result.push_back(entry);
                    break;
                }
            }
        }
        return result;
    }
    void Clear() { m_lines.clear(); }

private:
    std::vector<std::string> m_lines;
};

inline std::string Point(const std::string& what, int x, int y)
{
    return what + " " + std::to_string(x) + " " + std::to_string(y);
}

// A console and a mixer that only log what reaches them.
class FakeHooks : public Tarv::EngineHooks
{
public:
    explicit FakeHooks(CallLog& log) : m_log(log) {}

    bool HasConsole() const override { return hasConsole; }
    bool IsConsoleVisible() const override { return visible; }
    void SetConsoleVisible(bool open) override { visible = open; }
    void ConsoleKeyDown(int key) override { m_log.Add("console-down " + std::to_string(key)); }
    void ConsoleKeyUp(int key) override { m_log.Add("console-up " + std::to_string(key)); }
    void ConsoleTouchDown(int x, int y) override { m_log.Add(Point("console-touch-down", x, y)); }
    void ConsoleTouchMove(int x, int y) override { m_log.Add(Point("console-touch-move", x, y)); }
    void ConsoleTouchUp() override { m_log.Add("console-touch-up"); }
    void ConsoleUpdate(float seconds) override
    {
        m_log.Add("console-update");
        lastConsoleSeconds = seconds;
    }
    void ConsoleRender(Tarv::Surface*) override { m_log.Add("console-render"); }
    bool HasMixer() const override { return hasMixer; }
    void SetMixerPaused(unsigned reason, bool paused) override
    {
        if (paused)
            mixerReasons |= reason;
        else
            mixerReasons &= ~reason;
    }

    bool hasConsole = true;
    bool visible = false;
    bool hasMixer = true;
    unsigned mixerReasons = 0;
    float lastConsoleSeconds = -1.0f;

private:
    CallLog& m_log;
};

// Logs every slot of the application interface that input and frames reach.
template <class Base>
class Recording : public Base
{
public:
    void Init() override { log.Add("init"); }
    void Shutdown() override { log.Add("shutdown"); }
    void OnKeyDown(int key) override { log.Add("down " + std::to_string(key)); }
    void OnKeyUp(int key) override { log.Add("up " + std::to_string(key)); }
    void OnFocusChange(bool hasFocus) override { log.Add(hasFocus ? "focus-in" : "focus-out"); }
    void Update(const float& seconds) override
    {
        log.Add("update");
        lastSeconds = seconds;
        ++updates;
    }
    void OnTextInput(const Tarv::WideString& text, const Tarv::WideString& committed) override
    {
        log.Add("text");
        lastText = text;
        lastCommitted = committed;
    }
    void OnTouchDown(int x, int y) override { log.Add(Point("touch-down", x, y)); }
    void OnTouchUp(int x, int y) override { log.Add(Point("touch-up", x, y)); }
    void OnTouchMove(int x, int y) override { log.Add(Point("touch-move", x, y)); }
    void OnMultitouchDown(const std::vector<Tarv::TouchPoint>& points) override
    {
        LogPoints("multi-down", points);
    }
    void OnMultitouchUp(const std::vector<Tarv::TouchPoint>& points) override
    {
        LogPoints("multi-up", points);
    }
    void OnMultitouchMove(const std::vector<Tarv::TouchPoint>& points) override
    {
        LogPoints("multi-move", points);
    }
    void OnAccelerometer(const float& x, const float& y, const float& z) override
    {
        log.Add("accelerometer");
        sample[0] = x;
        sample[1] = y;
        sample[2] = z;
    }

    CallLog log;
    int updates = 0;
    float lastSeconds = -1.0f;
    float sample[3] = {0, 0, 0};
    Tarv::WideString lastText;
    Tarv::WideString lastCommitted;

private:
    void LogPoints(const std::string& what, const std::vector<Tarv::TouchPoint>& points)
    {
        std::string line = what;
        for (const Tarv::TouchPoint& point : points)
            line += " " + std::to_string(point.x) + " " + std::to_string(point.y);
        log.Add(line);
    }
};

// A URL opener (TARV_URL_OPENER) that records its argument count and first argument as "N|arg";
// the folder and the variable go with it.
class RecordingOpener
{
public:
    RecordingOpener()
    {
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir / "opener") << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > " << Record()
                                        << ".tmp\nmv " << Record() << ".tmp " << Record() << "\n";
        chmod((m_dir / "opener").c_str(), 0700);
        setenv("TARV_URL_OPENER", (m_dir / "opener").c_str(), 1);
    }
    ~RecordingOpener()
    {
        unsetenv("TARV_URL_OPENER");
        std::filesystem::remove_all(m_dir);
    }
    std::string Record() const { return (m_dir / "called").string(); }
    // What the opener was called with, once it has run (at most timeoutMs); "" otherwise.
    std::string Called(int timeoutMs) const
    {
        if (!TestSupport::WaitUntil([&] { return access(Record().c_str(), R_OK) == 0; }, timeoutMs))
            return "";
        std::stringstream text;
        text << std::ifstream(Record()).rdbuf();
        return text.str();
    }

private:
    const std::filesystem::path m_dir =
        std::filesystem::temp_directory_path() / ("brashwick-opener-" + std::to_string(getpid()));
};

} // namespace PlatformTest
