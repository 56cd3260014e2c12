// Loader-thread cost of turning decoded pixels into a drawable surface (staging into the
// texture layout, no GL call), and of an animated surface stepping its frames on the main
// thread.
#include "graphics/image/AnimatedSurface.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/image/MemPixelData.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{

Tarv::SmartPtr<Tarv::PixelData> Sheet(Tarv::PixelFormat format)
{
    Tarv::SmartPtr<Tarv::PixelData> pixels(new Tarv::MemPixelData(500, 300, format));
    std::mt19937 random(11);
    const std::size_t bytes = std::size_t(500) * 300 * Tarv::PixelData::GetFormatInfo(format)->bytesPerPixel;
    for (std::size_t i = 0; i < bytes; ++i)
        pixels->GetPixels()[i] = std::uint8_t(random());
    return pixels;
}

void BM_SurfaceFromPixels(benchmark::State& state)
{
    const Tarv::SmartPtr<Tarv::PixelData> pixels = Sheet(Tarv::PixelFormat(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::CreateSurface(pixels.Get()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 500 * 300 * 4);
}
BENCHMARK(BM_SurfaceFromPixels)->Arg(Tarv::PIXEL_FORMAT_RGB565)->Arg(Tarv::PIXEL_FORMAT_RGBA8888);

void BM_AnimationUpdate(benchmark::State& state)
{
    std::vector<Tarv::AnimatedSurface::Frame> frames;
    std::uint8_t pixel[4] = {1, 2, 3, 4};
    for (int i = 0; i < 16; ++i)
        frames.push_back({Tarv::SmartPtr<Tarv::Surface>(new Tarv::Surface(Tarv::PixelDataGL::CreateFromPixels(
                              1, 1, Tarv::PixelDataGL::FORMAT_RGBA8888, pixel, 4))),
                          0.05f, i, i});
    Tarv::AnimatedSurface animation(frames, true, nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(animation.Update(0.02f));
}
BENCHMARK(BM_AnimationUpdate);

} // namespace
