// The XM replayer: a tick sequencer over the packed rows and an integer mixer with linear
// interpolation. Every read of song data is bounded. Speed and BPM are the file's own; only a
// tick that would last no sample is given one, so the audio thread always makes progress.
#include "audio/ModulePlayer.h"

#include <algorithm>
#include <cstdlib>

namespace Tarv
{
namespace ModulePlayer
{

namespace
{

constexpr std::int32_t MAX_VOLUME = 65535;
constexpr std::int32_t MAX_ENVELOPE = 64;
constexpr int PACKED = 0x80;

std::int32_t ClampVolume(std::int64_t volume)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(volume, 0), MAX_VOLUME));
}

std::int64_t ClampStep(std::int64_t step)
{
    return std::min(std::max<std::int64_t>(step, 0), ModulePlayer::MAX_STEP);
}

} // namespace

ModulePlayer::ModulePlayer()
{
    for (int n = 0; n < STEP_TABLE_SIZE; ++n)
        m_stepTable[n] = static_cast<std::int32_t>(Pow(static_cast<float>(n) - 66.15f) * 4096.0f);
}

int ModulePlayer::ComputeSamplesPerTick(int bpm)
{
    const int t = bpm * 50 / 125;
    return t > 0 ? std::max(RATE / t, 1) : RATE;
}

std::int32_t ModulePlayer::ApplyVolumeColumn(std::int32_t volume, std::uint8_t v)
{
    std::int64_t result = volume;
    if (v >= 0x10 && v <= 0x50)
        result = (v - 0x10) * 1024;
    else if (v >= 0x60 && v <= 0x6F)
        result -= (v - 0x60) * 1024;
    else if (v >= 0x70 && v <= 0x7F)
        result += (v - 0x70) * 1024;
    else if (v >= 0x80 && v <= 0x8F)
        result -= (v - 0x80) * 4;
    else if (v >= 0x90 && v <= 0x9F)
        result += (v - 0x90) * 4;
    return ClampVolume(result);
}

void ModulePlayer::SetSong(const CModuleSong* song)
{
    m_channels.clear();
    m_song = song;
    if (song == nullptr)
        return;
    const CModuleHeader& header = song->GetHeader();
    m_tickCounter = 0;
    m_order = 0;
    m_row = 0;
    m_samplesLeft = 0;
    m_dataOffset = 0;
    m_channels.assign(header.channelCount, CModuleChannel());
    m_bpm = header.defaultBpm;
    m_speed = header.defaultTempo;
    SetTempo();
}

void ModulePlayer::SetTempo()
{
    m_samplesPerTick = ComputeSamplesPerTick(m_bpm);
    m_ticksPerRow = m_speed;
}

void ModulePlayer::SetPlayRange(int first, int last)
{
    if (m_song == nullptr)
        return;
    const int length = m_song->GetHeader().songLength;
    m_firstOrder = first < 0 || first >= length ? 0 : first;
    m_lastOrder = last < 0 || last >= length ? length - 1 : last;
    m_lastOrder = std::max(m_lastOrder, m_firstOrder);
    m_order = m_firstOrder;
    m_row = 0;
    m_dataOffset = 0;
}

bool ModulePlayer::Render(std::int16_t* out, int count)
{
    if (m_song == nullptr || m_firstOrder < 0 || out == nullptr || count < 0)
        return false;
    if (m_accumulator.size() < static_cast<std::size_t>(count))
        m_accumulator.resize(static_cast<std::size_t>(count));
    std::int32_t* acc = m_accumulator.data();
    std::fill(acc, acc + count, 0);
    int done = 0;
    while (done < count) {
        if (m_samplesLeft < 1) {
            ProcessTick();
            m_samplesLeft = m_samplesPerTick;
        }
        const int chunk = std::min(count - done, m_samplesLeft);
        for (int c = 0; c < GetChannelCount(); ++c)
            MixChannel(c, acc + done, chunk);
        done += chunk;
        m_samplesLeft -= chunk;
    }
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<std::int16_t>(std::min(std::max(acc[i], -32768), 32767));
    return true;
}

