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

    // Refills the state from seed and starts the sequence over: after Seed(s) the outputs are
    // those of a new RNG(s), wherever the generator was.
    void Seed(std::uint32_t seed);

    std::uint32_t GetU32();

    // The top 24 bits of the next output scaled by 2^-24: a value in [0, 1), never 1.0, so
    // floor(GetFloat() * n) is always a valid index below n. Every value is exact in a float.
    double GetFloat();

private:
    static constexpr std::size_t STATE_SIZE = 624;

    void Regenerate();

    std::array<std::uint32_t, STATE_SIZE> m_state{};
    std::uint32_t m_index = 0;
};

} // namespace Tarv
