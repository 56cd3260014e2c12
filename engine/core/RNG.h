// Tarv::RNG: the engine's random number generator, the 32-bit Mersenne Twister (MT19937) in
// its reference form, so a seed always gives the published sequence.
#pragma once

#include "engine/core/RefCounter.h"

#include <array>
#include <cstdint>

namespace Tarv
{

class RNG : public RefCounter
{
public:
    // Seeded with the calendar time in seconds.
    RNG();
    explicit RNG(std::uint32_t seed);
    ~RNG() override = default;

    // Refills the state from seed and keeps the position: a generator in mid-sequence goes on
    // from the same index in the new state, without regenerating until the index wraps to 0.
    // Only a generator at index 0 gives the outputs of a new RNG(seed).
    void Seed(std::uint32_t seed);

    std::uint32_t GetU32();

    // The next output as a float times 2^-32, in single precision: a value in [0, 1]. Outputs
    // of 4294967168 and above round to exactly 1.0, so scaling it to an index needs a clamp.
    double GetFloat();

private:
    static constexpr std::size_t STATE_SIZE = 624;

    void Regenerate();

    std::array<std::uint32_t, STATE_SIZE> m_state{};
    std::uint32_t m_index = 0;
};

} // namespace Tarv
