// The XM loader. Every count, size and offset from the file is checked against the bytes held:
// structural damage refuses the file, a file cut short keeps what it holds, and no allocation
// is larger than the file allows.
#include "audio/ModuleSong.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Tarv
{
namespace ModulePlayer
{

namespace
{

// The fixed song header up to the order table.
constexpr std::size_t HEADER_BEFORE_ORDERS = 80;
constexpr std::uint32_t PATTERN_HEADER = 9;
constexpr std::uint32_t INSTRUMENT_HEADER_MIN = 29;
constexpr std::uint32_t INSTRUMENT_HEADER_MAX = 263;
constexpr std::uint32_t SAMPLE_HEADER = 40;
constexpr std::uint8_t TYPE_16_BIT = 0x10;

// A read cursor over the file held in memory. The position is 64-bit so sizes from the file
// cannot wrap it; bytes past the end read as zero.
class ByteReader
{
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    void Bytes(void* out, std::uint64_t count)
    {
        std::uint8_t* target = static_cast<std::uint8_t*>(out);
        const std::uint64_t present = std::min<std::uint64_t>(count, Left());
        if (present > 0)
            std::memcpy(target, m_data + m_position, static_cast<std::size_t>(present));
        std::memset(target + present, 0, static_cast<std::size_t>(count - present));
        Skip(count);
    }
    std::uint8_t U8()
    {
        std::uint8_t value = 0;
        Bytes(&value, 1);
        return value;
    }
    std::uint16_t U16()
    {
        std::uint8_t b[2];
        Bytes(b, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t U32()
    {
        std::uint8_t b[4];
        Bytes(b, 4);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    void Skip(std::uint64_t count) { m_position = std::min<std::uint64_t>(m_position + count, UINT64_MAX / 2); }
    void SeekTo(std::uint64_t position) { m_position = position; }
    std::uint64_t Tell() const { return m_position; }
    std::uint64_t Left() const { return m_position < m_size ? m_size - m_position : 0; }
    const std::uint8_t* Here() const { return m_data + m_position; }

private:
    const std::uint8_t* m_data;
    std::uint64_t m_size;
    std::uint64_t m_position = 0;
};

std::uint16_t GetU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(GetU16(p)) | (static_cast<std::uint32_t>(GetU16(p + 2)) << 16);
}

bool ReadHeader(ByteReader& reader, CModuleHeader& header)
{
    reader.Bytes(header.idText, sizeof(header.idText));
    reader.Bytes(header.moduleName, sizeof(header.moduleName));
    header.separatorByte = reader.U8();
    reader.Bytes(header.trackerName, sizeof(header.trackerName));
    header.version = reader.U16();
    header.headerSize = reader.U32();
    header.songLength = reader.U16();
    header.restartPosition = reader.U16();
    header.channelCount = reader.U16();
    header.patternCount = reader.U16();
    header.instrumentCount = reader.U16();
    header.flags = reader.U16();
    header.defaultTempo = reader.U16();
    header.defaultBpm = reader.U16();
    // The order table is always 256 bytes and the patterns follow it: the header size field is
    // kept but never used to place them.
    reader.Bytes(header.orderTable, sizeof(header.orderTable));

    // The identification text, separator byte and version are kept as read, never judged: only
    // the counts that size what follows can refuse a file.
    if (header.channelCount < 1 || header.channelCount > CModuleSong::MAX_CHANNELS ||
        header.patternCount > CModuleSong::MAX_PATTERNS || header.instrumentCount > CModuleSong::MAX_INSTRUMENTS)
        return false;
    header.songLength = std::min<std::uint16_t>(std::max<std::uint16_t>(header.songLength, 1), 256);
    return true;
}

bool ReadPattern(ByteReader& reader, CModulePattern& pattern)
{
    const std::uint64_t start = reader.Tell();
    pattern.headerLength = reader.U32();
    pattern.packingType = reader.U8();
    pattern.rowCount = reader.U16();
    pattern.packedSize = reader.U16();
    if (pattern.headerLength < PATTERN_HEADER || pattern.rowCount < 1 || pattern.rowCount > CModuleSong::MAX_ROWS)
        return false;
    reader.SeekTo(start + pattern.headerLength);
    pattern.dataSize = static_cast<std::uint16_t>(std::min<std::uint64_t>(pattern.packedSize, reader.Left()));
    if (pattern.dataSize > 0) {
        pattern.data.reset(new std::uint8_t[pattern.dataSize]);
        std::memcpy(pattern.data.get(), reader.Here(), pattern.dataSize);
    }
    reader.Skip(pattern.packedSize);
    return true;
}

// The instrument fields after the first 29 bytes, each read only when the header holds it.
void ReadInstrumentFields(const std::uint8_t* header, std::uint32_t size, CModuleInstrument& instrument)
{
    if (size > 29)
        instrument.sampleHeaderSize = GetU32(header + 29);
    if (size > 33)
        std::memcpy(instrument.sampleMap, header + 33, 96);
    for (int i = 0; i < 12; ++i) {
        if (size > 129)
            instrument.volumeEnvelope[i] = {GetU16(header + 129 + 4 * i), GetU16(header + 131 + 4 * i)};
        if (size > 177)
            instrument.panningEnvelope[i] = {GetU16(header + 177 + 4 * i), GetU16(header + 179 + 4 * i)};
    }
    std::uint8_t* const bytes[14] = {&instrument.volumePointCount, &instrument.panningPointCount,
                                     &instrument.volumeSustain,    &instrument.volumeLoopStart,
                                     &instrument.volumeLoopEnd,    &instrument.panningSustain,
                                     &instrument.panningLoopStart, &instrument.panningLoopEnd,
                                     &instrument.volumeType,       &instrument.panningType,
                                     &instrument.vibratoType,      &instrument.vibratoSweep,
                                     &instrument.vibratoDepth,     &instrument.vibratoRate};
    for (std::uint32_t i = 0; i < 14; ++i) {
        if (size > 225 + i)
            *bytes[i] = header[225 + i];
    }
    if (size > 239)
        instrument.volumeFadeout = GetU16(header + 239);
    if (size > 241)
        std::memcpy(instrument.reserved, header + 241, 22);

    // The player interpolates between these points and scales by these values.
    instrument.volumePointCount = std::min<std::uint8_t>(instrument.volumePointCount, 12);
    instrument.panningPointCount = std::min<std::uint8_t>(instrument.panningPointCount, 12);
    for (CModuleEnvelopePoint& point : instrument.volumeEnvelope)
        point.y = std::min<std::uint16_t>(point.y, 64);
}

void ReadSampleHeader(ByteReader& reader, std::uint32_t headerSize, CModuleSample& sample)
{
    std::uint8_t header[SAMPLE_HEADER] = {};
    reader.Bytes(header, std::min(headerSize, SAMPLE_HEADER));
    reader.Skip(headerSize - std::min(headerSize, SAMPLE_HEADER));
    sample.length = GetU32(header);
    sample.loopStart = GetU32(header + 4);
    sample.loopLength = GetU32(header + 8);
    sample.volume = std::min<std::uint8_t>(header[12], 64);
    sample.finetune = static_cast<std::int8_t>(header[13]);
    sample.type = header[14];
    sample.panning = header[15];
    sample.relativeNote = static_cast<std::int8_t>(header[16]);
    sample.reserved = header[17];
    std::memcpy(sample.name, header + 18, sizeof(sample.name));
}

// Decodes the delta-coded data that follows the headers. A sample that runs past the end of
// the file keeps the samples present; its loop is then fitted inside what is kept.
void ReadSampleData(ByteReader& reader, CModuleSample& sample)
{
    sample.pitchFactor = CModuleSong::ComputePitchFactor(sample.relativeNote, sample.finetune);
    const std::uint32_t declared = sample.length;
    const std::uint64_t present = std::min<std::uint64_t>(declared, reader.Left());
    const std::uint8_t* bytes = reader.Here();
    reader.Skip(declared);
    if (sample.type & TYPE_16_BIT) {
        sample.length = static_cast<std::uint32_t>(present / 2);
        sample.loopStart /= 2;
        sample.loopLength /= 2;
    } else {
        sample.length = static_cast<std::uint32_t>(present);
    }
    if (sample.loopStart >= sample.length || (sample.type & 3) == 0)
        sample.loopLength = 0;
    else
        sample.loopLength = std::min(sample.loopLength, sample.length - sample.loopStart);
    if (sample.length == 0)
        return;

    sample.data.reset(new std::int16_t[sample.length]);
    std::uint16_t value = 0;
    for (std::uint32_t i = 0; i < sample.length; ++i) {
        if (sample.type & TYPE_16_BIT)
            value = static_cast<std::uint16_t>(value + GetU16(bytes + 2 * i));
        else
            value = static_cast<std::uint16_t>(value + bytes[i] * 256);
        sample.data[i] = static_cast<std::int16_t>(value);
    }
}

bool ReadInstrument(ByteReader& reader, CModuleInstrument& instrument)
{
    const std::uint64_t start = reader.Tell();
    std::uint8_t header[INSTRUMENT_HEADER_MAX] = {};
    reader.Bytes(header, INSTRUMENT_HEADER_MIN);
    instrument.headerSize = GetU32(header);
    std::memcpy(instrument.name, header + 4, sizeof(instrument.name));
    instrument.type = header[26];
    instrument.sampleCount = GetU16(header + 27);
    if (instrument.sampleCount > CModuleSong::MAX_SAMPLES)
        return false;
    const std::uint32_t size = std::min(instrument.headerSize, INSTRUMENT_HEADER_MAX);
    if (size > INSTRUMENT_HEADER_MIN)
        reader.Bytes(header + INSTRUMENT_HEADER_MIN, size - INSTRUMENT_HEADER_MIN);
    ReadInstrumentFields(header, size, instrument);
    // Bytes a longer header declares are skipped; the samples follow the whole header.
    reader.SeekTo(start + std::max(instrument.headerSize, INSTRUMENT_HEADER_MIN));
    if (instrument.sampleCount == 0)
        return true;

    instrument.samples.reset(new CModuleSample[instrument.sampleCount]);
    for (int i = 0; i < instrument.sampleCount; ++i)
        ReadSampleHeader(reader, instrument.sampleHeaderSize, instrument.samples[i]);
    for (int i = 0; i < instrument.sampleCount; ++i)
        ReadSampleData(reader, instrument.samples[i]);
    return true;
}

} // namespace

float Pow(float x)
{
    const float base = 1.0594631433486938f;
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(x)));
}

std::int32_t CModuleSong::ComputePitchFactor(std::int8_t relativeNote, std::int8_t finetune)
{
    const float exponent = static_cast<float>(relativeNote) + static_cast<float>(finetune) * 0.0078125f;
    return static_cast<std::int32_t>(Pow(exponent) * 4096.0f);
}

bool CModuleSong::Load(const char* path)
{
    Free();
    if (path == nullptr)
        return false;
    SmartPtr<File> file(VfsOpenRead(path));
    if (!file || !file->IsOpen())
        return false;
    const int size = file->GetSize();
    if (size <= 0)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    int done = 0;
    while (done < size) {
        const int n = file->Read(bytes.data() + done, size - done);
        if (n <= 0)
            break;
        done += n;
    }
    return LoadFromMemory(bytes.data(), static_cast<std::size_t>(done));
}

bool CModuleSong::LoadFromMemory(const std::uint8_t* data, std::size_t size)
{
    Free();
    if (data == nullptr || size < HEADER_BEFORE_ORDERS)
        return false;
    ByteReader reader(data, size);
    if (!ReadHeader(reader, m_header)) {
        Free();
        return false;
    }
    m_patterns.resize(m_header.patternCount);
    for (CModulePattern& pattern : m_patterns) {
        if (!ReadPattern(reader, pattern)) {
            Free();
            return false;
        }
    }
    m_instruments.resize(m_header.instrumentCount);
    for (CModuleInstrument& instrument : m_instruments) {
        if (!ReadInstrument(reader, instrument)) {
            Free();
            return false;
        }
    }
    return true;
}

void CModuleSong::Free()
{
    m_header = CModuleHeader();
    m_patterns.clear();
    m_instruments.clear();
}

const CModulePattern* CModuleSong::GetPattern(int index) const
{
    return index >= 0 && index < GetPatternCount() ? &m_patterns[static_cast<std::size_t>(index)] : nullptr;
}

const CModuleInstrument* CModuleSong::GetInstrument(int index) const
{
    return index >= 0 && index < GetInstrumentCount() ? &m_instruments[static_cast<std::size_t>(index)] : nullptr;
}

} // namespace ModulePlayer
} // namespace Tarv
