// The PulseAudio output thread. A refused connection or a failed write (the server went away)
// switches the thread to paced silence: it keeps pulling a block per block period, so one-shot
// sounds still end, and it never spins.
#include "audio/MaemoAudioDevice.h"

#include "audio/AudioStream.h"

#include <pulse/simple.h>

#include <chrono>
#include <cstdlib>
#include <mutex>

namespace Tarv
{

namespace
{

// setenv is not safe while other threads read the environment, so it runs once only (the
// device is remade at every unpause); the name also goes to the server directly.
void SetApplicationProperty()
{
    static std::once_flag once;
    std::call_once(once, [] { setenv("PULSE_PROP_application.name", MaemoAudioDevice::APPLICATION_NAME, 1); });
}

} // namespace

AudioDevice* AudioDevice::Create(const AudioFormat& format, const unsigned& blockBytes)
{
    return new MaemoAudioDevice(format, blockBytes);
}

MaemoAudioDevice::MaemoAudioDevice(const AudioFormat& format, unsigned blockBytes)
    : m_format(format), m_block(blockBytes), m_blockBytes(blockBytes)
{
    SetApplicationProperty();
}

void MaemoAudioDevice::Connect()
{
    if (m_format.channels == 0 || m_format.channels > 255 || m_format.rate == 0 || m_blockBytes == 0)
        return;
    pa_sample_spec sampleFormat;
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = m_format.rate;
    sampleFormat.channels = static_cast<std::uint8_t>(m_format.channels);
    // Two blocks of server buffer with a request of one block keep the latency near two blocks.
    pa_buffer_attr attributes;
    attributes.maxlength = 2 * m_blockBytes;
    attributes.tlength = 2 * m_blockBytes;
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = m_blockBytes;
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    m_handle = pa_simple_new(nullptr, APPLICATION_NAME, PA_STREAM_PLAYBACK, nullptr, STREAM_NAME, &sampleFormat, nullptr,
                             &attributes, nullptr);
    m_connected.store(m_handle != nullptr, std::memory_order_release);
}

MaemoAudioDevice::~MaemoAudioDevice()
{
    if (m_thread.joinable()) {
        RequestStop();
        m_thread.join();
    }
}

void MaemoAudioDevice::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_waitMutex);
        m_stop.store(true, std::memory_order_release);
    }
    m_wake.notify_all();
}

void MaemoAudioDevice::Start(AudioStream* stream)
{
    if (m_thread.joinable() || stream == nullptr)
        return;
    m_stream = stream;
    m_finished.store(false, std::memory_order_release);
    m_thread = std::thread(&MaemoAudioDevice::ThreadMain, this);
}

void MaemoAudioDevice::ThreadMain()
{
    // Connecting blocks until the server answers: done here, not on the main thread that
    // unpauses the mixer.
    Connect();
    while (!m_stop.load(std::memory_order_acquire)) {
        m_stream->Read(m_block.data(), m_blockBytes);
        m_blocksPulled.fetch_add(1, std::memory_order_acq_rel);
        if (IsConnected()) {
            if (pa_simple_write(m_handle, m_block.data(), m_blockBytes, nullptr) >= 0)
                continue;
            // The server is gone: every further write would fail at once.
            m_connected.store(false, std::memory_order_release);
        }
        WaitOneBlock();
    }
    if (m_handle != nullptr)
        pa_simple_free(m_handle);
    m_handle = nullptr;
    m_connected.store(false, std::memory_order_release);
    m_finished.store(true, std::memory_order_release);
}

std::chrono::microseconds MaemoAudioDevice::GetBlockPeriod(const AudioFormat& format, unsigned blockBytes)
{
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(format.channels) * 2;
    // A format no server would take still paces at the game's own block length.
    if (frameBytes == 0 || format.rate == 0 || blockBytes == 0)
        return std::chrono::microseconds(46440);
    return std::chrono::microseconds(blockBytes * 1000000ull / (frameBytes * format.rate));
}

void MaemoAudioDevice::WaitOneBlock()
{
    std::unique_lock<std::mutex> lock(m_waitMutex);
    if (!m_wake.wait_for(lock, GetBlockPeriod(m_format, m_blockBytes),
                         [this] { return m_stop.load(std::memory_order_acquire); }))
        m_blocksPaced.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace Tarv
