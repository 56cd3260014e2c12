// Frame pacing: passes that end early wait for the next frame, slow or on-time ones never wait,
// and a stall restarts the cadence instead of bursting to catch up.
#include "platform/FramePacer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace
{

using Tarv::FramePacer;
constexpr std::int64_t MS = 1000000;
constexpr std::int64_t FRAME = FramePacer::FRAME_NS;

struct PassCase
{
    const char* name;
    std::vector<std::int64_t> passEnds; // each pass's end, after the previous wait
    std::vector<std::int64_t> waits;
};

void PrintTo(const PassCase& passCase, std::ostream* out)
{
    *out << passCase.name;
}

class FramePacerPasses : public ::testing::TestWithParam<PassCase>
{
};

TEST_P(FramePacerPasses, WaitsOnlyWhatTheFrameHasLeft)
{
    FramePacer pacer;
    std::vector<std::int64_t> waits;
    for (std::int64_t end : GetParam().passEnds)
        waits.push_back(pacer.GetWait(end));
    EXPECT_EQ(waits, GetParam().waits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramePacerPasses,
    ::testing::Values(
        // A swap that does not wait: 2 ms passes are spread one frame apart, without drift.
        PassCase{"FastSwap", {0, 2 * MS, FRAME + 2 * MS, 2 * FRAME + 2 * MS}, {0, FRAME - 2 * MS, FRAME - 2 * MS, FRAME - 2 * MS}},
        // A swap that waits for a 60 Hz display (or one a little faster) is never delayed.
        PassCase{"SyncedSwap", {0, FRAME, 2 * FRAME - MS, 3 * FRAME - 2 * MS}, {0, 0, 0, 0}},
        // A 100 ms stall: no wait, and the passes after it are paced from the stall's end.
        PassCase{"Stall", {0, 2 * MS, 100 * MS, 102 * MS}, {0, FRAME - 2 * MS, 0, FRAME - 2 * MS}}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

} // namespace
