// Level 1 (32 columns) from the built archives: the load behind the loading screen (atlases,
// sounds, level and scripts, up to the switch to play), one logic step, and one drawn frame of
// play and of the menu, on llvmpipe and with the GL layer only counting (the CPU side); draw
// calls and bytes uploaded per frame. Frames of play also for level 13 and level 30, the one
// with every tool on its bar.
#include "bench/FrameCheck.h"
#include "bench/GameServices.h"
#include "game/MenuState.h"
#include "game/PlayState.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/Surface.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace
{

// A level played this many steps is started again, so steps keep measuring play.
constexpr int STEPS_PER_RUN = 300;

void ReportFrameCounters(benchmark::State& state)
{
    const Tarv::GLCalls::Counters& counters = Tarv::GLCalls::GetCounters();
    const double frames = static_cast<double>(state.iterations());
    // Why batches end: a change of texture page, of blending, or the end of the frame.
    const auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    const auto& flushes = batcher->GetStats().flushes;
    state.counters["textureBreaksPerFrame"] = static_cast<double>(flushes[Tarv::FLUSH_TEXTURE]) / frames;
    state.counters["blendBreaksPerFrame"] = static_cast<double>(flushes[Tarv::FLUSH_BLEND]) / frames;
    state.counters["drawCallsPerFrame"] = static_cast<double>(counters.drawCalls) / frames;
    state.counters["bytesUploadedPerFrame"] = static_cast<double>(counters.bytesUploaded) / frames;
    state.counters["textureUploadsPerFrame"] = static_cast<double>(counters.textureUploads) / frames;
}

// The switch to play, then (apart) the first frame, which uploads the level's pages.
void BM_LoadLevel(benchmark::State& state)
{
    Tarv::MaemoSurface* screen = PlayerScreen();
    if (screen == nullptr)
        return state.SkipWithError("no screen");
    GameServices services;
    if (!services.IsReady())
        return state.SkipWithError("no archives");
    double firstFrameMs = 0.0;
    for (auto _ : state) {
        if (!services.SwitchTo(new Pirrock::PlayState) || !services.IsPlaying())
            return state.SkipWithError("level 1 did not load");
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        screen->BeginFrame();
        services.Render(screen);
        screen->EndFrame();
        firstFrameMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        services.SwitchTo(new Pirrock::MenuState);
        state.ResumeTiming();
    }
    state.counters["firstFrameMs"] = firstFrameMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LoadLevel)->Unit(benchmark::kMillisecond)->Iterations(5);

// Frames of a state (no logic steps between them) on the real screen (llvmpipe) or, with forward false, with GL calls only
// counted: the game's own CPU side.
void RunFrames(benchmark::State& state, Quor::ApplicationState* target, bool forward, int level = 1)
{
    Tarv::MaemoSurface* screen = PlayerScreen();
    if (screen == nullptr)
        return state.SkipWithError("no screen");
    GameServices services(level);
    const bool play = target->GetName() == Pirrock::PlayState::NAME;
    if (!services.IsReady() || !services.SwitchTo(target) || (play && !services.IsPlaying()))
        return state.SkipWithError("the state did not load");
    // The first frame uploads the state's pages.
    screen->BeginFrame();
    services.Render(screen);
    screen->EndFrame();
    Tarv::GLCalls::SetForwarding(forward);
    Tarv::GLCalls::ResetCounters();
    static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get())->ResetStats();
    for (auto _ : state) {
        screen->BeginFrame();
        services.Render(screen);
        if (forward) {
            screen->EndFrame();
        } else {
            Tarv::Batcher::Instance->Flush();
        }
    }
    ReportFrameCounters(state);
    Tarv::GLCalls::SetForwarding(true);
    if (forward)
        FrameCheck::CheckPicture(
            state, screen, [screen] { screen->ClearGrey(0); }, [&] { services.Render(screen); });
    else
        FrameCheck::CheckCountedTriangles(state, 0);
}

// The argument is the level.
void BM_PlayFrame(benchmark::State& state)
{
    RunFrames(state, new Pirrock::PlayState, true, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(13)->Arg(30);

void BM_PlayFrameCpuSide(benchmark::State& state)
{
    RunFrames(state, new Pirrock::PlayState, false, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PlayFrameCpuSide)->Unit(benchmark::kMicrosecond)->Arg(1)->Arg(13)->Arg(30);

void BM_MenuFrameCpuSide(benchmark::State& state)
{
    RunFrames(state, new Pirrock::MenuState, false);
}
BENCHMARK(BM_MenuFrameCpuSide)->Unit(benchmark::kMicrosecond);

// One logic step of play alone: the hero, the World, the director, the camera and the HUD's
// update.
void BM_PlayStep(benchmark::State& state)
{
    if (PlayerScreen() == nullptr)
        return state.SkipWithError("no screen");
    GameServices services;
    if (!services.IsReady() || !services.SwitchTo(new Pirrock::PlayState) || !services.IsPlaying())
        return state.SkipWithError("level 1 did not load");
    int steps = 0;
    for (auto _ : state) {
        services.Step();
        if (++steps % STEPS_PER_RUN == 0) {
            state.PauseTiming();
            services.GetCurrent()->OnLuaFeedback("hud", "RestartLevel");
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PlayStep)->Unit(benchmark::kMicrosecond);

} // namespace
