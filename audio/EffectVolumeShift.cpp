// Shifts samples right, rounding toward minus infinity.
#include "audio/EffectVolumeShift.h"

#include <cstdint>

namespace Tarv
{

unsigned EffectVolumeShift::Process(void* buffer, unsigned /*requestedBytes*/, unsigned validBytes)
{
    unsigned shift = GetShift();
    if (shift == 0 || buffer == nullptr)
        return validBytes;
    // A shift of 15 already leaves only the sign; larger counts would be undefined in C++.
    if (shift > 15)
        shift = 15;
    std::int16_t* samples = static_cast<std::int16_t*>(buffer);
    const unsigned count = validBytes / 2;
    for (unsigned i = 0; i < count; ++i) {
        const std::int32_t value = samples[i];
        // Right shift of a negative value is arithmetic on every compiler we build with, and
        // defined so from C++20; spell it out to stay exact everywhere.
        samples[i] = static_cast<std::int16_t>(value >= 0 ? value >> shift : ~((~value) >> shift));
    }
    return validBytes;
}

} // namespace Tarv