void ModulePlayer::MixChannel(int channel, std::int32_t* acc, int count)
{
    CModuleChannel& ch = m_channels[static_cast<std::size_t>(channel)];
    const CModuleSample* sample = ch.sample;
    if (sample == nullptr || count < 1)
        return;
    // Both factors are at most 65535 and 64, so the gain lies in 0..65534 and every product
    // below fits in 32 bits.
    const std::int32_t gain =
        static_cast<std::int32_t>((static_cast<std::int64_t>(ch.fadeVolume) * ((ch.volume * ch.envelopeVolume) >> 6)) >> 16);
    const std::int16_t* data = sample->data.get();
    const std::int64_t length = sample->length;
    const bool looping = sample->IsLooping();
    const std::int64_t loopLength = static_cast<std::int64_t>(sample->loopLength) << 12;
    const std::int64_t loopEnd = (static_cast<std::int64_t>(sample->loopStart) << 12) + loopLength;
    std::int64_t position = ch.position;
    const std::int64_t step = ch.step;
    for (int k = 0; k < count; ++k) {
        position += step;
        if (looping && position >= loopEnd)
            position = loopEnd - loopLength + (position - loopEnd) % loopLength;
        const std::int64_t i = position >> 12;
        if (i >= length || i < 0) {
            ch.sample = nullptr;
            break;
        }
        const std::int32_t f = static_cast<std::int32_t>(position & 4095);
        std::int32_t s = data[i];
        if (i < length - 1)
            s = ((4096 - f) * s + f * data[i + 1]) >> 12;
        acc[k] += (gain * ((gain * s) >> 16)) >> 16;
    }
    ch.position = position;
}

void ModulePlayer::TriggerNote(int channel, std::uint8_t instrument, std::uint8_t note, bool restart)
{
    CModuleChannel& ch = m_channels[static_cast<std::size_t>(channel)];
    ch.note = note;
    if (instrument != 255) {
        ch.instrumentIndex = instrument;
        // An instrument number past the count leaves the channel without one: the note is mute.
        ch.instrument = m_song->GetInstrument(instrument);
    }
    if (ch.instrument == nullptr || ch.instrument->sampleCount == 0 || note < 1)
        return;
    const int k = std::min<int>(note, STEP_TABLE_SIZE - 1);
    const std::uint8_t s = ch.instrument->sampleMap[k - 1];
    if (s >= ch.instrument->sampleCount)
        return;
    ch.sample = &ch.instrument->samples[s];
    const std::int64_t step = ClampStep((static_cast<std::int64_t>(ch.sample->pitchFactor) * m_stepTable[k]) >> 12);
    ch.envelopePoint = 0;
    ch.keyOff = 0;
    ch.envelopeTick = 0;
    ch.targetStep = step;
    ch.fadeVolume = MAX_VOLUME;
    ch.envelopeVolume = MAX_ENVELOPE;
    if (restart) {
        ch.position = 0;
        ch.step = step;
    }
}

int ModulePlayer::ReadPatternByte(const CModulePattern* pattern)
{
    if (pattern == nullptr || m_dataOffset >= pattern->dataSize)
        return -1;
    return pattern->data[static_cast<std::size_t>(m_dataOffset++)];
}

// A field whose byte lies past the pattern's data is absent, so data that ends mid-row reads
// as empty cells.
ModulePlayer::Cell ModulePlayer::ReadCell(const CModulePattern* pattern)
{
    Cell cell;
    const int first = ReadPatternByte(pattern);
    if (first < 0)
        return cell;
    int* const fields[5] = {&cell.note, &cell.instrument, &cell.volume, &cell.effect, &cell.param};
    if ((first & PACKED) == 0) {
        cell.note = first;
        for (int i = 1; i < 5; ++i)
            *fields[i] = ReadPatternByte(pattern);
        return cell;
    }
    for (int i = 0; i < 5; ++i) {
        if (first & (1 << i))
            *fields[i] = ReadPatternByte(pattern);
    }
    return cell;
}

const CModulePattern* ModulePlayer::GetCurrentPattern(int& rowCount) const
{
    const int order = std::min(std::max(m_order, 0), 255);
    const CModulePattern* pattern = m_song->GetPattern(m_song->GetHeader().orderTable[order]);
    rowCount = pattern != nullptr ? pattern->rowCount : EMPTY_PATTERN_ROWS;
    return pattern;
}

void ModulePlayer::NextOrder()
{
    m_order += 1;
    m_row = 0;
    m_dataOffset = 0;
    if (m_order > m_lastOrder)
        m_order = m_firstOrder;
}

