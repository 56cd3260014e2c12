// Text cost: typesetting per character (a 2,000-character wrapped text, and the plain layout) in
// a DejaVu font baked at start, and drawing per glyph: the renderer alone with GL calls counted
// only, and real frames on llvmpipe under a private Xvfb (draw calls per block: one per page).
#include "bench/FrameCheck.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/OpenGLCaps.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/Format.h"
#include "graphics/text/RichString.h"
#include "graphics/text/ScreenText.h"
#include "graphics/text/Typesetter.h"
#include "tests/graphics/text/TextTestFonts.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

namespace
{

using Tarv::SmartPtr;
using Tarv::WideString;

constexpr int TEXT_LENGTH = 2000;

// DejaVu Sans 14 (Latin-1, Greek, Cyrillic), baked once into a temporary folder.
class BenchFont
{
public:
    static BenchFont& Get()
    {
        static BenchFont s_font;
        return s_font;
    }
    Tarv::FontEx* GetFont() const { return m_font.Get(); }
    Tarv::Text::FontSet* GetSet() const { return m_set.Get(); }

private:
    BenchFont()
    {
        const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                           ("brashwick-textbench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root);
        m_font = TextTest::BakeDejaVu14(root);
        std::filesystem::remove_all(root);
        m_set = SmartPtr<Tarv::Text::FontSet>(new Tarv::Text::FontSet());
        m_set->AddFont("default", m_font.Get());
    }

    SmartPtr<Tarv::FontEx> m_font;
    SmartPtr<Tarv::Text::FontSet> m_set;
};

// Words of 1-9 letters (some accented or Greek) from a fixed seed, single spaces between.
WideString MakeText(int length)
{
    const char32_t letters[] = U"abcdefghijklmnopqrstuvwxyz\u00E9\u00E8\u00FC\u03B1\u03B2";
    WideString text;
    std::uint32_t seed = 777;
    while (static_cast<int>(text.size()) < length) {
        seed = seed * 1664525u + 1013904223u;
        const int wordLength = 1 + static_cast<int>((seed >> 16) % 9);
        for (int i = 0; i < wordLength && static_cast<int>(text.size()) < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text.push_back(letters[(seed >> 16) % (sizeof(letters) / sizeof(letters[0]) - 1)]);
        }
        if (static_cast<int>(text.size()) < length)
            text.push_back(U' ');
    }
    return text;
}

Tarv::Text::Format MakeFormat(int alignment)
{
    Tarv::Text::Format format;
    format.SetFontSet(BenchFont::Get().GetSet());
    format.SetAlignment(alignment);
    return format;
}

void BM_TypesetWrapped(benchmark::State& state)
{
    if (BenchFont::Get().GetFont() == nullptr) {
        state.SkipWithError("font not baked");
        return;
    }
    const WideString text = MakeText(TEXT_LENGTH);
    const Tarv::Text::Format format = MakeFormat(static_cast<int>(state.range(1)));
    const std::int32_t box[4] = {0, 0, static_cast<std::int32_t>(state.range(0)), 0};
    for (auto _ : state) {
        const Tarv::RichString rich(text, format);
        Tarv::Text::Typesetter typesetter;
        Tarv::GlyphArray glyphs = typesetter.Layout(rich, box);
        benchmark::DoNotOptimize(glyphs.get());
    }
    state.SetItemsProcessed(state.iterations() * TEXT_LENGTH);
}
// Box width, alignment (0 left, 2 centre).
BENCHMARK(BM_TypesetWrapped)->Args({300, 0})->Args({300, 2})->Args({2000000000, 0});

void BM_TypesetPlain(benchmark::State& state)
{
    const WideString text = MakeText(TEXT_LENGTH);
    for (auto _ : state) {
        Tarv::GlyphArray glyphs = Tarv::Text::LayoutPlainText(text, BenchFont::Get().GetFont());
        benchmark::DoNotOptimize(glyphs.get());
    }
    state.SetItemsProcessed(state.iterations() * TEXT_LENGTH);
}
BENCHMARK(BM_TypesetPlain);

// Twenty 100-character blocks of one font page, optionally with shadows.
std::vector<SmartPtr<Tarv::ScreenText>> MakeBlocks()
{
    std::vector<SmartPtr<Tarv::ScreenText>> blocks;
    const Tarv::Text::Format format = MakeFormat(0);
    for (int i = 0; i < 20; ++i) {
        WideString text = MakeText(100 + i);
        text.erase(0, static_cast<std::size_t>(i));
        blocks.emplace_back(new Tarv::ScreenText(format, text, Tarv::ScreenText::BoxSize{380, 0}));
    }
    return blocks;
}

std::int64_t CountGlyphs(const std::vector<SmartPtr<Tarv::ScreenText>>& blocks)
{
    std::int64_t count = 0;
    for (const auto& block : blocks)
        for (const Tarv::ScreenGlyph* g = block->GetGlyphs(); g->image; ++g)
            ++count;
    return count;
}

void RenderBlocks(Tarv::Surface& target, const std::vector<SmartPtr<Tarv::ScreenText>>& blocks)
{
    for (std::size_t i = 0; i < blocks.size(); ++i)
        blocks[i]->Render(target, 10 + 400 * static_cast<int>(i % 2), 10 + 45 * static_cast<int>(i / 2));
}

// The renderer alone: every GL call is counted but goes nowhere.
void BM_RenderCpuOnly(benchmark::State& state)
{
    if (BenchFont::Get().GetFont() == nullptr) {
        state.SkipWithError("font not baked");
        return;
    }
    Tarv::GLCalls::SetForwarding(false);
    Tarv::OpenGLCaps::Init();
    {
        Tarv::Surface target(Tarv::PixelDataGL::CreateScreen(800, 480));
        target.AddRef(); // lives on the stack; never let a SmartPtr free it
        auto blocks = MakeBlocks();
        for (auto& block : blocks)
            block->SetShadow(state.range(0) != 0);
        auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
        RenderBlocks(target, blocks);
        batcher->Flush();
        batcher->ResetStats();
        const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
        for (auto _ : state) {
            RenderBlocks(target, blocks);
            batcher->Flush();
        }
        const double frames = static_cast<double>(state.iterations());
        state.counters["drawCallsPerFrame"] = static_cast<double>(batcher->GetStats().drawCalls) / frames;
        state.SetItemsProcessed(state.iterations() * CountGlyphs(blocks));
        FrameCheck::CheckCountedTriangles(state, indicesBefore);
        blocks.clear();
        Tarv::OpenGLCaps::Shutdown();
    }
    Tarv::GLCalls::SetForwarding(true);
}
// Shadow off, on.
BENCHMARK(BM_RenderCpuOnly)->Arg(0)->Arg(1);

// Real frames on llvmpipe.
void BM_RenderFrame(benchmark::State& state)
{
    if (BenchFont::Get().GetFont() == nullptr) {
        state.SkipWithError("font not baked");
        return;
    }
    TestSupport::XvfbServer server(24);
    TestSupport::XClient client(server.GetDisplayName());
    if (!client.IsOpen()) {
        state.SkipWithError("no X server");
        return;
    }
    Tarv::MaemoSurface::SetNativeWindow(client.GetDisplay(), client.CreateWindow(800, 480));
    {
        SmartPtr<Tarv::Display> display(Tarv::Display::Create(800, 480));
        Tarv::MaemoSurface* screen = Tarv::Display::ScreenSurface.Get();
        auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
        auto blocks = MakeBlocks();
        RenderBlocks(*screen, blocks); // uploads the page outside the measurement
        screen->EndFrame();
        batcher->ResetStats();
        for (auto _ : state) {
            screen->BeginFrame();
            screen->ClearGrey(200);
            RenderBlocks(*screen, blocks);
            screen->EndFrame();
        }
        const double frames = static_cast<double>(state.iterations());
        state.counters["drawCallsPerFrame"] = static_cast<double>(batcher->GetStats().drawCalls) / frames;
        state.SetItemsProcessed(state.iterations() * CountGlyphs(blocks));
        FrameCheck::CheckPicture(
            state, screen, [screen] { screen->ClearGrey(200); }, [&] { RenderBlocks(*screen, blocks); });
        blocks.clear();
    }
    Tarv::Display::ReleaseScreenSurface();
    Tarv::MaemoSurface::SetNativeWindow(nullptr, 0);
}
BENCHMARK(BM_RenderFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
