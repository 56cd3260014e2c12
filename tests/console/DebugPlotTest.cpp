// The frame counter's windows, the plot's sampling, gliding range and recentring, and the plot's
// geometry through a recording canvas, also for samples that are not numbers or are huge.
#include "console/DebugPlot.h"
#include "console/FpsCounter.h"

#include "tests/console/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <sstream>

using namespace Tarv;
using Calls = std::vector<std::string>;

namespace
{

TEST(FpsCounter, MeasuresOnceMoreThanAQuarterSecondHasPassed)
{
    FpsCounter counter;
    counter.Update(0.125f), counter.Update(0.125f);
    EXPECT_EQ(counter.GetFps(), 0.0f);
    counter.Update(0.125f);
    EXPECT_FLOAT_EQ(counter.GetFps(), 8.0f);
    counter.Update(0.2f), counter.Update(0.1f);
    EXPECT_FLOAT_EQ(counter.GetFps(), 2.0f / 0.3f);
}

// A plot of `values`, one per sample, the last one repeated.
class Plot : public testing::Test
{
protected:
    void Samples(std::vector<float> list, int count)
    {
        values = std::move(list);
        for (int i = 0; i < count; ++i)
            plot.Update(0.101f);
    }
    ConsoleTest::RecordingCanvas Draw()
    {
        ConsoleTest::RecordingCanvas canvas;
        const int rect[4] = {10, 390, 246, 80};
        plot.Render(canvas, rect);
        return canvas;
    }