void ModulePlayer::ProcessRow()
{
    int rowCount = 0;
    const CModulePattern* pattern = GetCurrentPattern(rowCount);
    for (CModuleChannel& ch : m_channels) {
        const Cell cell = ReadCell(pattern);
        const bool hasInstrument = cell.instrument > 0;
        if (cell.instrument >= 0)
            ch.instrumentIndex = static_cast<std::uint8_t>(cell.instrument - 1);
        if (cell.volume > 0)
            ch.volume = ApplyVolumeColumn(ch.volume, static_cast<std::uint8_t>(cell.volume));
        ch.effect = static_cast<std::uint8_t>(std::max(cell.effect, 0));
        if (cell.param > 0)
            ch.effectParam = static_cast<std::uint8_t>(cell.param);
        const int param = std::max(cell.param, 0);
        if (ch.effect == 0x0F && param != 0) {
            if (param < 32)
                m_speed = param;
            else
                m_bpm = param;
            SetTempo();
        }
        if (cell.note == NOTE_KEY_OFF) {
            ch.keyOff = 1;
        } else if (cell.note > 0) {
            const int channel = static_cast<int>(&ch - m_channels.data());
            TriggerNote(channel, hasInstrument ? static_cast<std::uint8_t>(cell.instrument - 1) : 255,
                        static_cast<std::uint8_t>(cell.note), ch.effect != 0x03);
        }
        if (hasInstrument && ch.sample != nullptr && (cell.volume < 0 || cell.volume == 0xFF))
            ch.volume = ch.sample->volume * 1024;
        if (ch.effect == 0x0D) {
            NextOrder();
            return;
        }
        if (ch.effect == 0x14)
            ch.keyOff = 1;
        else if (ch.effect == 0x0C)
            ch.volume = param * 1024;
    }
    m_row += 1;
    if (m_row >= rowCount)
        NextOrder();
}

void ModulePlayer::RunEnvelope(CModuleChannel& ch)
{
    const CModuleInstrument& instrument = *ch.instrument;
    const int count = instrument.volumePointCount;
    const CModuleEnvelopePoint* points = instrument.volumeEnvelope;
    int p = std::min<int>(ch.envelopePoint, count - 1);
    if (p + 1 >= count) {
        ch.envelopeVolume = points[p].y;
        ch.sample = nullptr;
        return;
    }
    const int dx = points[p + 1].x != points[p].x ? points[p + 1].x - points[p].x : 1;
    const std::int64_t volume =
        points[p].y + static_cast<std::int64_t>(points[p + 1].y - points[p].y) * (ch.envelopeTick - points[p].x) / dx;
    ch.envelopeVolume = static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(volume, 0), MAX_ENVELOPE));
    ch.envelopeTick = std::min(ch.envelopeTick + 1, 0xFFFFF);
    for (;;) {
        if (p >= count - 1) {
            ch.sample = nullptr;
            break;
        }
        if (ch.envelopeTick < points[p + 1].x)
            break;
        ++p;
    }
    // Held at the sustain point until key-off (the sustain flag is not consulted).
    if (ch.keyOff == 0 && p >= instrument.volumeSustain) {
        p = instrument.volumeSustain;
        ch.envelopeVolume = points[p].y;
        ch.envelopeTick = points[p].x;
    }
    ch.envelopePoint = static_cast<std::uint16_t>(p);
}

void ModulePlayer::RunTickEffect(CModuleChannel& ch)
{
    const int param = ch.effectParam;
    switch (ch.effect) {
    case 0x01:
        ch.step = ClampStep(ch.step + ((ch.step * param) >> 9));
        break;
    case 0x02:
        ch.step = ClampStep(ch.step - ((ch.step * param) >> 9));
        break;
    case 0x03: {
        const std::int64_t d = (ch.step * param) >> 8;
        if (ch.step == ch.targetStep)
            break;
        if (std::llabs(ch.targetStep - ch.step) < d)
            ch.step = ch.targetStep;
        else
            ch.step = ClampStep(ch.step + (ch.targetStep > ch.step ? d : -d));
        break;
    }
    case 0x06:
    case 0x0A:
        ch.volume += ((param >> 4) - (param & 0x0F)) * 1024;
        break;
    case 0x0E:
        if ((param >> 4) == 0xA)
            ch.volume += (param & 0x0F) * 256;
        else if ((param >> 4) == 0xB)
            ch.volume -= (param & 0x0F) * 256;
        break;
    default:
        break;
    }
}

void ModulePlayer::ProcessTick()
{
    if (m_song == nullptr)
        return;
    m_tickCounter += 1;
    if (m_tickCounter >= m_ticksPerRow) {
        ProcessRow();
        m_tickCounter = 0;
    }
    for (CModuleChannel& ch : m_channels) {
        if (ch.sample != nullptr && ch.instrument != nullptr) {
            if ((ch.instrument->volumeType & 1) && ch.instrument->volumePointCount > 1)
                RunEnvelope(ch);
            if (ch.sample != nullptr)
                RunTickEffect(ch);
        }
        // Every channel, sounding or not, so a later note never starts above the range.
        ch.volume = ClampVolume(ch.volume);
    }
}

} // namespace ModulePlayer
} // namespace Tarv
