// One frame of a 300-item GUI screen (100 controls, each a sprite with a relative child sprite,
// all from one atlas page): walking and drawing on llvmpipe under a private Xvfb (CPU per
// frame and draw calls per frame), and the same walk with GL calls only counted. Then one
// frame of a 60-control scripted screen (script Update and UpdateTexts, controls updated and
// drawn, GL calls counted), the cost of one script-to-control method call, and a text box of
// 2000 characters laid out and drawn every frame (CPU and draw calls per frame).
#include "bench/FrameCheck.h"
#include "engine/vfs/Vfs.h"
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"
#include "gui/Layout.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "gui/TextBox.h"
#include "engine/registry/TextDict.h"
#include "tools/font/FontBaker.h"
#include "tests/graphics/image/ImageFixtures.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace
{

constexpr int CONTROLS = 100;
constexpr int SCRIPTED_CONTROLS = 60;

// A menu's script: it keeps its controls, slides ten of them every frame and reads texts.
const char* const MENU_SCRIPT = R"(
local controls = {}
function Screen:Initialize()
  for i = 0, 59 do controls[i] = self:GetControl("c" .. i) end
end
local t = 0
function Screen:Update(dt)
  t = t + 1
  for i = 0, 9 do controls[i]:SetX((i * 80 + t) % 800) end
end
function Screen:UpdateTexts()
  for i = 0, 4 do controls[i]:SetRepresentation(self:GetText("MENU_PLAY")) end
end
function Screen:Calls(n)
  local c = controls[0]
  for i = 1, n do c:GetX() end
end)";

void Write(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The server, the screen, the files and the layout, made once.
class BenchWorld
{
public:
    static BenchWorld& Get()
    {
        static BenchWorld s_world;
        return s_world;
    }
    ~BenchWorld()
    {
        layout = Plim::Layout();
        Quor::UnloadAtlas("atlas.xml");
        Tarv::AssetDict::Instance.Reset();
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_folder);
        m_display.Reset();
        Tarv::Display::ReleaseScreenSurface();
        Tarv::MaemoSurface::SetNativeWindow(nullptr, 0);
    }
    Tarv::MaemoSurface* GetScreen() const { return Tarv::Display::ScreenSurface.Get(); }

    Plim::Layout layout;

private:
    BenchWorld() : m_server(24), m_client(m_server.GetDisplayName())
    {
        if (!m_client.IsOpen())
            return;
        Tarv::MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_client.CreateWindow(800, 480));
        m_display = Tarv::SmartPtr<Tarv::Display>(Tarv::Display::Create(800, 480));
        m_folder = std::filesystem::temp_directory_path() / ("brashwick-guibench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        WriteFiles();
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_folder.string() + "/", "", 0);
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Quor::LoadAtlas("atlas.xml");
        layout.Load("screen.xml");
    }

    void WriteFiles()
    {
        ImageFixtures::PngImage page;
        page.width = 64;
        page.height = 32;
        page.colorType = 6;
        for (int i = 0; i < 64 * 32; ++i)
            page.samples.insert(page.samples.end(), {unsigned(i % 64 * 4), 90u, 160u, 255u});
        const ImageFixtures::Bytes png = ImageFixtures::WritePng(page);
        Write(m_folder / "atlas.png", std::string(png.begin(), png.end()));
        Write(m_folder / "atlas.xml", "<atlas><rect id=\"button\" x=\"0\" y=\"0\" width=\"48\" height=\"32\"/>"
                                      "<rect id=\"icon\" x=\"48\" y=\"0\" width=\"16\" height=\"16\"/></atlas>");
        Write(m_folder / "button.xml", "<rep><item type=\"Sprite\" name=\"bg\"><file>button</file><children>"
                                       "<item type=\"Sprite\" name=\"icon\"><relative/><x>8</x><y>8</y><file>icon</file></item>"
                                       "</children></item></rep>");
        std::string controls;
        for (int i = 0; i < CONTROLS; ++i)
            controls += "<item type=\"Control\" name=\"b" + std::to_string(i) + "\"><x>" +
                        std::to_string(i % 16 * 50) + "</x><y>" + std::to_string(i / 16 * 40) +
                        "</y><touchable>true</touchable><representation type=\"default\" file=\"button.xml\"/></item>";
        Write(m_folder / "screen.xml", "<screen><layer><item type=\"Control\" name=\"root\"><children>" +
                                           controls + "</children></item></layer></screen>");
        controls.clear();
        for (int i = 0; i < SCRIPTED_CONTROLS; ++i)
            controls += "<item type=\"Control\" name=\"c" + std::to_string(i) + "\"><x>" +
                        std::to_string(i % 10 * 80) + "</x><y>" + std::to_string(i / 10 * 80) +
                        "</y><alpha>200</alpha><representation type=\"default\" file=\"button.xml\"/></item>";
        Tarv::Tools::FontBakeOptions options;
        options.fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        options.pixelSize = 14;
        Tarv::Tools::BakedFont baked;
        std::string error;
        if (Tarv::Tools::ParseCodeList("latin1", options.codes) && Tarv::Tools::BakeFont(options, baked, error))
            Tarv::Tools::WriteBakedFont(baked, (m_folder / "dejavu14").string(), error);
        std::string words;
        while (words.size() < 2000)
            words += "Every level grants its own tools; fruit and time left bring points. ";
        words.resize(2000);
        Write(m_folder / "textbox.xml", "<screen><layer><item type=\"TextBox\" name=\"help\"><width>760</width>"
                                        "<height>440</height><font>dejavu14.xml</font><text-blocks><text>" +
                                            words + "</text></text-blocks></item></layer></screen>");
        Write(m_folder / "scripted.xml", "<screen><layer><item type=\"Control\" name=\"root\"><children>" +
                                             controls + "</children></item></layer></screen>");
    }

    TestSupport::XvfbServer m_server;
    TestSupport::XClient m_client;
    Tarv::SmartPtr<Tarv::Display> m_display;
    std::filesystem::path m_folder;
};

