// The PulseAudio output over a private server with a null sink: a generated tone played
// through the mixer is recorded from the sink's monitor and measured; the stream carries the
// application name; pausing removes it; no server or a dying one leaves the thread pacing; a
// stopped one holds neither a pause nor the mixer's release.
#include "audio/MaemoAudioDevice.h"

#include "audio/AudioStream.h"
#include "audio/Mixer.h"
#include "audio/sources/AudioFactory.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/Vfs.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tests/support/PulseServer.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// libpulse is not built for ThreadSanitizer: its threaded main loop hands memory between its
// own threads in ways the sanitizer cannot see. Our side of the device is still checked.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libpulse.so.0\n"
           "called_from_lib:libpulse-simple.so.0\n"
           "called_from_lib:libpulsecommon-16.1.so\n"
           "race:libpulsecommon-16.1.so\n"
           "race:libpulse.so.0\n";
}

namespace
{

constexpr double PEAK = 10000.0;

// Polls a condition that a real server or thread makes true; false after ten seconds.
bool WaitUntil(const std::function<bool()>& condition)
{
    return TestSupport::WaitUntil(condition, 10000);
}

class CountingStream : public Tarv::AudioStream
{
public:
    unsigned Read(void* buffer, unsigned bytes) override
    {
        std::fill_n(static_cast<std::uint8_t*>(buffer), bytes, 0);
        reads.fetch_add(1);
        return bytes;
    }
    std::atomic<int> reads{0};
};

std::uint64_t BlocksPulled(Tarv::Mixer& mixer)
{
    Tarv::SmartPtr<Tarv::AudioDevice> device = mixer.GetDevice();
    auto* pulse = dynamic_cast<Tarv::MaemoAudioDevice*>(device.Get());
    return pulse != nullptr ? pulse->GetBlocksPulled() : 0;
}

bool IsConnected(Tarv::Mixer& mixer)
{
    Tarv::SmartPtr<Tarv::AudioDevice> device = mixer.GetDevice();
    auto* pulse = dynamic_cast<Tarv::MaemoAudioDevice*>(device.Get());
    return pulse != nullptr && pulse->IsConnected();
}

std::uint64_t BlocksPaced(Tarv::Mixer& mixer)
{
    Tarv::SmartPtr<Tarv::AudioDevice> device = mixer.GetDevice();
    auto* pulse = dynamic_cast<Tarv::MaemoAudioDevice*>(device.Get());
    return pulse != nullptr ? pulse->GetBlocksPaced() : 0;
}

// Lets count more blocks be pulled and expects each of them but the last to have waited out a
// whole block period: the pace, by construction rather than by a clock.
void ExpectPacedBlocks(const std::function<std::uint64_t()>& pulled, const std::function<std::uint64_t()>& paced,
                       std::uint64_t count)
{
    // Read in this order, neither count can be ahead of the one it is set against.
    const std::uint64_t pacedBefore = paced();
    const std::uint64_t pulledBefore = pulled();
    ASSERT_TRUE(WaitUntil([&] { return pulled() >= pulledBefore + count; }));
    const std::uint64_t pulledAfter = pulled();
    EXPECT_GE(paced() - pacedBefore + 1, pulledAfter - pulledBefore);
}

// True once the device's thread has stopped pulling: a stopped server's buffer fills within two
// blocks, and the thread then sits in its write.
bool WaitForBlockedWrite(Tarv::Mixer& mixer)
{
    std::uint64_t pulled = 0;
    for (int tries = 0; tries < 50 && pulled != BlocksPulled(mixer); ++tries) {
        pulled = BlocksPulled(mixer);
        TestSupport::WaitUntil([&] { return BlocksPulled(mixer) != pulled; }, 300);
    }
    return pulled == BlocksPulled(mixer);
}

// Joined when the test ends, on every path out of it (after a FrozenServer declared later has
// let its server go on).
struct JoinedThread {
    ~JoinedThread()
    {
        if (thread.joinable())
            thread.join();
    }
    std::thread thread;
};

// Holds the sound server stopped (SIGSTOP), so a write to it blocks; lets it go on every path.
class FrozenServer
{
public:
    explicit FrozenServer(pid_t pid) : m_pid(pid) { kill(m_pid, SIGSTOP); }
    ~FrozenServer() { Thaw(); }
    void Thaw()
    {
        if (m_pid > 0)
            kill(m_pid, SIGCONT);
        m_pid = -1;
    }

private:
    pid_t m_pid;
};

// The recorded tone after its leading silence and start-up, cut into the runs that arrived
// whole: on a loaded machine the playing thread can be late, and the server then plays a gap
// of silence (an underrun) before the tone goes on. A tone at PEAK stays below GAP_LEVEL for at
// most one sample at a time, so a longer quiet stretch is such a gap. Runs are measured one by
// one, up to length samples in all, so a late block can pass neither for a wrong pitch (a gap
// inside a zero-crossing count) nor for a wrong level.
struct ToneRuns
{
    std::vector<std::vector<std::int16_t>> runs;
    std::size_t samples = 0;
    int gaps = 0;
};

ToneRuns ToneSection(const std::vector<std::int16_t>& recorded, std::size_t length)
{
    constexpr int GAP_LEVEL = 300;
    constexpr std::size_t GAP_SAMPLES = 8;
    constexpr std::size_t SHORTEST_RUN = 441; // 20 ms: enough crossings to measure
    ToneRuns tone;
    auto first = std::find_if(recorded.begin(), recorded.end(), [](std::int16_t s) { return std::abs(s) > 2000; });
    std::size_t at = static_cast<std::size_t>(first - recorded.begin()) + 2205;
    std::vector<std::int16_t> run;
    std::size_t quiet = 0;
    auto endRun = [&](std::size_t drop) {
        run.resize(run.size() - std::min(drop, run.size()));
        if (run.size() >= SHORTEST_RUN) {
            tone.samples += run.size();
            tone.runs.push_back(run);
        }
        run.clear();
    };
    for (; at < recorded.size() && tone.samples + run.size() < length; ++at) {
        quiet = std::abs(recorded[at]) < GAP_LEVEL ? quiet + 1 : 0;
        if (quiet == GAP_SAMPLES) {
            endRun(GAP_SAMPLES - 1);
            ++tone.gaps;
        }
        if (quiet < GAP_SAMPLES)
            run.push_back(recorded[at]);
    }
    endRun(0);
    return tone;
}

// Frequency and level over the runs, each run weighted by its length.
void MeasureRuns(const ToneRuns& tone, double& frequency, double& rms)
{
    double weightedFrequency = 0.0;
    double squares = 0.0;
    for (const std::vector<std::int16_t>& run : tone.runs) {
        weightedFrequency += AudioTest::MeasureFrequency(run, 22050) * static_cast<double>(run.size());
        const double level = AudioTest::MeasureRms(run);
        squares += level * level * static_cast<double>(run.size());
    }
    const double samples = std::max<double>(1.0, static_cast<double>(tone.samples));
    frequency = weightedFrequency / samples;
    rms = std::sqrt(squares / samples);
}

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start(22050, 1));
        m_server.UseForThisProcess();
        const std::vector<std::int16_t> tone = AudioTest::MakeTone(440.0, 22050, 1, 3 * 22050, PEAK);
        ASSERT_TRUE(AudioTest::WriteWav(m_dir.Path() + "/tone.wav", tone, 1, 22050));
        ASSERT_TRUE(AudioTest::EncodeOgg(m_dir.Path() + "/tone.wav", m_dir.Path() + "/tone.ogg"));
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.Path() + "/", "", 0);
    }
    void TearDown() override { Tarv::VfsShutdown(); }

    Tarv::SmartPtr<Tarv::Mixer> MakeMixer() { return Tarv::SmartPtr<Tarv::Mixer>(new Tarv::Mixer({1, 22050}, {})); }

    std::string SinkInputs() { return m_server.Pactl({"list", "sink-inputs"}); }

    TestSupport::PulseServer m_server;
    TestFiles::TempDir m_dir;
};

} // namespace