    std::vector<float> values{0.0f};
    std::size_t next = 0;
    DebugPlot plot{[this] { return values[std::min(next++, values.size() - 1)]; }};
};

TEST_F(Plot, TheRangeWidensAtOnceOnTheFirstSampleAndGlidesAfterwards)
{
    Samples({1.0f, 2.0f}, 2);
    EXPECT_EQ(plot.GetMinimum().shown, 1.0f);
    EXPECT_EQ(plot.GetMaximum().target, 2.0f);
    for (float shown : {1.5f, 1.75f, 1.875f}) {
        plot.Update(0.034f);
        EXPECT_FLOAT_EQ(plot.GetMaximum().shown, shown);
    }
    EXPECT_EQ(plot.GetMinimum().shown, 1.0f);
}

TEST_F(Plot, HoldsAHundredSamplesAndRecentresWhenTheAverageLeavesTheMiddle)
{
    std::vector<float> list(100, 0.0f);
    list[0] = 100.0f;
    list.push_back(1.0f);
    Samples(list, 100);
    EXPECT_FLOAT_EQ(plot.GetAverage(), 1.0f);
    plot.Update(0.101f);
    EXPECT_EQ(plot.GetSamples(), std::vector<float>(list.begin() + 1, list.end()));
    EXPECT_FLOAT_EQ(plot.GetAverage(), 0.01f);
    EXPECT_EQ(plot.GetMaximum().target, 1.0f);
    EXPECT_EQ(plot.GetMaximum().shown, 100.0f);
}

TEST_F(Plot, BeforeItsFirstSampleOnlyTheAxesAndTimeLabelsAreDrawn)
{
    const ConsoleTest::RecordingCanvas canvas = Draw();
    EXPECT_EQ(canvas.Only("line").size(), 5u);
    EXPECT_EQ(canvas.rows.size(), 1u);
    EXPECT_EQ(canvas.Row(462), "5" + std::string(14, ' ') + "0");
}

TEST_F(Plot, EqualSamplesLieOnTheMinimumLine)
{
    Samples({3.0f}, 5);
    const ConsoleTest::RecordingCanvas canvas = Draw();
    const Calls lines = canvas.Only("line");
    ASSERT_EQ(lines.size(), 5u + 1u + 4u);
    EXPECT_EQ(lines[0], "line 251 465 251 395 255 255 255 255");
    EXPECT_EQ(lines[5], "line 20 460 246 460 64 255 64 255");
    EXPECT_EQ(lines[6], "line 246 460 244 460 255 255 255 255");
    EXPECT_EQ(canvas.Row(457) + canvas.Row(397), "33");
}

TEST_F(Plot, SegmentsReachingTheLabelRowAreSkipped)
{
    // The shown range still glides up to 10 and 1000 lies far above it: its segment is skipped.
    Samples({0.0f, 10.0f, 10.0f, 1000.0f}, 4);
    const Calls lines = Draw().Only("line");
    EXPECT_EQ(Calls(lines.begin() + 6, lines.end()),
              (Calls{"line 244 400 242 400 255 255 255 255", "line 242 400 240 460 255 255 255 255"}));
}

// Scale, step and rows come out of single-precision arithmetic: 60 / 11 × 11 is a full 60
// rows, and ten steps of 0.3 pixels fall short of 3.
TEST_F(Plot, RowsAndStepsAreWorkedOutInSinglePrecision)
{
    Samples({11.0f, 0.0f}, 2);
    plot.Update(10.0f);
    // The glide down stops a step short of 0, at the least float above it.
    ASSERT_LT(plot.GetMinimum().shown, 1e-30f);
    ASSERT_EQ(plot.GetMaximum().shown, 11.0f);
    EXPECT_EQ(Draw().Only("line").back(), "line 244 460 242 400 255 255 255 255");

    // A plot 30 pixels wide steps 0.3 pixels a sample: ten steps end at 2.9999998.
    DebugPlot flat([] { return 3.0f; });
    for (int i = 0; i < 11; ++i)
        flat.Update(0.101f);
    ConsoleTest::RecordingCanvas canvas;
    const int narrow[4] = {10, 390, 50, 80};
    flat.Render(canvas, narrow);
    EXPECT_EQ(canvas.Only("line").back(), "line 48 460 48 460 255 255 255 255");
}

// Samples that are not numbers, infinite, or far beyond a narrow shown range: every row,
// position and label comes out as an int well inside the int range (none wraps round), a NaN
// lies on the base line and a huge value beyond the plot's edge.
TEST(PlotExtremes, RowsAndLabelsStayInRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    enum Side { BASE_LINE, ABOVE_THE_TOP, BELOW_THE_BASE };
    const struct {
        const char* what;
        std::vector<float> values; // one a sample
        Side average;
    } cases[] = {
        {"a NaN after numbers", {0.0f, 8.0f, 8.0f, nan}, BASE_LINE},
        {"a NaN first", {nan, 5.0f, 0.0f, 0.0f}, BASE_LINE},
        {"a huge sample over a range below 1", {0.0f, 1.0f, 1e30f}, ABOVE_THE_TOP},
        {"a huge negative one", {0.0f, 1.0f, -1e30f}, BELOW_THE_BASE},
        {"infinity", {0.0f, inf, inf}, BASE_LINE},
        {"minus infinity", {0.0f, -inf, -inf}, BASE_LINE},
        {"infinity first", {inf, 1.0f, 1.0f}, BASE_LINE},
    };
    const int rect[4] = {10, 390, 246, 80}; // base line at 460, top line at 400
    const auto inRange = [](const std::string& number) {
        return std::llabs(std::stoll(number)) < (1LL << 30);
    };
    for (const auto& c : cases) {
        std::size_t next = 0;
        DebugPlot plot([&] { return c.values[next++]; });
        while (next < c.values.size())
            plot.Update(0.101f);
        ConsoleTest::RecordingCanvas canvas;
        plot.Render(canvas, rect);

        Calls wrapped; // calls and labels with a number out of range
        for (const std::string& call : canvas.calls) {
            std::istringstream numbers(call.substr(call.find(' ') + 1));
            for (std::string number; numbers >> number;)
                if (!inRange(number))
                    wrapped.push_back(call);
        }
        for (const auto& row : canvas.rows) {
            std::istringstream labels(canvas.Row(row.first));
            for (std::string label; labels >> label;)
                if (!inRange(label))
                    wrapped.push_back("label " + label);
        }
        EXPECT_EQ(wrapped, Calls{}) << c.what;
        const Calls lines = canvas.Only("line");
        const auto average = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.size() > 14 && line.compare(line.size() - 14, 14, " 64 255 64 255") == 0;
        });
        ASSERT_NE(average, lines.end()) << c.what;
        const int row = std::stoi(average->substr(8));
        const bool onItsSide = c.average == BASE_LINE       ? row == 460
                               : c.average == ABOVE_THE_TOP ? row < 400
                                                            : row > 460;
        EXPECT_TRUE(onItsSide) << c.what << ": " << *average;
    }
}

} // namespace
