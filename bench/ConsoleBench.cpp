// Developer console cost: a full shown console (65 rows of 98 characters) drawn by GL on a
// private Xvfb, in white and with every line behind a colour escape (each tinted glyph goes
// through the glyph and tinted cells), and printing a line onto a long output (the console
// keeps every line).
#include "bench/BenchScreen.h"
#include "bench/FrameCheck.h"
#include "console/DebugOverlay.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/Display.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

void DrawConsoleFrames(benchmark::State& state, const Tarv::NarrowString& prefix)
{
    Tarv::MaemoSurface* screen = BenchScreen::Get().GetScreen();
    if (screen == nullptr) {
        state.SkipWithError("no screen");
        return;
    }
    auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    Tarv::DebugOverlay console;
    for (int i = 0; i < 70; ++i)
        console.Print(prefix + Tarv::NarrowString(94, char('!' + i % 90)));
    Tarv::DebugOverlay::Visible = true;
    console.Render(screen);
    screen->EndFrame();
    batcher->ResetStats();
    for (auto _ : state) {
        screen->BeginFrame();
        screen->ClearGrey(40);
        console.Render(screen);
        screen->EndFrame();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["drawCallsPerFrame"] = static_cast<double>(batcher->GetStats().drawCalls) / frames;
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    FrameCheck::CheckPicture(
        state, screen, [screen] { screen->ClearGrey(40); }, [&] { console.Render(screen); });
    Tarv::DebugOverlay::Visible = false;
}

void BM_ConsoleFrameWhite(benchmark::State& state)
{
    DrawConsoleFrames(state, "");
}
BENCHMARK(BM_ConsoleFrameWhite)->Unit(benchmark::kMillisecond);

void BM_ConsoleFrameTinted(benchmark::State& state)
{
    DrawConsoleFrames(state, Tarv::NarrowString("\x01\xff\x80\x40", 4));
}
BENCHMARK(BM_ConsoleFrameTinted)->Unit(benchmark::kMillisecond);

// One 80-character line printed onto an output that already holds ten thousand lines, and one
// more for each line printed before it.
void BM_PrintLineOntoLongOutput(benchmark::State& state)
{
    constexpr int HELD_LINES = 10000;
    Tarv::DebugOverlay console;
    const Tarv::NarrowString text(80, 'x');
    for (int i = 0; i < HELD_LINES; ++i)
        console.Print(text);
    const std::size_t held = console.GetLines().size();
    for (auto _ : state)
        console.Print(text);
    state.SetItemsProcessed(state.iterations());
    if (console.GetLines().size() - held != static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("the output did not keep every line");
}
BENCHMARK(BM_PrintLineOntoLongOutput);

} // namespace