TEST(MaemoAudioDevice, WithoutAServerPacesSilently)
{
    TestFiles::TempDir dir;
    setenv("PULSE_SERVER", ("unix:" + dir.Path() + "/nobody").c_str(), 1);
    Tarv::SmartPtr<CountingStream> stream(new CountingStream());
    Tarv::SmartPtr<Tarv::MaemoAudioDevice> device(new Tarv::MaemoAudioDevice({1, 22050}, 2048));
    EXPECT_FALSE(device->IsConnected());
    device->Start(stream.Get());
    // Still pulling, so one-shot sounds end, but at the pace of the sound, never spinning.
    ExpectPacedBlocks([&] { return device->GetBlocksPulled(); }, [&] { return device->GetBlocksPaced(); }, 5);
    // Once the device is gone its thread reads no more, not even over several block periods.
    device.Reset();
    const int reads = stream->reads.load();
    EXPECT_FALSE(TestSupport::WaitUntil([&] { return stream->reads.load() != reads; }, 200));
}

TEST(MaemoAudioDevice, TheSilentPaceWaitsOneBlockOfItsFormat)
{
    using Tarv::MaemoAudioDevice;
    const struct {
        Tarv::AudioFormat format;
        unsigned blockBytes;
        long micros;
    } cases[] = {{{1, 22050}, 2048, 46439}, {{2, 44100}, 4096, 23219}, {{2, 48000}, 192000, 1000000},
                 {{0, 22050}, 2048, 46440}, {{1, 0}, 2048, 46440}, {{1, 22050}, 0, 46440}};
    for (const auto& c : cases)
        EXPECT_EQ(MaemoAudioDevice::GetBlockPeriod(c.format, c.blockBytes).count(), c.micros)
            << c.format.channels << " " << c.format.rate << " " << c.blockBytes;
}

