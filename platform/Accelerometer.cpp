// Reads and maps accelerometer samples from the sysfs coordinate file.
#include "platform/Accelerometer.h"

#include <cstdio>

namespace Tarv
{

Accelerometer::ReadResult Accelerometer::ReadFile(const std::string& path, int values[3])
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return ReadResult::NO_FILE;
    const int converted = std::fscanf(file, "%d %d %d", &values[0], &values[1], &values[2]);
    std::fclose(file);
    return converted == 3 ? ReadResult::OK : ReadResult::BAD_DATA;
}

void Accelerometer::Map(int orientation, const int values[3], float out[3])
{
    const float a = static_cast<float>(values[0]) * 0.001f;
    const float b = static_cast<float>(values[1]) * 0.001f;
    const float c = static_cast<float>(values[2]) * 0.001f;
    if (orientation == 2) {
        out[0] = -a;
        out[1] = b;
    } else {
        out[0] = b;
        out[1] = a;
    }
    out[2] = c;
}

void Accelerometer::Enable(float intervalSeconds)
{
    m_interval = intervalSeconds;
    m_timer = intervalSeconds;
    m_on = true;
}

bool Accelerometer::Advance(float seconds, int orientation, float out[3])
{
    if (!m_on)
        return false;
    m_timer += seconds;
    if (!(m_timer > m_interval))
        return false;
    m_timer = 0.0f;
    int values[3] = {0, 0, 0};
    switch (ReadFile(m_path, values)) {
    case ReadResult::NO_FILE:
        m_on = false;
        return false;
    case ReadResult::BAD_DATA:
        return false;
    case ReadResult::OK:
        break;
    }
    Map(orientation, values, out);
    return true;
}

} // namespace Tarv
