// The time-skew resampler: exact frame choice, phase carried across blocks, and no read past
// the input whatever the factor.
#include "audio/EffectScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace
{

const Tarv::AudioFormat MONO{1, 22050};
const Tarv::AudioFormat STEREO{2, 22050};

// Runs one block: asks the input size for outFrames, fills the input from data at offset, and
// returns the output frames. offset advances by the input consumed.
std::vector<std::int16_t> RunBlock(Tarv::EffectScale& scale, const std::vector<std::int16_t>& data,
                                   std::size_t& offset, unsigned outFrames)
{
    const unsigned inBytes = scale.GetInputSize(outFrames * 2);
    std::vector<std::int16_t> buffer(std::max<std::size_t>(inBytes / 2, outFrames), 0);
    for (std::size_t i = 0; i < inBytes / 2 && offset + i < data.size(); ++i)
        buffer[i] = data[offset + i];
    offset += inBytes / 2;
    EXPECT_EQ(scale.Process(buffer.data(), inBytes, inBytes), outFrames * 2);
    buffer.resize(outFrames);
    return buffer;
}

std::vector<std::int16_t> Frames(std::initializer_list<int> values)
{
    return std::vector<std::int16_t>(values.begin(), values.end());
}

} // namespace

// Double speed skips every other frame, half speed repeats frames, stereo keeps frames together.
TEST(EffectScale, PicksWholeFrames)
{
    const struct { Tarv::AudioFormat format; float factor; unsigned inBytes; std::vector<std::int16_t> in, out; } cases[] = {
        {MONO, 2.0f, 16u, {10, 11, 12, 13, 14, 15, 16, 17}, {10, 11, 13, 15}},
        {MONO, 0.5f, 4u, {7, 9, 0, 0}, {7, 7, 9, 9}},
        {STEREO, 2.0f, 16u, {1, -1, 2, -2, 3, -3, 4, -4}, {1, -1, 2, -2}}};
    for (const auto& c : cases) {
        Tarv::EffectScale scale(c.format, c.factor);
        EXPECT_EQ(scale.GetInputSize(8), c.inBytes) << c.factor;
        std::vector<std::int16_t> buffer = c.in;
        EXPECT_EQ(scale.Process(buffer.data(), c.inBytes, c.inBytes), 8u) << c.factor;
        EXPECT_EQ(std::vector<std::int16_t>(buffer.begin(), buffer.begin() + 4), c.out) << c.factor;
    }
}

TEST(EffectScale, ZeroFactorHoldsTheLastFrame)
{
    const float zero = 0.0f;
    Tarv::EffectScale fresh(MONO, zero);
    std::vector<std::int16_t> buffer = {5, 6, 7, 8};
    // A fresh stage still takes its first frame, then holds it.
    EXPECT_EQ(fresh.GetInputSize(8), 0u);
    EXPECT_EQ(fresh.Process(buffer.data(), 0, 0), 8u);
    EXPECT_EQ(buffer, Frames({0, 0, 0, 0}));

    const float half = 0.5f;
    Tarv::EffectScale scale(MONO, half);
    std::size_t offset = 0;
    const std::vector<std::int16_t> data = {40, 41, 42, 43};
    EXPECT_EQ(RunBlock(scale, data, offset, 2), Frames({40, 40}));
    scale.SetFactor(0.0f);
    EXPECT_EQ(scale.GetInputSize(8), 0u);
    EXPECT_EQ(RunBlock(scale, data, offset, 4), Frames({40, 40, 40, 40}));
}

TEST(EffectScale, UnitFactorPassesThroughWhateverThePhase)
{
    const float factor = 0.75f;
    Tarv::EffectScale scale(MONO, factor);
    std::size_t offset = 0;
    RunBlock(scale, std::vector<std::int16_t>(64, 3), offset, 16);
    scale.SetFactor(1.0f);
    std::vector<std::int16_t> buffer = {1, 2, 3, 4};
    EXPECT_EQ(scale.Process(buffer.data(), 6, 6), 6u);
    EXPECT_EQ(buffer, Frames({1, 2, 3, 4}));
}

// Holds for slowing factors. Above 1.0 the input size rounds up past the frame the next take
// starts from, so each block skips one input frame; only the developer time skew speeds sound up.
TEST(EffectScale, SlowedBlocksInARowEqualOneLongRun)
{
    std::vector<std::int16_t> data(20000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::int16_t>(i);
    for (float factor : {0.25f, 0.5f, 0.625f, 0.75f}) {
        Tarv::EffectScale blocks(MONO, factor);
        std::size_t offset = 0;
        std::vector<std::int16_t> joined;
        for (int block = 0; block < 8; ++block) {
            const std::vector<std::int16_t> out = RunBlock(blocks, data, offset, 256);
            joined.insert(joined.end(), out.begin(), out.end());
        }
        Tarv::EffectScale whole(MONO, factor);
        std::size_t wholeOffset = 0;
        EXPECT_EQ(RunBlock(whole, data, wholeOffset, 8 * 256), joined) << factor;
        EXPECT_EQ(wholeOffset, offset) << factor;
    }
}

TEST(EffectScale, FactorChangeAfterSizingNeverReadsPastTheInput)
{
    const float factor = 0.5f;
    Tarv::EffectScale scale(MONO, factor);
    const unsigned inBytes = scale.GetInputSize(2048);
    std::vector<std::int16_t> buffer(1024, 9);
    scale.SetFactor(16.0f);
    // Under ASan a read past inBytes would be reported; the stage holds the last frame instead.
    EXPECT_EQ(scale.Process(buffer.data(), inBytes, inBytes), 2048u);
    EXPECT_EQ(buffer[1023], 9);
}

TEST(EffectScale, HostileFactorsAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Tarv::EffectScale scale(MONO, nan);
    EXPECT_EQ(scale.GetFactor(), 1.0f);
    scale.SetFactor(-1.0f);
    EXPECT_EQ(scale.GetFactor(), 0.0f);
    EXPECT_EQ(scale.GetInputSize(2048), 0u);
    scale.SetFactor(1e30f);
    EXPECT_EQ(scale.GetFactor(), Tarv::EffectScale::MAX_FACTOR);
    EXPECT_LE(scale.GetInputSize(2048), 2048u * 16u + 2u);
    scale.SetFactor(std::numeric_limits<float>::infinity());
    EXPECT_EQ(scale.GetFactor(), 1.0f);
}
