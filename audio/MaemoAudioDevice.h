// Tarv::MaemoAudioDevice: one PulseAudio playback stream ("audio") fed by a thread that pulls a
// block at a time and writes it with a blocking write. Without a server it paces silently.
// The handle is made, used and freed only by the device thread.
#pragma once

#include "audio/AudioDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct pa_simple;

namespace Tarv
{

class MaemoAudioDevice : public AudioDevice
{
public:
    // The product title, handed to the server as the application name.
    static constexpr const char* APPLICATION_NAME = "Brashwick";
    static constexpr const char* STREAM_NAME = "audio";

    // The connection is made by the device thread when it starts; a failed one leaves the
    // device silent.
    MaemoAudioDevice(const AudioFormat& format, unsigned blockBytes);
    // Stops the thread after its current block and write and joins it (the thread closes the
    // connection as it ends).
    ~MaemoAudioDevice() override;

    void Start(AudioStream* stream) override;
    void Update() override {}
    void RequestStop() override;
    bool HasStopped() const override { return m_finished.load(std::memory_order_acquire); }
    const AudioFormat& GetFormat() const override { return m_format; }

    // True while blocks go to a server; false before the thread has connected, with no server,
    // or once a write has failed.
    bool IsConnected() const { return m_connected.load(std::memory_order_acquire); }
    // Blocks pulled from the stream so far.
    std::uint64_t GetBlocksPulled() const { return m_blocksPulled.load(std::memory_order_acquire); }
    // Blocks followed by a whole block period of waiting instead of a write (no server): the
    // silent pace, so never more than one behind GetBlocksPulled while no server takes them.
    std::uint64_t GetBlocksPaced() const { return m_blocksPaced.load(std::memory_order_acquire); }
    // How long one block of the format plays; the silent pace waits this long per block.
    static std::chrono::microseconds GetBlockPeriod(const AudioFormat& format, unsigned blockBytes);

private:
    void ThreadMain();
    void Connect();
    // Waits one block period, or less when the device is being destroyed.
    void WaitOneBlock();

    AudioFormat m_format;
    pa_simple* m_handle = nullptr;
    std::vector<std::uint8_t> m_block;
    unsigned m_blockBytes;
    AudioStream* m_stream = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_connected{false};
    // Set by the thread as it ends (true while no thread runs).
    std::atomic<bool> m_finished{true};
    std::atomic<std::uint64_t> m_blocksPulled{0};
    std::atomic<std::uint64_t> m_blocksPaced{0};
    std::mutex m_waitMutex;
    std::condition_variable m_wake;
};

} // namespace Tarv
