// Tarv::AudioFormat: channel count and sample rate of a stream of signed 16-bit samples.
#pragma once

#include <cstdint>

namespace Tarv
{

struct AudioFormat
{
    std::uint32_t channels = 0;
    std::uint32_t rate = 0;
};

// Bytes of one frame (one sample per channel) as the effects and the mixer count them: mono
// frames are 2 bytes, anything else is treated as a 4-byte stereo frame.
inline std::uint32_t GetFrameBytes(const AudioFormat& format)
{
    return format.channels == 1 ? 2u : 4u;
}

} // namespace Tarv
