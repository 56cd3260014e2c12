// Image loading costs on the loader thread: PNG decoding, "CRLE" validation and texture staging
// (run-length decoding plus power-of-two padding) for a 500 x 300 sprite sheet, and the whole
// load of a 1024 x 1024 atlas page from its file to a drawable surface.
#include "engine/vfs/CachedFile.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/image/StagedPixelData.h"
#include "graphics/render/Surface.h"
#include "tools/image/ImageConvert.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{

// Blocks of flat colour with transparent gaps, like sprites on a sheet.
Tarv::RgbaImage Sheet(int width = 500, int height = 300)
{
    Tarv::RgbaImage image;
    image.width = width;
    image.height = height;
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
    if (!Tarv::ImageLoader::DecodeImage(file.data(), file.size()))
        return state.SkipWithError("the image did not decode");
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::ImageLoader::DecodeImage(file.data(), file.size()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 500 * 300 * 4);
}
BENCHMARK(BM_DecodePng);

void BM_DecodeCrle(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(false);
    if (!Tarv::ImageLoader::DecodeImage(file.data(), file.size()))
        return state.SkipWithError("the image did not decode");
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::ImageLoader::DecodeImage(file.data(), file.size()));
    state.counters["file_bytes"] = double(file.size());
}
BENCHMARK(BM_DecodeCrle);

void BM_StageRgba(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(true);
    Tarv::SmartPtr<Tarv::PixelData> pixels = Tarv::ImageLoader::DecodeImage(file.data(), file.size());
    if (!pixels)
        return state.SkipWithError("the image did not decode");
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::StagedPixelData::StagePixels(pixels.Get(), 512, 512));
}
BENCHMARK(BM_StageRgba);

void BM_StageRunLength(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = Encode(false);
    Tarv::SmartPtr<Tarv::PixelData> pixels = Tarv::ImageLoader::DecodeImage(file.data(), file.size());
    if (!pixels)
        return state.SkipWithError("the image did not decode");
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::StagedPixelData::StagePixels(pixels.Get(), 512, 512));
}
BENCHMARK(BM_StageRunLength);

// File bytes to a surface ready for its first draw, as the loader thread does for an atlas
// page (RGBA).
void BM_LoadAtlasPage(benchmark::State& state)
{
    const Tarv::RgbaImage page = Sheet(1024, 1024);
    std::vector<std::uint8_t> file;
    page.WritePng(file);
    Tarv::CachedFile first(file.data(), int(file.size()), false);
    if (!Tarv::ImageLoader::LoadFromStream(&first, 5))
        return state.SkipWithError("the page did not load");
    for (auto _ : state) {
        Tarv::CachedFile stream(file.data(), int(file.size()), false);
        benchmark::DoNotOptimize(Tarv::ImageLoader::LoadFromStream(&stream, 5));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 1024 * 1024 * 4);
}
BENCHMARK(BM_LoadAtlasPage)->Unit(benchmark::kMillisecond);

} // namespace
