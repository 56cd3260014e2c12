// Tarv::XmWriter: writes small extended-module (XM) files from a plain description, so tests,
// fuzz seeds and benchmarks can build the modules they need byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Tarv
{

struct XmSampleDesc
{
    std::vector<std::int16_t> data;
    // Written as 16-bit deltas when set, else as 8-bit deltas of data >> 8.
    bool sixteenBit = true;
    // In samples; written in bytes as the format wants.
    std::uint32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    // 0 none, 1 forward, 2 ping-pong.
    std::uint8_t loopType = 0;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::int8_t relativeNote = 0;
    std::uint8_t panning = 128;
    std::string name;
};

struct XmInstrumentDesc
{
    std::string name;
    std::vector<XmSampleDesc> samples;
    // For notes 1 to 96, the sample to play.
    std::uint8_t sampleMap[96] = {};
    // (ticks, 0..64) points of the volume envelope, at most 12.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> volumeEnvelope;
    std::uint8_t volumeSustain = 0;
    // Bit 0 on, bit 1 sustain, bit 2 loop.
    std::uint8_t volumeType = 0;
    std::uint16_t volumeFadeout = 0;
};

struct XmCell
{
    std::uint8_t note = 0;
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
};

struct XmPatternDesc
{
    XmPatternDesc(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<std::size_t>(rowCount * channelCount))
    {
    }
    XmCell& At(int row, int channel) { return cells[static_cast<std::size_t>(row * channels + channel)]; }

    int rows;
    int channels;
    std::vector<XmCell> cells;
};

struct XmModuleDesc
{
    std::string name = "generated";
    std::uint16_t channelCount = 1;
    std::uint16_t defaultTempo = 6;
    std::uint16_t defaultBpm = 125;
    std::uint16_t restartPosition = 0;
    // Bit 0: linear frequency table.
    std::uint16_t flags = 1;
    std::vector<std::uint8_t> orders;
    std::vector<XmPatternDesc> patterns;
    std::vector<XmInstrumentDesc> instruments;
};

class XmWriter
{
public:
    // Byte offsets of the parts of the last file written, for tests that damage them.
    struct Layout
    {
        std::size_t firstPattern = 0;
        std::size_t firstInstrument = 0;
        // The first sample header of each instrument (its header start when it has none).
        std::vector<std::size_t> sampleHeaders;
        std::vector<std::size_t> sampleData;
    };

    // The file, version 0x0104, header size 276, instrument headers of 263 bytes (29 without
    // samples), sample headers of 40 bytes, cells packed the way FastTracker 2 packs them.
    std::vector<std::uint8_t> Write(const XmModuleDesc& module);
    const Layout& GetLayout() const { return m_layout; }

    // One cell packed: five plain bytes when every field is set, else a mask byte and the set fields.
    static void PackCell(const XmCell& cell, std::vector<std::uint8_t>& out);

private:
    void WriteInstrument(const XmInstrumentDesc& instrument, std::vector<std::uint8_t>& out);

    Layout m_layout;
};

// One cycle of a sine of period samples and the given peak.
std::vector<std::int16_t> MakeSineCycle(int period, double peak);
// A note name such as "C-4" as the format numbers it (1 = C-0, 49 = C-4, 96 = B-7); 0 when bad.
std::uint8_t XmNote(const char* name);

} // namespace Tarv
