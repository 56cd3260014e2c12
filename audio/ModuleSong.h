// Tarv::ModulePlayer::CModuleSong: one extended module (XM) in memory: header, order list,
// packed patterns, and instruments whose samples are decoded to signed 16-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Tarv
{
namespace ModulePlayer
{

// B^x in single precision, B being 2^(1/12) as a float; the power itself is taken in double.
float Pow(float x);

struct CModuleHeader
{
    char idText[17] = {};
    char moduleName[20] = {};
    std::uint8_t separatorByte = 0;
    char trackerName[20] = {};
    std::uint16_t version = 0;
    std::uint32_t headerSize = 0;
    // 1..256 after loading.
    std::uint16_t songLength = 0;
    std::uint16_t restartPosition = 0;
    // 1..32 after loading.
    std::uint16_t channelCount = 0;
    std::uint16_t patternCount = 0;
    std::uint16_t instrumentCount = 0;
    std::uint16_t flags = 0;
    std::uint16_t defaultTempo = 0;
    std::uint16_t defaultBpm = 0;
    // Pattern numbers; an entry not below patternCount plays as an empty pattern.
    std::uint8_t orderTable[256] = {};
};

struct CModulePattern
{
    std::uint32_t headerLength = 0;
    std::uint8_t packingType = 0;
    // 1..256 after loading.
    std::uint16_t rowCount = 0;
    // As the file declares it; data holds dataSize bytes, fewer when the file ended early.
    std::uint16_t packedSize = 0;
    std::uint16_t dataSize = 0;
    std::unique_ptr<std::uint8_t[]> data;
};

struct CModuleEnvelopePoint
{
    std::uint16_t x = 0;
    // 0..64 after loading.
    std::uint16_t y = 0;
};

struct CModuleSample
{
    // In samples after loading, with the loop inside the data (loopLength 0: no loop).
    std::uint32_t length = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    // 0..64 after loading.
    std::uint8_t volume = 0;
    std::int8_t finetune = 0;
    // Bits 0-1 loop type (0 none), bit 4 16-bit data in the file.
    std::uint8_t type = 0;
    std::uint8_t panning = 0;
    std::int8_t relativeNote = 0;
    std::uint8_t reserved = 0;
    char name[22] = {};
    std::unique_ptr<std::int16_t[]> data;
    // 4.12 fixed point: the pitch relative to the player's note table.
    std::int32_t pitchFactor = 0;

    bool IsLooping() const { return (type & 3) != 0 && loopLength != 0; }
};

struct CModuleInstrument
{
    std::uint32_t headerSize = 0;
    char name[22] = {};
    std::uint8_t type = 0;
    std::uint16_t sampleCount = 0;
    std::uint32_t sampleHeaderSize = 0;
    std::uint8_t sampleMap[96] = {};
    CModuleEnvelopePoint volumeEnvelope[12];
    CModuleEnvelopePoint panningEnvelope[12];
    // The point counts are at most 12 after loading.
    std::uint8_t volumePointCount = 0;
    std::uint8_t panningPointCount = 0;
    std::uint8_t volumeSustain = 0;
    std::uint8_t volumeLoopStart = 0;
    std::uint8_t volumeLoopEnd = 0;
    std::uint8_t panningSustain = 0;
    std::uint8_t panningLoopStart = 0;
    std::uint8_t panningLoopEnd = 0;
    std::uint8_t volumeType = 0;
    std::uint8_t panningType = 0;
    std::uint8_t vibratoType = 0;
    std::uint8_t vibratoSweep = 0;
    std::uint8_t vibratoDepth = 0;
    std::uint8_t vibratoRate = 0;
    std::uint16_t volumeFadeout = 0;
    std::uint8_t reserved[22] = {};
    std::unique_ptr<CModuleSample[]> samples;
};

class CModuleSong
{
public:
    // Limits a loaded song keeps to; a file beyond them is refused.
    static constexpr std::uint16_t MAX_CHANNELS = 32;
    static constexpr std::uint16_t MAX_PATTERNS = 256;
    static constexpr std::uint16_t MAX_ROWS = 256;
    static constexpr std::uint16_t MAX_INSTRUMENTS = 128;
    static constexpr std::uint16_t MAX_SAMPLES = 16;

    CModuleSong() = default;
    CModuleSong(const CModuleSong&) = delete;
    CModuleSong& operator=(const CModuleSong&) = delete;
    virtual ~CModuleSong() = default;

    // Frees the song, then reads the file through the virtual file system, whatever its size.
    // False when it cannot be opened or is refused by LoadFromMemory.
    bool Load(const char* path);
    // Frees the song, then reads size bytes. False (the song stays empty) for a file shorter than
    // the header before the order table, or one whose counts or header sizes lie beyond the
    // limits above; the identification text and version are not examined. A file cut short
    // keeps what it holds: pattern and sample data are clipped to the bytes present and missing
    // headers read as zero.
    bool LoadFromMemory(const std::uint8_t* data, std::size_t size);
    void Free();

    const CModuleHeader& GetHeader() const { return m_header; }
    int GetPatternCount() const { return static_cast<int>(m_patterns.size()); }
    int GetInstrumentCount() const { return static_cast<int>(m_instruments.size()); }
    // Null when index is out of range.
    const CModulePattern* GetPattern(int index) const;
    const CModuleInstrument* GetInstrument(int index) const;

    // 4.12 pitch factor of a sample with this relative note and finetune (1/128 semitone).
    static std::int32_t ComputePitchFactor(std::int8_t relativeNote, std::int8_t finetune);

private:
    CModuleHeader m_header;
    std::vector<CModulePattern> m_patterns;
    std::vector<CModuleInstrument> m_instruments;
};

} // namespace ModulePlayer
} // namespace Tarv
