// Tarv::RNG: MT19937 seeding, regeneration and tempering as in the reference code.
#include "engine/core/RNG.h"

#include "engine/core/Clock.h"

namespace Tarv
{

namespace
{

constexpr std::size_t SHIFT_POSITION = 397;
constexpr std::uint32_t MATRIX_A = 0x9908b0dfu;
constexpr std::uint32_t UPPER_MASK = 0x80000000u;
constexpr std::uint32_t LOWER_MASK = 0x7fffffffu;

} // namespace

RNG::RNG() : RNG(static_cast<std::uint32_t>(GetTimeSeconds()))
{
}

RNG::RNG(std::uint32_t seed)
{
    Seed(seed);
}

void RNG::Seed(std::uint32_t seed)
{
    m_state[0] = seed;
    for (std::uint32_t i = 1; i < STATE_SIZE; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + i;
}

void RNG::Regenerate()
{
    for (std::size_t i = 0; i < STATE_SIZE; ++i) {
        const std::uint32_t y = (m_state[i] & UPPER_MASK) | (m_state[(i + 1) % STATE_SIZE] & LOWER_MASK);
        const std::uint32_t odd = (y & 1u) != 0 ? MATRIX_A : 0u;
        m_state[i] = m_state[(i + SHIFT_POSITION) % STATE_SIZE] ^ (y >> 1) ^ odd;
    }
}

std::uint32_t RNG::GetU32()
{
    if (m_index == 0)
        Regenerate();
    std::uint32_t y = m_state[m_index];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    m_index = m_index + 1 == STATE_SIZE ? 0 : m_index + 1;
    return y;
}

double RNG::GetFloat()
{
    constexpr float SCALE = 1.0f / 4294967296.0f;
    return static_cast<double>(static_cast<float>(GetU32()) * SCALE);
}

} // namespace Tarv
