// DebugPlot: sampling, the gliding range with its recentring, and the drawing of one plot.
#include "console/DebugPlot.h"

#include "console/ConsoleCanvas.h"
#include "console/DebugOverlay.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>

namespace Tarv
{

namespace
{

constexpr ConsoleColor WHITE{255, 255, 255, 255};
constexpr ConsoleColor BLUE{64, 64, 255, 255};
constexpr ConsoleColor RED{255, 64, 64, 255};
constexpr ConsoleColor GREEN{64, 255, 64, 255};

void Advance(DebugPlot::Smoother& smoother, float dt)
{
    smoother.timer += dt;
    while (smoother.timer > smoother.step) {
        if (smoother.target == smoother.shown) {
            smoother.timer = 0.0f;
            return;
        }
        smoother.shown += (smoother.target - smoother.shown) * smoother.factor;
        smoother.timer -= smoother.step;
    }
}

// Towards zero, within the int range; NaN gives 0. Rows of a tiny range or of values far
// outside it would otherwise overflow.
int Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(value, double(INT_MIN / 4), double(INT_MAX / 4)));
}

void DrawNumber(ConsoleCanvas& canvas, int x, int y, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    DebugOverlay::DrawString(canvas, x, y, text);
}

} // namespace

DebugPlot::DebugPlot(Sampler sampler)
    : m_sampler(std::move(sampler)),
      m_minimum{FLT_MAX, FLT_MAX, 0.5f, 0.033f, 0.0f},
      m_maximum{-FLT_MAX, -FLT_MAX, 0.5f, 0.033f, 0.0f}
{
}

int DebugPlot::GetCapacity() const
{
    return static_cast<int>(m_window / m_samplePeriod);
}

bool DebugPlot::HasSample() const
{
    return m_minimum.shown != FLT_MAX;
}

void DebugPlot::Update(float dt)
{
    m_sampleTimer += dt;
    Advance(m_minimum, dt);
    Advance(m_maximum, dt);
    if (m_sampleTimer > m_samplePeriod)
        TakeSample();
}

void DebugPlot::TakeSample()
{
    const float value = m_sampler ? m_sampler() : 0.0f;
    m_samples.push_back(value);
    const float low = std::min(m_minimum.shown, value);
    const float high = std::max(m_maximum.shown, value);
    if (m_minimum.shown == FLT_MAX)
        m_minimum.shown = low;
    m_minimum.target = low;
    if (m_maximum.shown == -FLT_MAX)
        m_maximum.shown = high;
    m_maximum.target = high;
    m_sampleTimer = 0.0f;

    const std::size_t capacity = static_cast<std::size_t>(GetCapacity());
    const std::size_t count = m_samples.size();
    if (count > capacity) {
        const float leaving = m_samples[count - 1 - capacity];
        m_average = (value - leaving + float(capacity) * m_average) / float(capacity);
    } else {
        m_average = (value + float(count - 1) * m_average) / float(count);
        return;
    }

    const float margin = (m_maximum.shown - m_minimum.shown) * 0.3f;
    const bool recentre = m_average < m_minimum.shown + margin || m_average > m_maximum.shown - margin;
    m_samples.erase(m_samples.begin(), m_samples.end() - static_cast<std::ptrdiff_t>(capacity));
    if (recentre) {
        const auto range = std::minmax_element(m_samples.begin(), m_samples.end());
        m_minimum.target = *range.first;
        m_maximum.target = *range.second;
    }
    float sum = 0.0f;
    for (float sample : m_samples)
        sum += sample;
    m_average = sum / float(capacity);
}

void DebugPlot::Render(ConsoleCanvas& canvas, const int rect[4]) const
{
    const int x = rect[0], y = rect[1], w = rect[2], h = rect[3];
    const int width = w - 20;
    const int xr = x + w - 10;
    const int yb = y + h - 10;
    canvas.DrawLine(x + w - 5, y + h - 5, x + w - 5, y + 5, WHITE);
    canvas.DrawLine(x + 5, y + h - 5, x + w - 5, y + h - 5, WHITE);
    canvas.DrawLine(x + w - 6, y + 6, x + w - 3, y + 6, WHITE);
    canvas.DrawLine(x + 10, yb, xr, yb, BLUE);
    canvas.DrawLine(x + 10, y + 10, xr, y + 10, RED);

    // Single precision throughout, as the rows are meant to come out. A range too wide for a
    // float gives a scale of 0, and products that are not numbers give row offsets of 0.
    const float range = m_maximum.shown - m_minimum.shown;
    const float scale = range != 0.0f ? float(h - 20) / range : 0.0f;
    const float dx = float(width) * m_samplePeriod / m_window;
    const auto row = [&](float value) { return yb - Truncate(scale * (value - m_minimum.shown)); };

    int averageRow = -10;
    if (m_samples.size() >= 2) {
        averageRow = row(m_average);
        canvas.DrawLine(x + 10, averageRow, xr, averageRow, GREEN);
        float offset = 0.0f;
        for (std::size_t i = m_samples.size() - 1; i > 0; --i) {
            const int newer = row(m_samples[i]);
            const int older = row(m_samples[i - 1]);
            if (newer > y + 7 && older > y + 7)
                canvas.DrawLine(xr - Truncate(offset), newer, xr - Truncate(offset + dx), older, WHITE);
            offset += dx;
            if (offset > float(width))
                break;
        }
    }
    DrawLabels(canvas, rect, averageRow);
}

void DebugPlot::DrawLabels(ConsoleCanvas& canvas, const int rect[4], int averageRow) const
{
    const int x = rect[0], y = rect[1], w = rect[2], h = rect[3];
    // Before the first sample the range ends are the float extremes: no labels for them.
    if (HasSample()) {
        DrawNumber(canvas, x + 12, y + h - 10 - 3, Truncate(m_minimum.shown));
        DrawNumber(canvas, x + 12, y + 7, Truncate(std::ceil(double(m_maximum.shown))));
        DrawNumber(canvas, x + 12, averageRow - 3, Truncate(m_average + 0.5));
    }
    DrawNumber(canvas, x + 3 + (w - 20) / 2, y + h - 8, Truncate(m_window * 0.5));
    DrawNumber(canvas, x + w - 10 + 2, y + h - 8, 0);
}

} // namespace Tarv
