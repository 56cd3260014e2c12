// Tarv::EffectMute: silences everything that passes through it while its flag is set; the
// audio service builds the sound and music switches from it.
#pragma once

#include "audio/AudioEffect.h"

#include <atomic>

namespace Tarv
{

class EffectMute : public AudioEffect
{
public:
    EffectMute(const AudioFormat& format, bool muted) : AudioEffect(format), m_muted(muted) {}

    unsigned Process(void* buffer, unsigned requestedBytes, unsigned validBytes) override;

    // Any thread; takes effect from the next samples processed.
    void SetMuted(bool muted) { m_muted.store(muted, std::memory_order_relaxed); }
    bool IsMuted() const { return m_muted.load(std::memory_order_relaxed); }

private:
    // Written by the main thread while the audio thread reads it.
    std::atomic<bool> m_muted;
};

} // namespace Tarv
