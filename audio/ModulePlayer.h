// Tarv::ModulePlayer::ModulePlayer: renders a loaded XM song into mono signed 16-bit samples
// at 22050 Hz: order list, packed rows, a subset of the effects, the volume envelope, mixing.
#pragma once

#include "audio/ModuleSong.h"

#include <cstdint>
#include <vector>

namespace Tarv
{
namespace ModulePlayer
{

struct CModuleChannel
{
    // The last note read other than key-off; the last instrument number read, 0-based (255
    // after an instrument byte of 0).
    std::uint8_t note = 0;
    std::uint8_t instrumentIndex = 0;
    // 0..65535 after each tick: 1024 per step of the module's 0-64 scale.
    std::int32_t volume = 0;
    std::int32_t fadeVolume = 0;
    std::uint8_t keyOff = 0;
    const CModuleInstrument* instrument = nullptr;
    // Null while the channel is silent.
    const CModuleSample* sample = nullptr;
    // 20.12 fixed point, 64-bit so long samples and fast slides cannot wrap.
    std::int64_t position = 0;
    std::int64_t step = 0;
    std::uint16_t envelopePoint = 0;
    std::int32_t envelopeVolume = 0;
    std::int32_t envelopeTick = 0;
    std::uint8_t effect = 0;
    // The last non-zero parameter, shared by every effect.
    std::uint8_t effectParam = 0;
    // The step of the last note given: where tone portamento slides to.
    std::int64_t targetStep = 0;
};

class ModulePlayer
{
public:
    static constexpr int RATE = 22050;
    // Entries of the note step table; notes above the last entry play as the last.
    static constexpr int STEP_TABLE_SIZE = 96;
    static constexpr int NOTE_KEY_OFF = 97;
    // Sixty-four source samples per output sample: far above any note, low enough that
    // products with a parameter stay in range.
    static constexpr std::int64_t MAX_STEP = std::int64_t{64} << 12;
    // Rows of the empty pattern that an order entry beyond the pattern count plays.
    static constexpr int EMPTY_PATTERN_ROWS = 64;

    ModulePlayer();
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;
    virtual ~ModulePlayer() = default;

    // Borrows song (the caller keeps it alive while it is set); null empties the player. The
    // play range stays as it was.
    void SetSong(const CModuleSong* song);
    // -1 (or anything outside the song) for first means order 0; -1 or anything not below the
    // song length for last means the last order, and a last before first means first. Then
    // playing restarts at first, row 0. Nothing without a song.
    void SetPlayRange(int first, int last);
    // Writes count samples; false (nothing written) without a song or a play range. Never
    // allocates once its scratch has grown to the largest count asked for.
    bool Render(std::int16_t* out, int count);

    // Starts note (from 1; a note above 95 plays as 95) on channel; instrument 255 keeps the
    // channel's instrument. Without restart the sample changes but the position and step stay
    // (tone portamento).
    void TriggerNote(int channel, std::uint8_t instrument, std::uint8_t note, bool restart);
    // Adds channel's next count samples into acc.
    void MixChannel(int channel, std::int32_t* acc, int count);
    void ProcessRow();
    void ProcessTick();

    // Volume after the volume-column byte v (read once, at the row), clamped to 0..65535.
    static std::int32_t ApplyVolumeColumn(std::int32_t volume, std::uint8_t v);
    // Output samples per tick at bpm: 22050 / (bpm * 50 / 125), 22050 when the divisor is 0,
    // and never below 1: a tick of no samples would keep Render from ever advancing.
    static int ComputeSamplesPerTick(int bpm);

    // The 20.12 step of note index 0..95 for a pitch factor of 4096; 0 outside the table.
    std::int32_t GetStep(int note) const { return note >= 0 && note < STEP_TABLE_SIZE ? m_stepTable[note] : 0; }
    int GetSpeed() const { return m_speed; }
    int GetBpm() const { return m_bpm; }
    int GetSamplesPerTick() const { return m_samplesPerTick; }
    int GetTicksPerRow() const { return m_ticksPerRow; }
    int GetOrder() const { return m_order; }
    int GetRow() const { return m_row; }
    int GetChannelCount() const { return static_cast<int>(m_channels.size()); }
    const CModuleChannel& GetChannel(int channel) const { return m_channels[static_cast<std::size_t>(channel)]; }

private:
    struct Cell
    {
        int note = -1;
        int instrument = -1;
        int volume = -1;
        int effect = -1;
        int param = -1;
    };

    Cell ReadCell(const CModulePattern* pattern);
    int ReadPatternByte(const CModulePattern* pattern);
    const CModulePattern* GetCurrentPattern(int& rowCount) const;
    void NextOrder();
    void SetTempo();
    void RunEnvelope(CModuleChannel& channel);
    void RunTickEffect(CModuleChannel& channel);

    std::int32_t m_stepTable[STEP_TABLE_SIZE] = {};
    const CModuleSong* m_song = nullptr;
    std::vector<CModuleChannel> m_channels;
    int m_order = 0;
    int m_dataOffset = 0;
    int m_row = 0;
    int m_speed = 8;
    int m_bpm = 120;
    int m_samplesLeft = 0;
    int m_samplesPerTick = 459;
    int m_tickCounter = 0;
    int m_ticksPerRow = 8;
    int m_firstOrder = -1;
    int m_lastOrder = -1;
    std::vector<std::int32_t> m_accumulator;
};

} // namespace ModulePlayer
} // namespace Tarv
