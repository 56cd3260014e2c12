// Tarv::AudioEffect: a stage that works in place on a buffer of signed 16-bit samples; channels
// and the mixer hold lists of them.
#pragma once

#include "audio/AudioFormat.h"
#include "engine/core/RefCounter.h"

namespace Tarv
{

class AudioEffect : public RefCounter
{
public:
    explicit AudioEffect(const AudioFormat& format) : m_format(format) {}
    ~AudioEffect() override = default;

    // Processes the buffer in place and returns the valid bytes in it afterwards. requestedBytes
    // is the size asked of this stage, validBytes what the buffer holds. Runs on the audio
    // thread under the lock of the list that holds the effect.
    virtual unsigned Process(void* buffer, unsigned requestedBytes, unsigned validBytes) = 0;
    // Asked after every Process: true makes the owner unlink and release the effect.
    virtual bool IsFinished() const { return false; }
    // The input bytes needed to produce outBytes; asked before Process of the same block.
    virtual unsigned GetInputSize(unsigned outBytes) { return outBytes; }

    const AudioFormat& GetFormat() const { return m_format; }

protected:
    AudioFormat m_format;
};

} // namespace Tarv