void BM_GuiScreenFrame(benchmark::State& state)
{
    BenchWorld& world = BenchWorld::Get();
    Tarv::MaemoSurface* screen = world.GetScreen();
    if (screen == nullptr || world.layout.GetLayers().empty()) {
        state.SkipWithError("no screen or no layout");
        return;
    }
    auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    world.layout.Draw(*screen); // uploads outside the measurement
    screen->EndFrame();
    batcher->ResetStats();
    for (auto _ : state) {
        screen->BeginFrame();
        screen->ClearGrey(0);
        batcher->Flush();
        const std::uint64_t before = batcher->GetStats().drawCalls;
        world.layout.Draw(*screen);
        batcher->Flush();
        state.counters["guiDrawCalls"] = double(batcher->GetStats().drawCalls - before);
        screen->EndFrame();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    FrameCheck::CheckPicture(
        state, screen, [screen] { screen->ClearGrey(0); }, [&] { world.layout.Draw(*screen); });
}
BENCHMARK(BM_GuiScreenFrame)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The walk and the batching alone: GL calls are counted, not made.
void BM_GuiScreenWalkCpu(benchmark::State& state)
{
    BenchWorld& world = BenchWorld::Get();
    Tarv::MaemoSurface* screen = world.GetScreen();
    if (screen == nullptr || world.layout.GetLayers().empty()) {
        state.SkipWithError("no screen or no layout");
        return;
    }
    Tarv::GLCalls::SetForwarding(false);
    const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
    for (auto _ : state) {
        world.layout.Draw(*screen);
        Tarv::Batcher::Instance->Flush();
        benchmark::DoNotOptimize(world.layout.FindTouchableControl(400, 200));
    }
    Tarv::GLCalls::SetForwarding(true);
    FrameCheck::CheckCountedTriangles(state, indicesBefore);
}
BENCHMARK(BM_GuiScreenWalkCpu)->Unit(benchmark::kMicrosecond);

Tarv::SmartPtr<Plim::Screen> MakeScriptedScreen()
{
    Tarv::SmartPtr<Plim::Screen> screen(new Plim::Screen("scripted.xml"));
    if (screen->GetLua().RunString(MENU_SCRIPT) != 0)
        return Tarv::SmartPtr<Plim::Screen>();
    screen->Initialize();
    return screen;
}

// Script Update, the controls' update, script UpdateTexts and the drawing, GL calls counted.
void BM_ScriptedScreenFrame(benchmark::State& state)
{
    BenchWorld& world = BenchWorld::Get();
    Tarv::MaemoSurface* screen = world.GetScreen();
    const Tarv::SmartPtr<Plim::Screen> scripted = MakeScriptedScreen();
    if (screen == nullptr || !scripted) {
        state.SkipWithError("no screen or no script");
        return;
    }
    Tarv::GLCalls::SetForwarding(false);
    const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
    for (auto _ : state) {
        scripted->Update(0.016f);
        scripted->UpdateTexts();
        scripted->Draw(screen);
        Tarv::Batcher::Instance->Flush();
    }
    Tarv::GLCalls::SetForwarding(true);
    FrameCheck::CheckCountedTriangles(state, indicesBefore);
}
BENCHMARK(BM_ScriptedScreenFrame)->Unit(benchmark::kMicrosecond);

// One control method called from a script (c:GetX() in a loop of 1000).
void BM_ScriptToControlCall(benchmark::State& state)
{
    BenchWorld::Get();
    const Tarv::SmartPtr<Plim::Screen> scripted = MakeScriptedScreen();
    if (!scripted) {
        state.SkipWithError("no script");
        return;
    }
    for (auto _ : state) {
        scripted->PushNumberArg(1000);
        scripted->CallScript("Calls");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ScriptToControlCall)->Unit(benchmark::kMicrosecond);

// A 2000-character text box laid out again and drawn every frame, on llvmpipe.
void BM_TextBoxFrame(benchmark::State& state)
{
    BenchWorld& world = BenchWorld::Get();
    Tarv::MaemoSurface* screen = world.GetScreen();
    Plim::Layout layout;
    if (screen == nullptr || !layout.Load("textbox.xml") || layout.GetLayers().empty()) {
        state.SkipWithError("no screen or no layout");
        return;
    }
    auto* box = static_cast<Plim::TextBox*>(layout.GetLayers()[0]->GetRoot()->GetItem());
    auto* batcher = static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    layout.Draw(*screen);
    screen->EndFrame();
    // The text is black: a light ground shows it.
    for (auto _ : state) {
        screen->BeginFrame();
        screen->ClearGrey(200);
        batcher->Flush();
        const std::uint64_t before = batcher->GetStats().drawCalls;
        box->RefreshText();
        layout.Draw(*screen);
        batcher->Flush();
        state.counters["boxDrawCalls"] = double(batcher->GetStats().drawCalls - before);
        screen->EndFrame();
    }
    state.counters["textHeight"] = box->GetTextHeight();
    FrameCheck::CheckPicture(
        state, screen, [screen] { screen->ClearGrey(200); }, [&] { layout.Draw(*screen); });
}
BENCHMARK(BM_TextBoxFrame)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same with GL calls counted only: the layout and batching cost per frame.
void BM_TextBoxLayoutCpu(benchmark::State& state)
{
    BenchWorld& world = BenchWorld::Get();
    Tarv::MaemoSurface* screen = world.GetScreen();
    Plim::Layout layout;
    if (screen == nullptr || !layout.Load("textbox.xml") || layout.GetLayers().empty()) {
        state.SkipWithError("no screen or no layout");
        return;
    }
    auto* box = static_cast<Plim::TextBox*>(layout.GetLayers()[0]->GetRoot()->GetItem());
    Tarv::GLCalls::SetForwarding(false);
    const std::uint64_t indicesBefore = Tarv::GLCalls::GetCounters().indicesDrawn;
    for (auto _ : state) {
        box->RefreshText();
        layout.Draw(*screen);
        Tarv::Batcher::Instance->Flush();
    }
    Tarv::GLCalls::SetForwarding(true);
    FrameCheck::CheckCountedTriangles(state, indicesBefore);
}
BENCHMARK(BM_TextBoxLayoutCpu)->Unit(benchmark::kMicrosecond);

} // namespace
