// Writes XM files in the published FastTracker 2 layout: header, packed patterns, then each
// instrument with its sample headers and its delta-coded sample data.
#include "tools/xm/XmWriter.h"

#include <cmath>
#include <cstring>

namespace Tarv
{

namespace
{

constexpr std::uint32_t HEADER_SIZE = 276;
constexpr std::uint32_t INSTRUMENT_HEADER_SIZE = 263;
constexpr std::uint32_t INSTRUMENT_HEADER_SHORT = 29;
constexpr std::uint32_t SAMPLE_HEADER_SIZE = 40;
constexpr double PI = 3.14159265358979323846;

void PutU8(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
}

void PutU16(std::vector<std::uint8_t>& out, unsigned value)
{
    PutU8(out, value & 0xFF);
    PutU8(out, (value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        PutU8(out, i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

std::uint32_t SampleBytes(const XmSampleDesc& sample, std::uint32_t samples)
{
    return sample.sixteenBit ? samples * 2 : samples;
}

void WriteSampleHeader(const XmSampleDesc& sample, std::vector<std::uint8_t>& out)
{
    PutU32(out, SampleBytes(sample, static_cast<std::uint32_t>(sample.data.size())));
    PutU32(out, SampleBytes(sample, sample.loopStart));
    PutU32(out, SampleBytes(sample, sample.loopLength));
    PutU8(out, sample.volume);
    PutU8(out, static_cast<std::uint8_t>(sample.finetune));
    PutU8(out, (sample.loopType & 3) | (sample.sixteenBit ? 0x10 : 0));
    PutU8(out, sample.panning);
    PutU8(out, static_cast<std::uint8_t>(sample.relativeNote));
    PutU8(out, 0);
    PutText(out, sample.name, 22);
}

void WriteSampleData(const XmSampleDesc& sample, std::vector<std::uint8_t>& out)
{
    int previous = 0;
    for (std::int16_t value : sample.data) {
        if (sample.sixteenBit) {
            PutU16(out, static_cast<unsigned>(value - previous) & 0xFFFF);
            previous = value;
        } else {
            const int byte = value >> 8;
            PutU8(out, static_cast<unsigned>(byte - previous) & 0xFF);
            previous = byte;
        }
    }
}

} // namespace

void XmWriter::PackCell(const XmCell& cell, std::vector<std::uint8_t>& out)
{
    const std::uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.param};
    std::uint8_t mask = 0x80;
    for (int i = 0; i < 5; ++i) {
        if (fields[i] != 0)
            mask |= static_cast<std::uint8_t>(1 << i);
    }
    if (mask == 0x9F && cell.note < 0x80) {
        out.insert(out.end(), fields, fields + 5);
        return;
    }
    PutU8(out, mask);
    for (int i = 0; i < 5; ++i) {
        if (fields[i] != 0)
            PutU8(out, fields[i]);
    }
}

void XmWriter::WriteInstrument(const XmInstrumentDesc& instrument, std::vector<std::uint8_t>& out)
{
    const std::size_t start = out.size();
    const bool hasSamples = !instrument.samples.empty();
    PutU32(out, hasSamples ? INSTRUMENT_HEADER_SIZE : INSTRUMENT_HEADER_SHORT);
    PutText(out, instrument.name, 22);
    PutU8(out, 0);
    PutU16(out, static_cast<unsigned>(instrument.samples.size()));
    if (hasSamples) {
        PutU32(out, SAMPLE_HEADER_SIZE);
        out.insert(out.end(), instrument.sampleMap, instrument.sampleMap + 96);
        for (std::size_t i = 0; i < 12; ++i) {
            const bool set = i < instrument.volumeEnvelope.size();
            PutU16(out, set ? instrument.volumeEnvelope[i].first : 0);
            PutU16(out, set ? instrument.volumeEnvelope[i].second : 0);
        }
        out.insert(out.end(), 48, 0);
        PutU8(out, static_cast<unsigned>(instrument.volumeEnvelope.size()));
        PutU8(out, 0);
        PutU8(out, instrument.volumeSustain);
        PutU8(out, 0);
        PutU8(out, 0);
        out.insert(out.end(), 3, 0);
        PutU8(out, instrument.volumeType);
        out.insert(out.end(), 5, 0);
        PutU16(out, instrument.volumeFadeout);
        out.insert(out.end(), 22, 0);
    }
    m_layout.sampleHeaders.push_back(hasSamples ? out.size() : start);
    for (const XmSampleDesc& sample : instrument.samples)
        WriteSampleHeader(sample, out);
    for (const XmSampleDesc& sample : instrument.samples) {
        m_layout.sampleData.push_back(out.size());
        WriteSampleData(sample, out);
    }
}

std::vector<std::uint8_t> XmWriter::Write(const XmModuleDesc& module)
{
    m_layout = Layout();
    std::vector<std::uint8_t> out;
    PutText(out, "Extended Module: ", 17);
    PutText(out, module.name, 20);
    PutU8(out, 0x1A);
    PutText(out, "tarvxm", 20);
    PutU16(out, 0x0104);
    PutU32(out, HEADER_SIZE);
    PutU16(out, static_cast<unsigned>(module.orders.size()));
    PutU16(out, module.restartPosition);
    PutU16(out, module.channelCount);
    PutU16(out, static_cast<unsigned>(module.patterns.size()));
    PutU16(out, static_cast<unsigned>(module.instruments.size()));
    PutU16(out, module.flags);
    PutU16(out, module.defaultTempo);
    PutU16(out, module.defaultBpm);
    for (std::size_t i = 0; i < 256; ++i)
        PutU8(out, i < module.orders.size() ? module.orders[i] : 0);

    m_layout.firstPattern = out.size();
    for (const XmPatternDesc& pattern : module.patterns) {
        std::vector<std::uint8_t> packed;
        for (const XmCell& cell : pattern.cells)
            PackCell(cell, packed);
        PutU32(out, 9);
        PutU8(out, 0);
        PutU16(out, static_cast<unsigned>(pattern.rows));
        PutU16(out, static_cast<unsigned>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    m_layout.firstInstrument = out.size();
    for (const XmInstrumentDesc& instrument : module.instruments)
        WriteInstrument(instrument, out);
    return out;
}

std::vector<std::int16_t> MakeSineCycle(int period, double peak)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(period > 0 ? period : 0));
    for (int i = 0; i < period; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(peak * std::sin(2.0 * PI * i / period)));
    return samples;
}

std::uint8_t XmNote(const char* name)
{
    static const char* const NAMES[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (name == nullptr || std::strlen(name) != 3 || name[2] < '0' || name[2] > '7')
        return 0;
    for (int i = 0; i < 12; ++i) {
        if (std::strncmp(name, NAMES[i], 2) == 0)
            return static_cast<std::uint8_t>((name[2] - '0') * 12 + i + 1);
    }
    return 0;
}

} // namespace Tarv
