// Checks that a benchmark's frames hold work, so that a set-up that draws nothing (a camera
// without a screen size, an empty layout) fails instead of timing an empty picture.
#pragma once

#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace FrameCheck
{

// Draws one more frame on the real screen, outside the measurement: clear, then draw, each read
// back before the frame is shown. Reports the share of pixels the drawing changed as
// "drawnPct" and fails the benchmark when it changed none.
template <class Clear, class Draw>
void CheckPicture(benchmark::State& state, Tarv::MaemoSurface* screen, Clear clear, Draw draw)
{
    const int width = screen->GetWidth();
    const int height = screen->GetHeight();
    std::vector<std::uint8_t> cleared;
    std::vector<std::uint8_t> drawn;
    screen->BeginFrame();
    clear();
    const bool readCleared = screen->ReadPixels(0, 0, width, height, cleared);
    draw();
    const bool readDrawn = screen->ReadPixels(0, 0, width, height, drawn);
    screen->EndFrame();
    if (!readCleared || !readDrawn)
        return state.SkipWithError("the frame could not be read back");
    std::size_t changed = 0;
    for (std::size_t i = 0; i < drawn.size(); i += 4) {
        if (drawn[i] != cleared[i] || drawn[i + 1] != cleared[i + 1] || drawn[i + 2] != cleared[i + 2])
            ++changed;
    }
    state.counters["drawnPct"] = 100.0 * static_cast<double>(changed) / static_cast<double>(drawn.size() / 4);
    if (changed == 0)
        state.SkipWithError("the frame drew nothing");
}

// For frames whose GL calls are only counted: reports the triangles handed to GL per frame since
// the counters stood at indicesBefore, and fails the benchmark when there were none.
inline void CheckCountedTriangles(benchmark::State& state, std::uint64_t indicesBefore)
{
    const std::uint64_t indices = Tarv::GLCalls::GetCounters().indicesDrawn - indicesBefore;
    const double frames = static_cast<double>(state.iterations());
    state.counters["trianglesPerFrame"] = frames > 0 ? static_cast<double>(indices) / 3.0 / frames : 0.0;
    if (indices == 0)
        state.SkipWithError("the frames drew nothing");
}

} // namespace FrameCheck