TEST(MaemoAudioDevice, UnstartedDeviceClosesWithoutAThread)
{
    TestFiles::TempDir dir;
    setenv("PULSE_SERVER", ("unix:" + dir.Path() + "/nobody").c_str(), 1);
    Tarv::SmartPtr<Tarv::MaemoAudioDevice> device(new Tarv::MaemoAudioDevice({1, 22050}, 2048));
    EXPECT_EQ(device->GetBlocksPulled(), 0u);
    device.Reset();
    EXPECT_STREQ(std::getenv("PULSE_PROP_application.name"), "Brashwick");
}

class ToneThroughTheSink : public ServerTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ToneThroughTheSink, MeasuresFourHundredFortyHertzAtTheExpectedLevel)
{
    ASSERT_TRUE(m_server.StartRecording());
    Tarv::SmartPtr<Tarv::Mixer> mixer = MakeMixer();
    Tarv::SmartPtr<Tarv::AudioSource> source(Tarv::CreateAudioSource(GetParam(), false));
    ASSERT_TRUE(source);
    Tarv::WeakPtr<Tarv::AudioChannel> channel = mixer->CreateChannel(source.Get(), true);
    {
        Tarv::SmartPtr<Tarv::AudioChannel> locked = channel.Lock();
        ASSERT_TRUE(locked);
        locked->SetLooping(true);
        locked->SetPaused(false);
    }
    ASSERT_TRUE(WaitUntil([&] { return BlocksPulled(*mixer) >= 60; }));
    EXPECT_TRUE(IsConnected(*mixer));
    const std::string inputs = SinkInputs();
    EXPECT_NE(inputs.find("application.name = \"Brashwick\""), std::string::npos) << inputs;
    EXPECT_NE(inputs.find("media.name = \"audio\""), std::string::npos) << inputs;
    EXPECT_NE(inputs.find("s16le 1ch 22050Hz"), std::string::npos) << inputs;
    mixer.Reset();
    // A second of tone, in as many runs as underruns on a loaded machine cut it into.
    const ToneRuns tone = ToneSection(m_server.StopRecording(), 22050);
    ASSERT_EQ(tone.samples, 22050u) << tone.gaps << " gaps";
    double frequency = 0.0;
    double rms = 0.0;
    MeasureRuns(tone, frequency, rms);
    RecordProperty("frequency", std::to_string(frequency));
    RecordProperty("rms", std::to_string(rms));
    RecordProperty("gaps", tone.gaps);
    EXPECT_NEAR(frequency, 440.0, 4.4);
    EXPECT_NEAR(rms, PEAK / std::sqrt(2.0), PEAK * 0.05);
}

INSTANTIATE_TEST_SUITE_P(Files, ToneThroughTheSink, ::testing::Values("tone.wav", "tone.ogg"));

// A recording with an underrun: 40 ms of silence inside the tone. Counted whole it reads as
// about 423 Hz; cut at the gap it reads as the tone it is, at its level.
TEST(ToneSection, AnUnderrunGapIsCutOutOfTheMeasurement)
{
    std::vector<std::int16_t> recorded(2205, 0);
    const std::vector<std::int16_t> tone = AudioTest::MakeTone(440.0, 22050, 1, 2 * 22050, PEAK);
    recorded.insert(recorded.end(), tone.begin(), tone.begin() + 11025);
    recorded.insert(recorded.end(), 882, 0);
    recorded.insert(recorded.end(), tone.begin() + 11025, tone.end());
    const ToneRuns runs = ToneSection(recorded, 22050);
    ASSERT_EQ(runs.samples, 22050u);
    EXPECT_EQ(runs.gaps, 1);
    double frequency = 0.0;
    double rms = 0.0;
    MeasureRuns(runs, frequency, rms);
    EXPECT_NEAR(frequency, 440.0, 1.0);
    EXPECT_NEAR(rms, PEAK / std::sqrt(2.0), PEAK * 0.01);
}

