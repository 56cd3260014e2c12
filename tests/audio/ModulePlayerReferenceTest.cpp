// The module player against an independent XM player (openmpt123, a test-time tool only): the
// generated modules load and sound there, and the "anchor" module's notes start at the same
// times and pitches once this player's head start and tuning are taken out.
#include "audio/ModulePlayer.h"

#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using Tarv::ModulePlayer::CModuleSong;
using Tarv::ModulePlayer::ModulePlayer;

namespace
{

constexpr int RATE = 22050;
// This player's C-4 step (1521 / 4096 of a sample per output sample at 22050 Hz) against
// FastTracker 2's 8363 Hz.
constexpr double TUNING = 1521.0 / 4096.0 * 22050.0 / 8363.0;

bool HasProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

std::vector<std::uint8_t> WriteFixture(const char* name)
{
    Tarv::XmModuleDesc module;
    EXPECT_TRUE(Tarv::MakeXmFixture(name, module));
    Tarv::XmWriter writer;
    return writer.Write(module);
}

// Mono 16-bit PCM at 22050 Hz from openmpt123, no resampling filter taps beyond linear and no
// volume ramps, so onsets are sharp.
std::vector<std::int16_t> RenderReference(const std::string& dir, const char* name, int seconds)
{
    const std::string path = dir + "/" + name + ".xm";
    EXPECT_TRUE(TestFiles::WriteBytes(path, WriteFixture(name)));
    const int status = AudioTest::RunProgram({"openmpt123", "--quiet", "--render", "--output-type", "raw", "--no-float",
                                              "--samplerate", "22050", "--channels", "1", "--filter", "2",
                                              "--ramping", "0", "--end-time", std::to_string(seconds), path});
    EXPECT_EQ(status, 0) << name;
    const std::vector<std::uint8_t> bytes = TestFiles::ReadBytes(path + ".raw");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

std::vector<std::int16_t> RenderOurs(const char* name, int samples)
{
    const std::vector<std::uint8_t> bytes = WriteFixture(name);
    CModuleSong song;
    EXPECT_TRUE(song.LoadFromMemory(bytes.data(), bytes.size()));
    ModulePlayer player;
    player.SetSong(&song);
    player.SetPlayRange(-1, -1);
    std::vector<std::int16_t> out(static_cast<std::size_t>(samples));
    EXPECT_TRUE(player.Render(out.data(), samples));
    return out;
}

int Peak(const std::vector<std::int16_t>& samples)
{
    int peak = 0;
    for (std::int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// Where sound starts after at least 300 samples of silence: levels are compared to a fifth of
// the render's own peak, so the two players' different mixing levels do not matter.
std::vector<int> FindOnsets(const std::vector<std::int16_t>& samples)
{
    const int threshold = Peak(samples) / 5;
    std::vector<int> onsets;
    int quiet = 300;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(static_cast<int>(samples[i])) < threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= 300)
            onsets.push_back(static_cast<int>(i));
        quiet = 0;
    }
    return onsets;
}

double FrequencyAfter(const std::vector<std::int16_t>& samples, int onset)
{
    const std::size_t start = static_cast<std::size_t>(onset) + 200;
    const std::size_t end = std::min(samples.size(), start + 3000);
    if (start >= end)
        return 0.0;
    return AudioTest::MeasureFrequency(std::vector<std::int16_t>(samples.begin() + static_cast<long>(start),
                                                                 samples.begin() + static_cast<long>(end)),
                                       RATE);
}

class ModulePlayerReference : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HasProgram("openmpt123"))
            GTEST_SKIP() << "openmpt123 is not installed (tools/dev/packages.txt lists it)";
    }

    TestFiles::TempDir m_dir;
};

} // namespace

TEST_F(ModulePlayerReference, EveryGeneratedModuleLoadsAndSoundsInTheReferencePlayer)
{
    for (const std::string& name : Tarv::GetXmFixtureNames()) {
        const std::vector<std::int16_t> reference = RenderReference(m_dir.Path(), name.c_str(), 1);
        EXPECT_GE(reference.size(), static_cast<std::size_t>(RATE / 2)) << name;
        EXPECT_GT(Peak(reference), 1000) << name;
    }
}

// Taken out: the head start of (speed - 1) ticks and the tuning (C-4 at 8188 Hz, not 8363 Hz).
// Left in on purpose and so not compared: the level (this player mixes one channel near full
// scale and squares the volume), tick lengths that are not whole samples (367 here against 367.5
// at 150 BPM), and every effect this player treats otherwise (slides on the row's tick, fine
// slides, envelope ends and sustain, key-off without an envelope), which the anchor avoids.
TEST_F(ModulePlayerReference, AnchorOnsetsAndPitchesMatchAfterTheHeadStartAndTuning)
{
    const std::vector<std::int16_t> reference = RenderReference(m_dir.Path(), "anchor", 5);
    const std::vector<std::int16_t> ours = RenderOurs("anchor", 5 * RATE);
    const std::vector<int> referenceOnsets = FindOnsets(reference);
    // The reference plays the song once; this player loops it, so only its first pass counts.
    const std::vector<int> ourOnsets = FindOnsets(ours);
    ASSERT_EQ(referenceOnsets.size(), 6u);
    ASSERT_GE(ourOnsets.size(), 6u);

    // Speed 6 at 125 BPM: this player reads its first row five ticks of 441 samples late.
    const int headStart = 5 * 441;
    for (std::size_t i = 0; i < referenceOnsets.size(); ++i) {
        // Within a sixth of a tick: the two players round a tick of 367.5 samples differently.
        EXPECT_NEAR(ourOnsets[i] - headStart, referenceOnsets[i], 64) << "note " << i;
        const double referenceHz = FrequencyAfter(reference, referenceOnsets[i]);
        const double ourHz = FrequencyAfter(ours, ourOnsets[i]);
        ASSERT_GT(referenceHz, 0.0);
        EXPECT_NEAR(ourHz / referenceHz, TUNING, TUNING * 0.001)
            << "note " << i << ": " << ourHz << " Hz against " << referenceHz << " Hz";
    }
}
