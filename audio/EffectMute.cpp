// Zeroes the valid samples while muted.
#include "audio/EffectMute.h"

#include <cstring>

namespace Tarv
{

unsigned EffectMute::Process(void* buffer, unsigned /*requestedBytes*/, unsigned validBytes)
{
    if (IsMuted() && buffer != nullptr)
        std::memset(buffer, 0, validBytes);
    return validBytes;
}

} // namespace Tarv
