// The frame counter's windows, the plot's sampling, gliding range and recentring, and the plot's
// geometry through a recording canvas.
#include "console/DebugPlot.h"
#include "console/FpsCounter.h"

#include "tests/console/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>

using namespace Tarv;
using ConsoleTest::RecordingCanvas;

namespace
{

TEST(FpsCounter, MeasuresOnceMoreThanAQuarterSecondHasPassed)
{
    FpsCounter counter;
    counter.Update(0.125f);
    counter.Update(0.125f);
    EXPECT_EQ(counter.GetFps(), 0.0f);
    counter.Update(0.125f);
    EXPECT_FLOAT_EQ(counter.GetFps(), 8.0f);
    counter.Update(0.2f);
    EXPECT_FLOAT_EQ(counter.GetFps(), 8.0f);
    counter.Update(0.1f);
    EXPECT_FLOAT_EQ(counter.GetFps(), 2.0f / 0.3f);
}

// A plot of the values in `values`, one per call, the last repeated.
class Plot : public testing::Test
{
protected:
    DebugPlot plot{[this] {
        const float value = values[std::min(next, values.size() - 1)];
        ++next;
        return value;
    }};
    std::vector<float> values{0.0f};
    std::size_t next = 0;

    // One sample: a frame just past the sample period.
    void Sample() { plot.Update(0.101f); }
    RecordingCanvas Draw()
    {
        RecordingCanvas canvas;
        const int rect[4] = {10, 390, 246, 80};
        plot.Render(canvas, rect);
        return canvas;
    }
};

TEST_F(Plot, TheRangeWidensAtOnceOnTheFirstSampleAndGlidesAfterwards)
{
    values = {1.0f, 2.0f};
    plot.Update(0.1f);
    EXPECT_TRUE(plot.GetSamples().empty());
    Sample();
    EXPECT_EQ(plot.GetMinimum().shown, 1.0f);
    EXPECT_EQ(plot.GetMaximum().shown, 1.0f);
    Sample();
    EXPECT_EQ(plot.GetMaximum().target, 2.0f);
    const float glide[] = {1.5f, 1.75f, 1.875f};
    for (float shown : glide) {
        plot.Update(0.034f);
        EXPECT_FLOAT_EQ(plot.GetMaximum().shown, shown);
    }
    EXPECT_EQ(plot.GetMinimum().shown, 1.0f);
}

TEST_F(Plot, HoldsAHundredSamplesAndRecentresWhenTheAverageLeavesTheMiddle)
{
    values.assign(100, 0.0f);
    values[0] = 100.0f;
    values.push_back(1.0f);
    for (int i = 0; i < 100; ++i)
        Sample();
    EXPECT_EQ(plot.GetSamples().size(), 100u);
    EXPECT_FLOAT_EQ(plot.GetAverage(), 1.0f);
    Sample();
    ASSERT_EQ(plot.GetSamples().size(), 100u);
    EXPECT_EQ(plot.GetSamples().front(), 0.0f);
    EXPECT_FLOAT_EQ(plot.GetAverage(), 0.01f);
    EXPECT_EQ(plot.GetMaximum().target, 1.0f);
    EXPECT_EQ(plot.GetMaximum().shown, 100.0f);
}

TEST_F(Plot, BeforeItsFirstSampleOnlyTheAxesAndTimeLabelsAreDrawn)
{
    const RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Only("line").size(), 5u);
    EXPECT_EQ(canvas.Row(462), "5" + std::string(14, ' ') + "0");
    EXPECT_EQ(canvas.Rows(), (std::vector<int>{462}));
}

TEST_F(Plot, EqualSamplesLieOnTheMinimumLine)
{
    values = {3.0f};
    for (int i = 0; i < 5; ++i)
        Sample();
    const RecordingCanvas canvas = Draw();
    const std::vector<std::string> lines = canvas.Only("line");
    EXPECT_EQ(lines[0], "line 251 465 251 395 255 255 255 255");
    EXPECT_EQ(lines[5], "line 20 460 246 460 64 255 64 255");
    EXPECT_EQ(lines[6], "line 246 460 244 460 255 255 255 255");
    EXPECT_EQ(lines.size(), 5u + 1u + 4u);
    EXPECT_EQ(canvas.Row(457), "3");
    EXPECT_EQ(canvas.Row(397), "3");
}

TEST_F(Plot, SegmentsReachingTheLabelRowAreSkipped)
{
    values = {0.0f, 10.0f, 10.0f, 1000.0f};
    for (int i = 0; i < 4; ++i)
        Sample();
    const std::vector<std::string> lines = Draw().Only("line");
    // The shown range still glides up to 10 and 1000 lies far above it: its segment is skipped.
    ASSERT_EQ(lines.size(), 5u + 1u + 2u);
    EXPECT_EQ(lines[7], "line 242 400 240 460 255 255 255 255");
}

} // namespace
