// Level 1 (32 columns) from the built archives: the load behind the loading screen (atlases,
// sounds, level and scripts, up to the switch to play), one logic step, and one drawn frame of
// play and of the menu, on llvmpipe and with the GL layer only counting (the CPU side); draw
// calls and bytes uploaded per frame. Frames of play also for level 13 and level 30, the one
// with every tool on its bar.
#include "bench/BenchScreen.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/AssetDict.h"
#include "framework/Settings.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/Game.h"
#include "game/MenuState.h"
#include "game/PlayState.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "gui/Screen.h"
#include "scene/BasicRenderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <unistd.h>

namespace
{

constexpr int LOAD_TIMEOUT_STEPS = 20000;
// A level played this many steps is started again, so steps keep measuring play.
constexpr int STEPS_PER_RUN = 300;

// The services the game sets up at start, over the archives beside the program.
class GameServices
{
public:
    explicit GameServices(int level = 1)
    {
        if (chdir(BRASHWICK_OUTPUT_DIR) != 0)
            return;
        Tarv::VfsInit();
        m_mounted = Tarv::VfsMountPak("platform.pak", "", 0) != nullptr &&
                    Tarv::VfsMountPak("common.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH) != nullptr &&
                    Tarv::VfsMountPak("atlas.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH) != nullptr;
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&Tarv::GLMachineInfo::Get());
        Quor::System::Create(nullptr);
        Quor::Settings& settings = *Quor::Settings::GetInstance();
        m_mounted = m_mounted && settings.Init("quor", "", "config/defaults.xml", true);
        m_step = Pirrock::Game::SetUpServices(&settings);
        Plim::Screen::InstallFactory();
        // The level won before: no hints hold the hero.
        settings.SetInt(Pirrock::PlayState::LEVEL_KEY, level);
        settings.SetInt(Pirrock::Game::LevelKey(level), 2);
        settings.SetBool("sfx_on", false);
        settings.SetBool("music_on", false);
    }
    ~GameServices()
    {
        m_machine.ReleaseStates();
        Quor::System::Destroy();
        if (Tarv::AssetDict::Instance)
            Tarv::AssetDict::Instance->ReleaseHeld();
        Tarv::AssetDict::Instance.Reset();
        Vund::Renderer::Instance.Reset();
        Tarv::VfsShutdown();
        Tarv::Registry::Instance.Reset();
        Tarv::TextDict::Instance.Reset();
    }

    bool IsReady() const { return m_mounted; }
    Quor::ApplicationState* GetCurrent() const { return m_machine.GetCurrent(); }

    // Changes to state behind the loading screen and steps until it is current; false when that
    // takes more than the bound.
    bool SwitchTo(Quor::ApplicationState* state)
    {
        const Tarv::NarrowString name = state->GetName();
        m_machine.ChangeState(state, true);
        for (int step = 0; step < LOAD_TIMEOUT_STEPS; ++step) {
            Step();
            if (m_machine.GetCurrent() != nullptr && m_machine.GetCurrent()->GetName() == name)
                return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

    // One logic step, as the application makes it.
    void Step()
    {
        Quor::System::GetInstance()->UpdateManagers(m_step);
        m_machine.Update(m_step);
    }

    void Render(Tarv::Surface* screen)
    {
        static const std::uint8_t black[4] = {0, 0, 0, 255};
        screen->ClearColor(black);
        m_machine.Render(screen);
        Quor::System::GetInstance()->RenderAll(screen);
    }

private:
    Quor::Substatable m_machine{"bench"};
    bool m_mounted = false;
    float m_step = 0.0f;
};

// The benchmark's screen, drawn by the GL driver on its own threads as a player's is (the test
// server asks programs for one rendering thread).
Tarv::MaemoSurface* PlayerScreen()
{
    setenv("LP_NUM_THREADS", std::to_string(std::thread::hardware_concurrency()).c_str(), 0);
    return BenchScreen::Get().GetScreen();
}

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
        if (!services.SwitchTo(new Pirrock::PlayState))
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
    if (!services.IsReady() || !services.SwitchTo(target))
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
    if (!services.IsReady() || !services.SwitchTo(new Pirrock::PlayState))
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
