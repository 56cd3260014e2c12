// Runs every line of the input as a console command against a fresh registry, then types the
// input's bytes as keys and draws the console through a canvas that checks every call. The
// console carries its state from one input to the next, so commands meet what earlier ones
// left behind.
#include "console/ConsoleCanvas.h"
#include "console/DebugOverlay.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "platform/AbstractApp.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

// The console keeps every line it prints: a fresh one after this many inputs keeps a long run
// well inside the fuzzer's memory limit.
constexpr int INPUTS_PER_CONSOLE = 1000;

class CheckingCanvas : public Tarv::ConsoleCanvas
{
public:
    int GetWidth() const override { return 800; }
    int GetHeight() const override { return 480; }
    void FillRect(int, int, int, int, const Tarv::ConsoleColor&) override {}
    void DrawRect(int, int, int, int, const Tarv::ConsoleColor&) override {}
    void DrawLine(int, int, int, int, const Tarv::ConsoleColor&) override {}
    void DrawGlyph(int, int, int cell) override { Check(cell); }
    void DrawTintedGlyph(int, int, int cell, std::uint8_t, std::uint8_t, std::uint8_t) override { Check(cell); }
    void DrawDiskIcon(int, int) override {}
    void SetFontKeyed(bool) override {}

private:
    static void Check(int cell)
    {
        if (cell < 0 || cell >= GLYPH_CELLS)
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Tarv::SmartPtr<Tarv::DebugOverlay> console;
    static int inputs = 0;
    if (inputs++ % INPUTS_PER_CONSOLE == 0)
        console = Tarv::MakeSmart<Tarv::DebugOverlay>();
    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
    Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        console->ExecuteCommand(input.substr(start, end - start));
        start = end + 1;
    }
    const float skew = Tarv::AbstractApp::TimeSkew.load();
    if (!std::isfinite(skew) || skew < 0.0f || skew > Tarv::DebugOverlay::MAX_TIME_SKEW)
        std::abort();

    for (std::uint8_t byte : input)
        console->OnKeyDown(byte % 70);
    CheckingCanvas canvas;
    Tarv::DebugOverlay::Visible = true;
    console->Update(0.05f);
    console->Render(canvas);
    Tarv::DebugOverlay::Visible = false;
    console->Render(canvas);
    return 0;
}
