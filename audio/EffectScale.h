// Tarv::EffectScale: the mixer's master stage, a nearest-sample resampler that changes the
// playback speed by a factor (the time skew). Phase and the last taken frame carry across blocks.
#pragma once

#include "audio/AudioEffect.h"

#include <cstdint>
#include <vector>

namespace Tarv
{

class EffectScale : public AudioEffect
{
public:
    // Largest factor the stage accepts; larger ones are clamped to it.
    static constexpr float MAX_FACTOR = 16.0f;

    // Copies the value of factor (sanitised as SetFactor does).
    EffectScale(const AudioFormat& format, const float& factor);

    // Resamples the first requestedBytes bytes of the buffer into the output size the last
    // GetInputSize was asked for; the buffer must hold the larger of the two. Returns that size.
    unsigned Process(void* buffer, unsigned requestedBytes, unsigned validBytes) override;
    // Input bytes (whole frames) needed for outBytes at the current factor and phase.
    unsigned GetInputSize(unsigned outBytes) override;

    // Audio thread only. Non-finite factors become 1.0; the rest is clamped to 0..MAX_FACTOR.
    void SetFactor(float factor);
    float GetFactor() const { return m_factor; }
    float GetPhase() const { return m_phase; }

private:
    unsigned GetFrameShift() const { return m_format.channels == 1 ? 1u : 2u; }

    float m_factor = 1.0f;
    float m_phase = 1.0f;
    unsigned m_expectedOutput = 0;
    std::int16_t m_held[2] = {0, 0};
    // Grow-only, so steady blocks never allocate.
    std::vector<std::int16_t> m_copy;
};

} // namespace Tarv
