// Tarv::DebugPlot: a live plot of a sampled value over the last ten seconds, with a smoothed
// value range that widens at once and narrows when the average leaves its middle.
#pragma once

#include "engine/core/RefCounter.h"

#include <functional>
#include <vector>

namespace Tarv
{

class ConsoleCanvas;

class DebugPlot : public RefCounter
{
public:
    using Sampler = std::function<float()>;

    // One end of the shown range, gliding towards its target.
    struct Smoother
    {
        float target;
        float shown;
        float factor;
        float step;
        float timer;
    };

    explicit DebugPlot(Sampler sampler);

    // Every frame: the range glides; a sample is taken once more than a sample period passed.
    void Update(float dt);
    // Axes, range lines, average, curve and labels inside rect {x, y, w, h}.
    void Render(ConsoleCanvas& canvas, const int rect[4]) const;

    // Samples held at most (window / period).
    int GetCapacity() const;
    const std::vector<float>& GetSamples() const { return m_samples; }
    const Smoother& GetMinimum() const { return m_minimum; }
    const Smoother& GetMaximum() const { return m_maximum; }
    float GetAverage() const { return m_average; }
    bool HasSample() const;

private:
    void TakeSample();
    void DrawLabels(ConsoleCanvas& canvas, const int rect[4], int averageRow) const;

    float m_sampleTimer = 0.0f;
    float m_samplePeriod = 0.1f;
    float m_window = 10.0f;
    Sampler m_sampler;
    std::vector<float> m_samples;
    Smoother m_minimum;
    Smoother m_maximum;
    float m_average = 0.0f;
};

} // namespace Tarv
