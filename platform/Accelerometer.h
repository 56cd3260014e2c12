// Tarv::Accelerometer: polls the handheld's accelerometer file at a fixed interval and maps
// its three values (thousandths of g) to the orientation of the screen.
#pragma once

#include <string>

namespace Tarv
{

class Accelerometer
{
public:
    static constexpr const char* DEFAULT_PATH = "/sys/class/i2c-adapter/i2c-3/3-001d/coord";

    enum class ReadResult { OK, NO_FILE, BAD_DATA };

    // Reads three integers ("%d %d %d") from a coordinate file. NO_FILE when it cannot be
    // opened; BAD_DATA when it does not start with three integers (the values are then unset).
    static ReadResult ReadFile(const std::string& path, int values[3]);

    // Maps raw values to g in screen axes: landscape (orientation 2) gives (-a, b, c), any
    // other orientation (b, a, c), each divided by 1000.
    static void Map(int orientation, const int values[3], float out[3]);

    // The file polled; tests point it at a file of their own.
    void SetPath(const std::string& path) { m_path = path; }

    // Polling on, the first read due once more than `interval` seconds have passed.
    void Enable(float intervalSeconds);
    void Disable() { m_on = false; }
    bool IsOn() const { return m_on; }

    // Adds the elapsed seconds; when the timer passes the interval it restarts from 0 (the
    // excess is dropped) and the file is read. True when `out` holds a new sample. A missing
    // file switches polling off; a damaged one only skips the sample.
    bool Advance(float seconds, int orientation, float out[3]);

private:
    std::string m_path = DEFAULT_PATH;
    bool m_on = false;
    float m_interval = 0.0f;
    float m_timer = 0.0f;
};

} // namespace Tarv
