// Tarv::AudioStream: what an output device pulls samples from; the mixer is the one in the game.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/WeakRefCounter.h"

namespace Tarv
{

class AudioStream : public RefCounter, public WeakRefCounter
{
public:
    ~AudioStream() override = default;

    // Fills buffer with up to bytes bytes in the device's format and returns how many. Called
    // on the device's thread.
    virtual unsigned Read(void* buffer, unsigned bytes) = 0;
};

} // namespace Tarv
