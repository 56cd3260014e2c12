// Drawing cost: frames of N sprites from one texture and from alternating textures at 800x480
// on llvmpipe (draw calls, bytes uploaded and frames per second), and the renderer's own CPU
// cost per blit with the GL layer counting only (for callgrind: DrawSpriteFrame and
// DrawTurnedFrame).
#include "bench/BenchScreen.h"
#include "bench/FrameCheck.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/OpenGLCaps.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace
{

using Tarv::SmartPtr;
using Tarv::Surface;

constexpr int SPRITE_SIZE = 32;

SmartPtr<Surface> MakeSprite(std::uint8_t shade)
{
    std::vector<std::uint8_t> pixels(SPRITE_SIZE * SPRITE_SIZE * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = shade;
        pixels[i + 1] = static_cast<std::uint8_t>(i);
        pixels[i + 2] = static_cast<std::uint8_t>(i >> 8);
        pixels[i + 3] = 255;
    }
    return SmartPtr<Surface>(new Surface(Tarv::PixelDataGL::CreateFromPixels(
        SPRITE_SIZE, SPRITE_SIZE, Tarv::PixelDataGL::FORMAT_RGBA8888, pixels.data(), pixels.size())));
}

// Fixed pseudo-random positions on the 800x480 screen.
std::vector<int> Positions(int count)
{
    std::vector<int> xy;
    std::uint32_t seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        xy.push_back(static_cast<int>((seed >> 8) % (800 - SPRITE_SIZE)));
        seed = seed * 1664525u + 1013904223u;
        xy.push_back(static_cast<int>((seed >> 8) % (480 - SPRITE_SIZE)));
    }
    return xy;
}

// One frame's blits; kept out of line so callgrind can count exactly this.
__attribute__((noinline)) void DrawSpriteFrame(Surface* target, Surface* const* sprites,
                                               int spriteCount, const std::vector<int>& xy)
{
    static const int RECT[4] = {0, 0, SPRITE_SIZE, SPRITE_SIZE};
    const int count = static_cast<int>(xy.size() / 2);
    for (int i = 0; i < count; ++i)
        target->Blit(xy[2 * i], xy[2 * i + 1], sprites[i % spriteCount], RECT);
}

// The same with turned and scaled sprites (one sine and cosine each).
__attribute__((noinline)) void DrawTurnedFrame(Surface* target, Surface* sprite,
                                               const std::vector<int>& xy)
{
    const float pivot[2] = {SPRITE_SIZE / 2.0f, SPRITE_SIZE / 2.0f};
    const int count = static_cast<int>(xy.size() / 2);
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>(xy[2 * i]), y = static_cast<float>(xy[2 * i + 1]);
        const float angle = 0.001f * static_cast<float>(i);
        const float scale = 1.0f + 0.0001f * static_cast<float>(i);
        target->BlitTransformed(sprite, &x, &y, &angle, &scale, pivot, i % 3);
    }
}

void DrawFrames(benchmark::State& state, int textures)
{
    Tarv::MaemoSurface* screen = BenchScreen::Get().GetScreen();
    if (screen == nullptr) {
        state.SkipWithError("no screen");
        return;
    }
    auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    const SmartPtr<Surface> first = MakeSprite(200), second = MakeSprite(60);
    Surface* sprites[2] = {first.Get(), second.Get()};
    const std::vector<int> xy = Positions(static_cast<int>(state.range(0)));
    DrawSpriteFrame(screen, sprites, textures, xy); // uploads outside the measurement
    screen->EndFrame();
    batcher->ResetStats();
    for (auto _ : state) {
        screen->BeginFrame();
        screen->ClearGrey(0);
        DrawSpriteFrame(screen, sprites, textures, xy);
        screen->EndFrame();
    }
    const double frames = static_cast<double>(state.iterations());
    const Tarv::BatcherStats& stats = batcher->GetStats();
    state.counters["drawCallsPerFrame"] = static_cast<double>(stats.drawCalls) / frames;
    state.counters["bytesPerFrame"] = static_cast<double>(stats.bytesUploaded) / frames;
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    FrameCheck::CheckPicture(
        state, screen, [screen] { screen->ClearGrey(0); },
        [&] { DrawSpriteFrame(screen, sprites, textures, xy); });
}

void BM_OneTextureFrame(benchmark::State& state)
{
    DrawFrames(state, 1);
}
BENCHMARK(BM_OneTextureFrame)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_AlternatingTexturesFrame(benchmark::State& state)
{
    DrawFrames(state, 2);
}
BENCHMARK(BM_AlternatingTexturesFrame)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The renderer alone: every GL call is counted but goes nowhere. Second argument: the number
// of textures the sprites alternate between, or 0 for turned and scaled sprites.
void BM_BlitCpuOnly(benchmark::State& state)
{
    const bool hadScreen = Tarv::Display::ScreenSurface.Get() != nullptr;
    Tarv::GLCalls::SetForwarding(false);
    Tarv::OpenGLCaps::Init();
    {
        Surface target(Tarv::PixelDataGL::CreateScreen(800, 480));
        target.AddRef(); // lives on the stack; never let a SmartPtr free it
        const SmartPtr<Surface> first = MakeSprite(200), second = MakeSprite(60);
        Surface* sprites[2] = {first.Get(), second.Get()};
        const std::vector<int> xy = Positions(static_cast<int>(state.range(0)));
        const int textures = static_cast<int>(state.range(1));
        const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
        for (auto _ : state) {
            if (textures == 0)
                DrawTurnedFrame(&target, sprites[0], xy);
            else
                DrawSpriteFrame(&target, sprites, textures, xy);
            Tarv::Batcher::Instance->Flush();
        }
        state.SetItemsProcessed(state.iterations() * state.range(0));
        FrameCheck::CheckCountedTriangles(state, indicesBefore);
        Tarv::OpenGLCaps::Shutdown();
    }
    Tarv::GLCalls::SetForwarding(true);
    if (hadScreen)
        Tarv::OpenGLCaps::Init();
}
BENCHMARK(BM_BlitCpuOnly)->Args({10000, 1})->Args({10000, 2})->Args({10000, 0});

} // namespace
