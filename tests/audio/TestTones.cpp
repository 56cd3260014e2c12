// Generated sounds and measurements shared by the audio tests.
#include "tests/audio/TestTones.h"

#include "tests/engine/vfs/TestFiles.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace AudioTest
{

namespace
{

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::int16_t> MakeTone(double frequency, std::uint32_t rate, std::uint32_t channels, std::size_t frames,
                                   double peak)
{
    const double pi = 3.14159265358979323846;
    std::vector<std::int16_t> samples(frames * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = peak * std::sin(2.0 * pi * frequency * static_cast<double>(i) / rate);
        for (std::uint32_t c = 0; c < channels; ++c)
            samples[i * channels + c] = static_cast<std::int16_t>(std::lround(value));
    }
    return samples;
}

WaveBytes::WaveBytes()
{
    m_bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
}

WaveBytes& WaveBytes::Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                             std::uint32_t fmtSize)
{
    std::vector<std::uint8_t> body;
    PutU16(body, tag);
    PutU16(body, channels);
    PutU32(body, rate);
    PutU32(body, rate * channels * (bits / 8));
    PutU16(body, static_cast<std::uint16_t>(channels * (bits / 8)));
    PutU16(body, bits);
    body.resize(fmtSize, 0);
    return Chunk("fmt ", fmtSize, body);
}

WaveBytes& WaveBytes::Chunk(const char* tag, std::uint32_t size, const std::vector<std::uint8_t>& body, bool pad)
{
    m_bytes.insert(m_bytes.end(), tag, tag + 4);
    PutU32(m_bytes, size);
    m_bytes.insert(m_bytes.end(), body.begin(), body.end());
    if (pad)
        m_bytes.push_back(0);
    return *this;
}

WaveBytes& WaveBytes::Data(const std::vector<std::int16_t>& samples, const char* tag)
{
    std::vector<std::uint8_t> body(samples.size() * 2);
    if (!body.empty())
        std::memcpy(body.data(), samples.data(), body.size());
    return Chunk(tag, static_cast<std::uint32_t>(body.size()), body);
}

std::vector<std::uint8_t> WaveBytes::Bytes() const
{
    std::vector<std::uint8_t> bytes = m_bytes;
    const std::uint32_t riffSize = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
    return bytes;
}

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, std::uint32_t channels,
              std::uint32_t rate)
{
    WaveBytes wave;
    wave.Format(1, static_cast<std::uint16_t>(channels), rate, 16).Data(samples);
    return TestFiles::WriteBytes(path, wave.Bytes());
}

int RunProgram(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool EncodeOgg(const std::string& wavPath, const std::string& oggPath)
{
    return RunProgram({"oggenc", "-Q", "-q", "6", "-o", oggPath, wavPath}) == 0;
}

double MeasureFrequency(const std::vector<std::int16_t>& samples, std::uint32_t rate)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double a = samples[i - 1];
            const double b = samples[i];
            const double at = static_cast<double>(i - 1) + (-a) / (b - a);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    if (crossings == 0)
        return 0.0;
    return crossings * static_cast<double>(rate) / (last - first);
}

double MeasureRms(const std::vector<std::int16_t>& samples)
{
    if (samples.empty())
        return 0.0;
    double sum = 0.0;
    for (std::int16_t s : samples)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

} // namespace AudioTest
