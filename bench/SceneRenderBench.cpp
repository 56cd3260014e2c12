// The basic renderer drawing a scene of 2000 sprites cut from one atlas page at mixed depths,
// through the 60-degree camera at 800x480: CPU time and draw calls per frame on llvmpipe, and
// the scene layer's own CPU cost with the GL layer counting only.
#include "bench/BenchScreen.h"
#include "bench/FrameCheck.h"
#include "engine/registry/Registry.h"
#include "graphics/image/AtlasSurface.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/OpenGLCaps.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "scene/BasicRenderer.h"
#include "scene/Camera.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace
{

using Tarv::SmartPtr;
using Tarv::Surface;

constexpr int PAGE_SIZE = 256;
constexpr int REGION = 32;

// One page, 64 regions of 32x32; sprites at four depths (behind, at and in front of the
// world layer), fixed pseudo-random positions, every third one untransformed.
SmartPtr<Vund::Scene> MakeScene(int count)
{
    std::vector<std::uint8_t> pixels(PAGE_SIZE * PAGE_SIZE * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<std::uint8_t>(i >> 4);
        pixels[i + 1] = static_cast<std::uint8_t>(i >> 10);
        pixels[i + 2] = 160;
        pixels[i + 3] = 255;
    }
    const SmartPtr<Surface> page(new Surface(Tarv::PixelDataGL::CreateFromPixels(
        PAGE_SIZE, PAGE_SIZE, Tarv::PixelDataGL::FORMAT_RGBA8888, pixels.data(), pixels.size())));
    std::vector<SmartPtr<Surface>> regions;
    for (int y = 0; y < PAGE_SIZE; y += REGION)
        for (int x = 0; x < PAGE_SIZE; x += REGION)
            regions.push_back(SmartPtr<Surface>(new Tarv::AtlasSurface(page.Get(), x, y, REGION, REGION)));
    const float depths[4] = {-400.0f, -150.0f, 0.0f, 120.0f};
    SmartPtr<Vund::Scene> scene(new Vund::Scene());
    std::uint32_t seed = 2024;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float x = static_cast<float>((seed >> 8) % 1200) - 200.0f;
        seed = seed * 1664525u + 1013904223u;
        const float y = static_cast<float>((seed >> 8) % 700) - 100.0f;
        auto* sprite = new Vund::Sprite(regions[static_cast<std::size_t>(i) % regions.size()],
                                        Vund::Vector3D(x, y, depths[i % 4]), 1.0f);
        sprite->rotation = 0.01f * static_cast<float>(i % 50);
        if (i % 3 == 0)
            sprite->SetTransformed(false);
        scene->AddObject(SmartPtr<Vund::DrawableObject>(sprite));
    }
    return scene;
}

// The registry reads the screen's size from the machine, as the game's does: the camera projects
// onto that size, and a machine without a screen would project every sprite to nothing.
struct SceneSlots
{
    SceneSlots()
    {
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&Tarv::GLMachineInfo::Get());
        Vund::Renderer::Instance = new Vund::BasicRenderer();
    }
    ~SceneSlots()
    {
        Vund::ActiveCamera.Reset();
        Vund::Renderer::Instance.Reset();
        Tarv::Registry::Instance.Reset();
    }
};

void BM_SceneFrame(benchmark::State& state)
{
    Tarv::MaemoSurface* screen = BenchScreen::Get().GetScreen();
    if (screen == nullptr) {
        state.SkipWithError("no screen");
        return;
    }
    SceneSlots slots;
    auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    const SmartPtr<Vund::Scene> scene = MakeScene(static_cast<int>(state.range(0)));
    scene->Draw(screen); // uploads the page outside the measurement
    screen->EndFrame();
    batcher->ResetStats();
    for (auto _ : state) {
        screen->BeginFrame();
        screen->ClearGrey(0);
        scene->Draw(screen);
        screen->EndFrame();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["drawCallsPerFrame"] = static_cast<double>(batcher->GetStats().drawCalls) / frames;
    state.SetItemsProcessed(state.iterations() * state.range(0));
    FrameCheck::CheckPicture(
        state, screen, [screen] { screen->ClearGrey(0); }, [screen, &scene] { scene->Draw(screen); });
}
BENCHMARK(BM_SceneFrame)->Arg(2000)->Unit(benchmark::kMillisecond);

// The projection and batching alone: GL calls are counted, none made.
void BM_SceneFrameCpuOnly(benchmark::State& state)
{
    // The real screen gives the machine its size; it is left alone meanwhile.
    if (BenchScreen::Get().GetScreen() == nullptr)
        return state.SkipWithError("no screen");
    Tarv::GLCalls::SetForwarding(false);
    Tarv::OpenGLCaps::Init();
    {
        SceneSlots slots;
        Surface target(Tarv::PixelDataGL::CreateScreen(800, 480));
        target.AddRef(); // lives on the stack; never let a SmartPtr free it
        const SmartPtr<Vund::Scene> scene = MakeScene(static_cast<int>(state.range(0)));
        auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
        batcher->ResetStats();
        const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
        for (auto _ : state) {
            scene->Draw(&target);
            Tarv::Batcher::Instance->Flush();
        }
        const double frames = static_cast<double>(state.iterations());
        state.counters["drawCallsPerFrame"] = static_cast<double>(batcher->GetStats().drawCalls) / frames;
        state.SetItemsProcessed(state.iterations() * state.range(0));
        FrameCheck::CheckCountedTriangles(state, indicesBefore);
        Tarv::OpenGLCaps::Shutdown();
    }
    Tarv::GLCalls::SetForwarding(true);
    Tarv::OpenGLCaps::Init();
}
BENCHMARK(BM_SceneFrameCpuOnly)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace
