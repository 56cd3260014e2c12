// The PulseAudio output thread. A refused connection or a failed write (the server went away)
// switches the thread to paced silence: it keeps pulling a block per block period, so one-shot
// sounds still end, and it never spins. A server that stops answering (stopped, not gone) holds
// a write for as long as it likes: destruction then lets the thread go rather than wait on it.
#include "audio/MaemoAudioDevice.h"

#include "audio/AudioStream.h"

#include <pulse/simple.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace Tarv
{

struct MaemoAudioDevice::ThreadState
{
    ThreadState(const AudioFormat& format_, unsigned blockBytes_) : format(format_), blockBytes(blockBytes_), block(blockBytes_) {}

    const AudioFormat format;
    const unsigned blockBytes;
    // Thread only.
    std::vector<std::uint8_t> block;
    pa_simple* handle = nullptr;

    // Held while the thread reads the stream; the stream is cleared under it when the thread is
    // let go, so no Read can start or still run once the device is gone.
    std::mutex streamMutex;
    AudioStream* stream = nullptr;

    // Guards stop, stopRequestedAt and finished for the waits below.
    std::mutex waitMutex;
    std::condition_variable wake;
    std::atomic<bool> stop{false};
    std::chrono::steady_clock::time_point stopRequestedAt;
    // Set by the thread as it ends (true while no thread runs).
    std::atomic<bool> finished{true};

    std::atomic<bool> connected{false};
    std::atomic<std::uint64_t> blocksPulled{0};
    std::atomic<std::uint64_t> blocksPaced{0};
};

namespace
{

using ThreadState = MaemoAudioDevice::ThreadState;

// setenv is not safe while other threads read the environment, so it runs once only (the
// device is remade at every unpause); the name also goes to the server directly.
void SetApplicationProperty()
{
    static std::once_flag once;
    std::call_once(once, [] { setenv("PULSE_PROP_application.name", MaemoAudioDevice::APPLICATION_NAME, 1); });
}

void Connect(ThreadState& state)
{
    const AudioFormat& format = state.format;
    if (format.channels == 0 || format.channels > 255 || format.rate == 0 || state.blockBytes == 0)
        return;
    pa_sample_spec sampleFormat;
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = format.rate;
    sampleFormat.channels = static_cast<std::uint8_t>(format.channels);
    // Two blocks of server buffer with a request of one block keep the latency near two blocks.
    pa_buffer_attr attributes;
    attributes.maxlength = 2 * state.blockBytes;
    attributes.tlength = 2 * state.blockBytes;
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = state.blockBytes;
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    state.handle = pa_simple_new(nullptr, MaemoAudioDevice::APPLICATION_NAME, PA_STREAM_PLAYBACK, nullptr,
                                 MaemoAudioDevice::STREAM_NAME, &sampleFormat, nullptr, &attributes, nullptr);
    state.connected.store(state.handle != nullptr, std::memory_order_release);
}

// Fills the block from the stream; false once the device wants the thread to end.
bool PullBlock(ThreadState& state)
{
    std::lock_guard<std::mutex> lock(state.streamMutex);
    if (state.stop.load(std::memory_order_acquire) || state.stream == nullptr)
        return false;
    state.stream->Read(state.block.data(), state.blockBytes);
    state.blocksPulled.fetch_add(1, std::memory_order_acq_rel);
    return true;
}

// Waits one block period, or less when the device is being destroyed.
void WaitOneBlock(ThreadState& state)
{
    std::unique_lock<std::mutex> lock(state.waitMutex);
    if (!state.wake.wait_for(lock, MaemoAudioDevice::GetBlockPeriod(state.format, state.blockBytes),
                             [&state] { return state.stop.load(std::memory_order_acquire); }))
        state.blocksPaced.fetch_add(1, std::memory_order_acq_rel);
}

// The thread owns its share of the state: a thread let go by its device still finds it.
void RunDevice(std::shared_ptr<ThreadState> state)
{
    // Connecting blocks until the server answers: done here, not on the main thread that
    // unpauses the mixer.
    Connect(*state);
    while (PullBlock(*state)) {
        if (state->connected.load(std::memory_order_acquire)) {
            if (pa_simple_write(state->handle, state->block.data(), state->blockBytes, nullptr) >= 0)
                continue;
            // The server is gone: every further write would fail at once.
            state->connected.store(false, std::memory_order_release);
        }
        WaitOneBlock(*state);
    }
    if (state->handle != nullptr)
        pa_simple_free(state->handle);
    state->handle = nullptr;
    state->connected.store(false, std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(state->waitMutex);
        state->finished.store(true, std::memory_order_release);
    }
    state->wake.notify_all();
}

} // namespace

AudioDevice* AudioDevice::Create(const AudioFormat& format, const unsigned& blockBytes)
{
    return new MaemoAudioDevice(format, blockBytes);
}

MaemoAudioDevice::MaemoAudioDevice(const AudioFormat& format, unsigned blockBytes)
    : m_format(format), m_state(std::make_shared<ThreadState>(format, blockBytes))
{
    SetApplicationProperty();
}

MaemoAudioDevice::~MaemoAudioDevice()
{
    if (!m_thread.joinable())
        return;
    RequestStop();
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(m_state->waitMutex);
        ended = m_state->wake.wait_until(lock, m_state->stopRequestedAt + STOP_WAIT,
                                         [this] { return m_state->finished.load(std::memory_order_acquire); });
    }
    if (ended) {
        m_thread.join();
        return;
    }
    // The thread is inside a call into a server that does not answer. A Read in progress never
    // waits on the server, so this wait is short; afterwards the thread touches only its own
    // state and the connection, and it frees both when (if ever) the call returns. At program
    // exit it simply ends with the process.
    {
        std::lock_guard<std::mutex> lock(m_state->streamMutex);
        m_state->stream = nullptr;
    }
    m_thread.detach();
}

void MaemoAudioDevice::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_state->waitMutex);
        if (!m_state->stop.load(std::memory_order_acquire)) {
            m_state->stopRequestedAt = std::chrono::steady_clock::now();
            m_state->stop.store(true, std::memory_order_release);
        }
    }
    m_state->wake.notify_all();
}

bool MaemoAudioDevice::HasStopped() const
{
    return m_state->finished.load(std::memory_order_acquire);
}

bool MaemoAudioDevice::IsConnected() const
{
    return m_state->connected.load(std::memory_order_acquire);
}

std::uint64_t MaemoAudioDevice::GetBlocksPulled() const
{
    return m_state->blocksPulled.load(std::memory_order_acquire);
}

std::uint64_t MaemoAudioDevice::GetBlocksPaced() const
{
    return m_state->blocksPaced.load(std::memory_order_acquire);
}

void MaemoAudioDevice::Start(AudioStream* stream)
{
    if (m_thread.joinable() || stream == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lock(m_state->streamMutex);
        m_state->stream = stream;
    }
    m_state->finished.store(false, std::memory_order_release);
    m_thread = std::thread(RunDevice, m_state);
}

std::chrono::microseconds MaemoAudioDevice::GetBlockPeriod(const AudioFormat& format, unsigned blockBytes)
{
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(format.channels) * 2;
    // A format no server would take still paces at the game's own block length.
    if (frameBytes == 0 || format.rate == 0 || blockBytes == 0)
        return std::chrono::microseconds(46440);
    return std::chrono::microseconds(blockBytes * 1000000ull / (frameBytes * format.rate));
}

} // namespace Tarv
