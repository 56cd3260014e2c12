// Image loading costs on the loader thread: PNG decoding, "CRLE" validation and texture staging
// (run-length decoding plus power-of-two padding) for a 500 x 300 sprite sheet.
#include "graphics/image/ImageLoader.h"
#include "graphics/image/PixelDataGL.h"
#include "tools/image/ImageConvert.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{

// Blocks of flat colour with transparent gaps, like sprites on a sheet.
Tarv::RgbaImage Sheet()
{
    Tarv::RgbaImage image;
    image.width = 500;
    image.height = 300;
    std::mt19937 random(7);
    image.pixels.resize(std::size_t(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
            const bool inside = (x % 50) < 40 && (y % 50) < 40;
            p[0] = std::uint8_t(x / 50 * 25);
            p[1] = std::uint8_t(y / 50 * 40);
            p[2] = std::uint8_t(random() & 0x0F);
            p[3] = inside ? 255 : 0;
        }
    return image;
}

std::vector<std::uint8_t> Encode(bool png)
{
    std::vector<std::uint8_t> bytes;
    if (png)
        Sheet().WritePng(bytes);
    else
        Tarv::ImageConvert::WriteCrle(Sheet(), bytes);
    return bytes;
}

void BM_DecodePng(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::ImageLoader::DecodeImage(file.data(), file.size()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 500 * 300 * 4);
}
BENCHMARK(BM_DecodePng);

void BM_DecodeCrle(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::ImageLoader::DecodeImage(file.data(), file.size()));
    state.counters["file_bytes"] = double(file.size());
}
BENCHMARK(BM_DecodeCrle);

void BM_StageRgba(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(true);
    Tarv::SmartPtr<Tarv::PixelData> pixels = Tarv::ImageLoader::DecodeImage(file.data(), file.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::PixelDataGL::StagePixels(pixels.Get(), 512, 512));
}
BENCHMARK(BM_StageRgba);

void BM_StageRunLength(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(false);
    Tarv::SmartPtr<Tarv::PixelData> pixels = Tarv::ImageLoader::DecodeImage(file.data(), file.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::PixelDataGL::StagePixels(pixels.Get(), 512, 512));
}
BENCHMARK(BM_StageRunLength);

} // namespace
