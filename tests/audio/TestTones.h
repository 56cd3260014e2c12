// Generated test sounds: sine tones, RIFF/WAVE bytes built chunk by chunk, Ogg Vorbis files
// encoded by oggenc in a temporary folder, and tone measurement (frequency and level).
#pragma once

#include "tests/engine/vfs/TestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace AudioTest
{

// A sine of the given frequency and peak, interleaved over channels (the same in each).
std::vector<std::int16_t> MakeTone(double frequency, std::uint32_t rate, std::uint32_t channels, std::size_t frames,
                                   double peak);

// RIFF/WAVE bytes assembled from chunks, so tests can build broken and unusual layouts.
class WaveBytes
{
public:
    // Starts with "RIFF", a size patched by Bytes(), and "WAVE".
    WaveBytes();
    // A "fmt " chunk of fmtSize bytes (16 or more; extra bytes are zero).
    WaveBytes& Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::uint32_t fmtSize = 16);
    // Any chunk; size is written as given (it may lie), body holds the bytes really stored,
    // followed by a pad byte when pad is set.
    WaveBytes& Chunk(const char* tag, std::uint32_t size, const std::vector<std::uint8_t>& body, bool pad = false);
    WaveBytes& Data(const std::vector<std::int16_t>& samples, const char* tag = "data");
    std::vector<std::uint8_t> Bytes() const;

private:
    std::vector<std::uint8_t> m_bytes;
};

// The shared file helpers under the names the audio tests first had.
using TempDir = TestFiles::TempDir;
inline bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) { return TestFiles::WriteBytes(path, bytes); }
inline std::vector<std::uint8_t> ReadFile(const std::string& path) { return TestFiles::ReadBytes(path); }

// Writes a 16-bit PCM WAV file.
bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, std::uint32_t channels,
              std::uint32_t rate);
// Encodes a WAV file to Ogg Vorbis with oggenc (quality 6); false when it fails.
bool EncodeOgg(const std::string& wavPath, const std::string& oggPath);
// Runs a program (no shell) and waits; returns its exit status, or -1.
int RunProgram(const std::vector<std::string>& argv);

// Frequency by linear-interpolated zero crossings over mono samples.
double MeasureFrequency(const std::vector<std::int16_t>& samples, std::uint32_t rate);
double MeasureRms(const std::vector<std::int16_t>& samples);

} // namespace AudioTest
