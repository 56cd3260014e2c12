// Tarv::MaemoAudioDevice: one PulseAudio playback stream ("audio") fed by a thread that pulls a
// block at a time and writes it with a blocking write. Without a server it paces silently.
// The handle is made, used and freed only by the device thread.
#pragma once

#include "audio/AudioDevice.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace Tarv
{

class MaemoAudioDevice : public AudioDevice
{
public:
    // The product title, handed to the server as the application name.
    static constexpr const char* APPLICATION_NAME = "Brashwick";
    static constexpr const char* STREAM_NAME = "audio";
    // How long destruction waits, from the first stop request, for the thread to leave a call
    // into the server (a write takes at most a block or two from a server that runs).
    static constexpr std::chrono::milliseconds STOP_WAIT{1000};

    // The connection is made by the device thread when it starts; a failed one leaves the
    // device silent.
    MaemoAudioDevice(const AudioFormat& format, unsigned blockBytes);
    // Stops the thread after its current block and write and joins it (the thread closes the
    // connection as it ends). A thread still inside a call into a server that does not answer
    // (stopped, hung) STOP_WAIT after the stop request is let go instead: it never reads the
    // stream again, and it ends by itself, freeing the connection, if the server answers later.
    ~MaemoAudioDevice() override;

    void Start(AudioStream* stream) override;
    void Update() override {}
    void RequestStop() override;
    bool HasStopped() const override;
    const AudioFormat& GetFormat() const override { return m_format; }

    // True while blocks go to a server; false before the thread has connected, with no server,
    // or once a write has failed.
    bool IsConnected() const;
    // Blocks pulled from the stream so far.
    std::uint64_t GetBlocksPulled() const;
    // Blocks followed by a whole block period of waiting instead of a write (no server): the
    // silent pace, so never more than one behind GetBlocksPulled while no server takes them.
    std::uint64_t GetBlocksPaced() const;
    // How long one block of the format plays; the silent pace waits this long per block.
    static std::chrono::microseconds GetBlockPeriod(const AudioFormat& format, unsigned blockBytes);

    // What the thread uses; shared with it, so that a thread let go outlives the device safely.
    struct ThreadState;

private:
    AudioFormat m_format;
    std::shared_ptr<ThreadState> m_state;
    std::thread m_thread;
};

} // namespace Tarv
