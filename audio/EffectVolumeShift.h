// Tarv::EffectVolumeShift: lowers the volume by an arithmetic right shift of every sample; the
// audio service's master volume is one of these in the mixer's effect list.
#pragma once

#include "audio/AudioEffect.h"

#include <atomic>

namespace Tarv
{

class EffectVolumeShift : public AudioEffect
{
public:
    EffectVolumeShift(const AudioFormat& format, unsigned shift) : AudioEffect(format), m_shift(shift) {}

    unsigned Process(void* buffer, unsigned requestedBytes, unsigned validBytes) override;

    // Any thread. 16 or more leaves 0 for non-negative samples and -1 for negative ones.
    void SetShift(unsigned shift) { m_shift.store(shift, std::memory_order_relaxed); }
    unsigned GetShift() const { return m_shift.load(std::memory_order_relaxed); }

private:
    std::atomic<unsigned> m_shift;
};

} // namespace Tarv
