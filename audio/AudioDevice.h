// Tarv::AudioDevice: carries a stream's blocks to the sound server on a thread of its own.
#pragma once

#include "audio/AudioFormat.h"
#include "engine/core/RefCounter.h"

namespace Tarv
{

class AudioStream;

class AudioDevice : public RefCounter
{
public:
    ~AudioDevice() override = default;

    // A new PulseAudio device (count 0; the caller takes the first reference). Never null: with
    // no server the device stays silent and still pulls one block per block period.
    static AudioDevice* Create(const AudioFormat& format, const unsigned& blockBytes);

    // Starts pulling from stream. The stream is borrowed: it must outlive the device (the
    // mixer releases its device before anything else). Call once, on the main thread.
    virtual void Start(AudioStream* stream) = 0;
    virtual void Update() = 0;
    // Asks the device's thread to end after its current block and write, without waiting for
    // it; the device must still be released (its destructor joins the thread, waiting a bounded
    // time for a server that does not answer). Any thread.
    virtual void RequestStop() {}
    // True once the thread has ended (or never ran): releasing the device then cannot block.
    virtual bool HasStopped() const { return true; }
    // The format the device plays; the mixer adopts it.
    virtual const AudioFormat& GetFormat() const = 0;
};

} // namespace Tarv