TEST_F(ServerTest, PausedMixerHasNoSinkInput)
{
    Tarv::SmartPtr<Tarv::Mixer> mixer = MakeMixer();
    auto hasInput = [&] { return SinkInputs().find("Sink Input #") != std::string::npos; };
    ASSERT_TRUE(WaitUntil([&] { return BlocksPulled(*mixer) >= 2; }));
    EXPECT_TRUE(hasInput());
    mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, true);
    EXPECT_FALSE(mixer->HasDevice());
    // The server drops the stream once it has handled the disconnection.
    EXPECT_TRUE(WaitUntil([&] { return !hasInput(); }));
    mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, false);
    ASSERT_TRUE(WaitUntil([&] { return BlocksPulled(*mixer) >= 2; }));
    EXPECT_TRUE(WaitUntil(hasInput));
}

// Focus changes and the console pause and resume the mixer on the main thread while the device
// thread sits in a blocking write: neither call may wait for that write. The server is stopped,
// so the write stays blocked until the test lets the server go on.
TEST_F(ServerTest, PauseAndResumeNeverWaitForTheDevicesWrite)
{
    Tarv::SmartPtr<Tarv::Mixer> mixer = MakeMixer();
    ASSERT_TRUE(WaitUntil([&] { return IsConnected(*mixer) && BlocksPulled(*mixer) >= 4; }));
    const Tarv::SmartPtr<Tarv::AudioDevice> writing = mixer->GetDevice();
    std::atomic<bool> returned{false};
    JoinedThread mainThread;
    {
        FrozenServer frozen(m_server.GetPid());
        ASSERT_TRUE(WaitForBlockedWrite(*mixer)) << "the device never blocked in its write";
        mainThread.thread = std::thread([&] {
            mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, true);
            mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, false);
            returned.store(true);
        });
        // Asked of a mixer that still waits, GetDevice would wait too: the test would hang.
        ASSERT_TRUE(WaitUntil([&] { return returned.load(); }));
        // The old device is still inside its write, and a new one has taken its place.
        EXPECT_FALSE(writing->HasStopped());
        EXPECT_NE(mixer->GetDevice().Get(), writing.Get());
    }
    EXPECT_TRUE(WaitUntil([&] { return writing->HasStopped(); }));
    mixer->UpdateDevice();
}

// Shutting down while the server is stopped: releasing the mixer gives up waiting on the write
// after a bounded time. The thread let go never reads the freed mixer; when the server goes on,
// its write returns and it ends, closing its stream.
TEST_F(ServerTest, ReleasingTheMixerDoesNotWaitOnAStoppedServer)
{
    Tarv::SmartPtr<Tarv::Mixer> mixer = MakeMixer();
    ASSERT_TRUE(WaitUntil([&] { return IsConnected(*mixer) && BlocksPulled(*mixer) >= 4; }));
    std::atomic<bool> released{false};
    JoinedThread mainThread;
    {
        FrozenServer frozen(m_server.GetPid());
        ASSERT_TRUE(WaitForBlockedWrite(*mixer)) << "the device never blocked in its write";
        mainThread.thread = std::thread([&] {
            mixer.Reset();
            released.store(true);
        });
        ASSERT_TRUE(WaitUntil([&] { return released.load(); }));
    }
    EXPECT_TRUE(WaitUntil([&] { return SinkInputs().find("Sink Input #") == std::string::npos; }));
}

TEST_F(ServerTest, ServerDyingMidPlayLeavesThePaceAndTheGame)
{
    Tarv::SmartPtr<Tarv::Mixer> mixer = MakeMixer();
    Tarv::SmartPtr<Tarv::AudioSource> source(Tarv::CreateAudioSource("tone.wav", false));
    Tarv::WeakPtr<Tarv::AudioChannel> channel = mixer->Play(source.Get(), true);
    ASSERT_TRUE(WaitUntil([&] { return BlocksPulled(*mixer) >= 5; }));
    ASSERT_TRUE(IsConnected(*mixer));
    m_server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return !IsConnected(*mixer); }));
    ExpectPacedBlocks([&] { return BlocksPulled(*mixer); }, [&] { return BlocksPaced(*mixer); }, 5);
    // The main thread still gets the mixer's locks and the device goes away on pause.
    mixer->StopAllChannels();
    EXPECT_TRUE(channel.IsExpired());
    mixer->SetPaused(Tarv::Mixer::PAUSE_CONSOLE, true);
    EXPECT_FALSE(mixer->HasDevice());
}
