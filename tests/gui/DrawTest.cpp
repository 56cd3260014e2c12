// Layouts drawn on real frames under Xvfb and read back: nested and faded controls, a composited
// control at alpha 128, sprites from atlas regions, rectangles that draw nothing, compared
// with a golden image; alphas beyond a byte drawn by their low byte; one draw call for
// controls that come from one atlas page; scripted screens (a turning sprite, an xdotool
// click); text lines driven from Lua, aligned and shadowed, before and after a language change.
#include "gui/Layout.h"

#include "engine/script/LuaErrorQueue.h"
#include "framework/AssetFunctions.h"
#include "engine/registry/TextDict.h"
#include "graphics/text/FontEx.h"
#include "gui/ColorText.h"
#include "gui/Screen.h"
#include "gui/SimpleText.h"
#include "gui/TextBox.h"
#include "gui/TextLine.h"
#include "engine/registry/Registry.h"
#include "tools/font/FontBaker.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/gui/GuiWorld.h"

#include <X11/Xlib.h>
#include <lua.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;

namespace
{

constexpr int GOLDEN_WIDTH = 256;
constexpr int GOLDEN_HEIGHT = 128;

class LayoutDrawing : public GuiTest::GuiWorld<RenderTest::ScreenTest>
{
protected:
    void SetUp() override
    {
        GuiWorld::SetUp();
        WriteImage("atlas.png", GuiTest::Png(32, 16, [](int x, int) {
                       return x < 16 ? std::tuple{220, 30, 30} : std::tuple{30, 180, 60};
                   }));
        WriteText("atlas.xml", "<atlas><rect id=\"red\" x=\"0\" y=\"0\" width=\"16\" height=\"16\"/>"
                               "<rect id=\"green\" x=\"16\" y=\"0\" width=\"16\" height=\"16\"/></atlas>");
        ASSERT_TRUE(Quor::LoadAtlas("atlas.xml"));
        WriteImage("paper.png", Solid(256, 128, 235, 230, 215));
        WriteImage("white.png", Solid(64, 64, 255, 255, 255));
    }

    static std::vector<std::uint8_t> Solid(int width, int height, int r, int g, int b)
    {
        return GuiTest::Png(width, height, [=](int, int) { return std::tuple{r, g, b}; });
    }

    void TearDown() override
    {
        layout = Plim::Layout();
        Quor::UnloadAtlas("atlas.xml");
        GuiWorld::TearDown();
    }

    // At most 0.5% of the pixels may differ by more than 4 in a channel, none by more than 40.
    // BRASHWICK_UPDATE_GOLDEN=1 writes the golden image instead.
    void ExpectGolden(const std::string& name)
    {
        const RenderTest::GoldenDiff diff = RenderTest::CompareGolden(
            Screen(), BRASHWICK_SOURCE_DIR "/tests/gui/golden/" + name + ".ppm", GOLDEN_WIDTH, GOLDEN_HEIGHT, 4);
        ASSERT_TRUE(diff.compared) << name;
        EXPECT_LE(diff.differing, GOLDEN_WIDTH * GOLDEN_HEIGHT / 200) << name;
        EXPECT_LE(diff.worst, 40) << name;
    }
};

TEST_F(LayoutDrawing, NestedFadedAndCompositedControlsMatchTheGolden)
{
    ASSERT_TRUE(layout.Load("draw.xml"));
    EXPECT_TRUE(messages.empty());
    layout.Draw(*Screen());
    const struct {
        int x, y;
        Rgba colour;
    } probes[] = {
        {5, 5, {235, 230, 215, 255}},     // paper
        {12, 12, {220, 30, 30, 255}},     // red region at the control's place
        {32, 12, {30, 180, 60, 255}},     // green region relative to it
        {10, 30, {235, 230, 215, 255}},   // where the outline rectangle stands: it draws nothing
        {12, 52, {228, 130, 123, 255}},   // red at alpha 128 over paper
        {125, 15, {245, 242, 235, 255}},  // white panel at alpha 128 over paper
        {140, 30, {228, 130, 123, 255}},  // red drawn opaque into the panel, then at 128
    };
    for (const auto& p : probes)
        EXPECT_TRUE(Near(ReadPixel(Screen(), p.x, p.y), p.colour, 3))
            << p.x << ", " << p.y << ": " << ReadPixel(Screen(), p.x, p.y);
    ExpectGolden("Layout");
}

TEST_F(LayoutDrawing, SpritesOfOneAtlasPageAreOneDrawCall)
{
    std::string controls;
    for (int i = 0; i < 12; ++i)
        controls += "<item type=\"Control\" name=\"s\"><x>" + std::to_string(20 * i) +
                    "</x><representation type=\"default\" file=\"sprites.xml\"/></item>";
    WriteText("sprites.xml", "<rep><item type=\"Sprite\" name=\"r\"><file>red</file><children>"
                                 "<item type=\"Sprite\" name=\"g\"><relative/><y>20</y><file>green</file></item>"
                                 "</children></item></rep>");
    ASSERT_TRUE(layout.Load(GuiTest::RootWith(controls)));
    Batcher()->Flush();
    Batcher()->ResetStats();
    layout.Draw(*Screen());
    Batcher()->Flush();
    EXPECT_EQ(Batcher()->GetStats().drawCalls, 1u);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 222, 22), Rgba{30, 180, 60, 255}, 3));
}

// Alphas are kept as the layout gives them and drawn by their low byte: 300 draws as 44, for a
// representation and for a compositing surface alike.
TEST_F(LayoutDrawing, AnAlphaBeyondTheByteDrawsWithItsLowByte)
{
    const auto control = [](int x, int alpha, bool composited) {
        return "<item type=\"Control\" name=\"c\"><x>" + std::to_string(x) + "</x><y>100</y><alpha>" +
               std::to_string(alpha) + "</alpha>" +
               (composited ? "<compositing><width>32</width><height>32</height></compositing>" : "") +
               "<representation type=\"default\" file=\"rep/pair.xml\"/></item>";
    };
    ASSERT_TRUE(layout.Load(GuiTest::RootWith(control(0, 300, false) + control(100, 44, false) +
                                              control(200, 300, true) + control(300, 44, true))));
    layout.Draw(*Screen());
    const Rgba faint{38, 5, 5, 255}; // red (220, 30, 30) at 44 over black
    for (const int x : {0, 100, 200, 300})
        EXPECT_TRUE(Near(ReadPixel(Screen(), x + 4, 104), faint, 3)) << x << ": " << ReadPixel(Screen(), x + 4, 104);
}

class ScreenDrawing : public LayoutDrawing
{
protected:
    void Start(const std::string& control, const std::string& script)
    {
        WriteText("screen.xml", "<screen><layer>" + control + "</layer></screen>");
        WriteImage("arrow.png", GuiTest::Png(16, 8, [](int x, int) {
                       return x < 8 ? std::tuple{220, 30, 30} : std::tuple{30, 180, 60};
                   }));
        WriteImage("frame.png", Solid(40, 40, 40, 40, 40));
        WriteImage("up.png", Solid(60, 60, 200, 0, 0));
        WriteImage("down.png", Solid(60, 60, 0, 0, 200));
        screen = Tarv::MakeSmart<Plim::Screen>("screen.xml");
        ASSERT_EQ(screen->GetLua().RunString(script), 0);
        screen->Initialize();
        EXPECT_TRUE(messages.empty());
    }

    void TearDown() override
    {
        screen.Reset();
        LayoutDrawing::TearDown();
    }

    void ExpectColours(const std::vector<std::pair<std::pair<int, int>, Rgba>>& probes)
    {
        for (const auto& [at, colour] : probes)
            EXPECT_TRUE(Near(ReadPixel(Screen(), at.first, at.second), colour, 3))
                << at.first << ", " << at.second << ": " << ReadPixel(Screen(), at.first, at.second);
    }

    Tarv::SmartPtr<Plim::Screen> screen;
};

TEST_F(ScreenDrawing, AScriptTurningASpriteEveryFramePutsItsCornersByTheGeometry)
{
    Start("<item type=\"Control\" name=\"spinner\"><x>100</x><y>100</y>"
          "<representation type=\"default\" file=\"rep/spin.xml\"/></item>",
          "function Screen:Update(dt) local a = self:GetControl('spinner'):GetControl('arrow') "
          "a:SetAngle(a:GetAngle() + 1.5707963) end");
    const Rgba red{220, 30, 30, 255}, green{30, 180, 60, 255}, frame{40, 40, 40, 255};
    // A quarter turn clockwise about the pivot at (120, 120): the image's top edge runs down.
    screen->Update(0.1f);
    screen->Draw(Screen());
    ExpectColours({{{116, 124}, red}, {{116, 132}, green}, {{124, 124}, frame}, {{116, 116}, frame}});
    // Half a turn: the image lies up and left of the pivot, mirrored both ways.
    screen->Update(0.1f);
    screen->Draw(Screen());
    ExpectColours({{{116, 116}, red}, {{108, 116}, green}, {{116, 124}, frame}});
}

TEST_F(ScreenDrawing, AnXdotoolClickSwitchesTheTouchedControlsLook)
{
    const auto face = [](const std::string& type, const std::string& image) {
        return "<representation type=\"" + type + "\" file=\"rep/paper.xml\"><override name=\"paper\">" + image +
               "</override></representation>";
    };
    Start("<item type=\"Control\" name=\"button\"><x>50</x><y>50</y><touchable>true</touchable>" +
              face("default", "up.png") + face("pressed", "down.png") + "</item>",
          "function Screen:OnTouchDown(x, y) local c = self:GetTouchableControl(x, y) "
          "if c then c:SetRepresentation('pressed') end end");
    screen->Draw(Screen());
    ExpectColours({{{70, 80}, Rgba{200, 0, 0, 255}}});

    Display* display = s_client->GetDisplay();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) && count > 0);
    const Window window = children[count - 1];
    XFree(children);
    XSelectInput(display, window, ButtonPressMask | StructureNotifyMask);
    XSync(display, False);
    const std::string click = "timeout 10 env DISPLAY=" + s_server->GetDisplayName() +
                              " xdotool mousemove --window " + std::to_string(window) + " 70 80 click 1";
    ASSERT_EQ(std::system(click.c_str()), 0) << click;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool pressed = false;
    while (!pressed && std::chrono::steady_clock::now() < deadline) {
        XSync(display, False);
        while (!pressed && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ButtonPress) {
                screen->OnTouchDown(event.xbutton.x, event.xbutton.y);
                pressed = true;
            }
        }
    }
    ASSERT_TRUE(pressed) << "no button press within 5 s";
    screen->Draw(Screen());
    ExpectColours({{{70, 80}, Rgba{0, 0, 200, 255}}, {{45, 45}, Rgba{0, 0, 0, 255}}});
}

class TextDrawing : public ScreenDrawing
{
protected:
    static void SetUpTestSuite()
    {
        ScreenDrawing::SetUpTestSuite();
        s_fonts = std::filesystem::temp_directory_path() / ("brashwick-guifont-" + std::to_string(::getpid()));
        std::filesystem::create_directories(s_fonts);
        Tarv::Tools::FontBakeOptions options;
        options.fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        options.pixelSize = 14;
        Tarv::Tools::BakedFont baked;
        std::string error;
        s_baked = Tarv::Tools::ParseCodeList("latin1", options.codes) && Tarv::Tools::BakeFont(options, baked, error) &&
                  Tarv::Tools::WriteBakedFont(baked, (s_fonts / "dejavu14").string(), error);
    }

    static void TearDownTestSuite()
    {
        std::filesystem::remove_all(s_fonts);
        ScreenDrawing::TearDownTestSuite();
    }

    void SetUp() override
    {
        ScreenDrawing::SetUp();
        ASSERT_TRUE(s_baked);
        Tarv::VfsMountNative(s_fonts.string() + "/", "", Tarv::VFS_MOUNT_FALL_THROUGH);
        Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
        Speak("<string id=\"GREETING\">Good day, traveller</string><string id=\"FAREWELL\">Farewell</string>");
    }

    void TearDown() override
    {
        ScreenDrawing::TearDown();
        Tarv::TextDict::Instance.Reset();
    }

    static void Speak(const std::string& strings)
    {
        Tarv::TextDict::Instance->LoadDocument(Tarv::Xml::CreateFromString("<texts>" + strings + "</texts>"));
    }

    void StartText(const std::string& script)
    {
        screen = Tarv::MakeSmart<Plim::Screen>("text.xml");
        ASSERT_EQ(screen->GetLua().RunString(script), 0) << lua_tostring(screen->GetLua().GetState(), -1);
        screen->Initialize();
        EXPECT_TRUE(messages.empty()) << messages[0];
    }

    // The smallest box {left, top, right, bottom} around the pixels of the w x h region at (x, y)
    // that differ from the grey level the screen was cleared to; {0, 0, -1, -1} when there are none.
    std::array<int, 4> InkBox(int x, int y, int w, int h, int grey = 0)
    {
        std::array<int, 4> box{0, 0, -1, -1};
        std::vector<std::uint8_t> rgba;
        if (!RenderTest::ReadBack(Screen(), x, y, w, h, rgba))
            return box;
        bool found = false;
        for (int row = 0; row < h; ++row) {
            for (int column = 0; column < w; ++column) {
                const std::uint8_t* p = &rgba[std::size_t(row * w + column) * 4];
                if (std::max({std::abs(p[0] - grey), std::abs(p[1] - grey), std::abs(p[2] - grey)}) <= 8)
                    continue;
                const int px = x + column, py = y + row;
                box = found ? std::array<int, 4>{std::min(box[0], px), std::min(box[1], py), std::max(box[2], px),
                                                 std::max(box[3], py)}
                            : std::array<int, 4>{px, py, px, py};
                found = true;
            }
        }
        return box;
    }

    Plim::ColorText* Text(const char* name, const char* representation) const
    {
        auto* line = static_cast<Plim::TextLine*>(screen->GetNamedControl(name));
        return static_cast<Plim::ColorText*>(line->GetRepresentations().at(representation)->GetItem());
    }

    static inline std::filesystem::path s_fonts;
    static inline bool s_baked = false;
};

TEST_F(TextDrawing, TextLineMethodsMeasureReplaceAndRecolourTheirText)
{
    std::vector<std::string> errors;
    Tarv::LuaErrorQueue::Global().SetHandler([&errors](const Tarv::LuaErrorReport& r) { errors.push_back(r.message); });
    StartText(R"(
function Screen:Initialize()
  local t = self:GetControl("left")
  assert(t:GetName() == "left" and t:GetWidth() == 200)
  local w = t:GetTextWidth()
  t:SetTextRaw("GREETING") assert(t:GetTextWidth() ~= w)
  t:SetText("GREETING") assert(t:GetTextWidth() == w)
  t:SetTextRaw("x") local x = t:GetTextWidth()
  t:SetTextRaw("  x  ") assert(t:GetTextWidth() > x and t:GetWidth() == 200)
  local h = t:GetHeight()
  t:SetTextRaw("x\nx") assert(t:GetTextWidth() == x and t:GetHeight() > h)
  t:SetTextRaw(string.rep("wide words ", 12)) assert(t:GetTextWidth() > 200 and t:GetHeight() > 2 * h)
  t:SetTextRaw("\255\254") assert(t:GetTextWidth() == 0)
  t:SetColor(300, -1, 12.9)
  assert(not pcall(t.SetColor, t, 1, 2))
  local bare = TextLine() bare:SetText("GREETING") bare:SetColor(1, 2, 3)
  assert(bare:GetTextWidth() == 0 and bare:GetRepresentation() == "")
  done = true
end
function Screen:UpdateTexts() self:GetControl("right"):SetTextRaw(self:GetText("FAREWELL") .. "!") end)");
    EXPECT_TRUE(errors.empty()) << errors[0];
    const std::uint8_t* colour = Text("left", "default")->GetColor();
    EXPECT_EQ(std::vector<int>(colour, colour + 4), (std::vector<int>{44, 255, 12, 255}));
    EXPECT_EQ(Text("left", "red")->GetColor()[0], 200) << "only the current representation is recoloured";
    EXPECT_EQ(Text("left", "red")->GetText(), Text("left", "default")->GetText()) << "texts reach every one";
    Speak("<string id=\"GREETING\">Guten Tag</string><string id=\"FAREWELL\">Lebewohl</string>");
    screen->UpdateTexts();
    EXPECT_EQ(Text("left", "default")->GetText(), Tarv::WideString(U"Guten Tag")) << "the layout key again";
    EXPECT_EQ(Text("right", "default")->GetText(), Tarv::WideString(U"Lebewohl!"));
    Tarv::LuaErrorQueue::Global().Reset();
}

TEST_F(TextDrawing, AlignedAndShadowedLinesMatchTheGoldenInEnglishAndAfterALanguageChange)
{
    StartText("function Screen:UpdateTexts() end");
    screen->Draw(Screen());
    ExpectGolden("TextEnglish");
    Speak("<string id=\"GREETING\">Guten Tag, Reisender</string><string id=\"FAREWELL\">Lebt wohl</string>");
    screen->UpdateTexts();
    screen->Draw(Screen());
    ExpectGolden("TextGerman");
}

// A simple text has type 2 and shows nothing (an empty rectangle) until its text is set; then
// its text, one font line tall, at its own place, from the dictionary or as given.
TEST_F(TextDrawing, ASimpleTextShowsOnlyASetTextAtItsPlace)
{
    const Tarv::XmlPtr item = Tarv::Xml::CreateFromString(
        "<item type=\"SimpleText\" name=\"s\"><x>20</x><y>300</y><font>dejavu14.xml</font></item>");
    Plim::SimpleText text{Tarv::XmlIterator(item), nullptr};
    EXPECT_EQ(text.GetTypeId(), 2);
    EXPECT_EQ(text.GetRect().width + text.GetRect().height, 0);
    // A plain text is drawn in black: on light grey.
    Screen()->ClearGrey(200);
    text.Draw(*Screen(), 255);
    Batcher()->Flush();
    EXPECT_EQ(InkBox(0, 280, 400, 60, 200)[2], -1);
    // Still, the shared font image takes the alpha the text was drawn with.
    ASSERT_NE(text.GetFont(), nullptr);
    text.Draw(*Screen(), 0x164);
    EXPECT_EQ(text.GetFont()->GetImage()->GetAlpha(), 0x64);

    ASSERT_GT(text.GetFontHeight(), 0);
    text.SetText("GREETING", false);
    EXPECT_EQ(text.GetText(), Tarv::WideString(U"Good day, traveller"));
    const Plim::Rect rect = text.GetRect();
    EXPECT_GT(rect.width, 100);
    EXPECT_EQ(rect.height, text.GetFontHeight());
    text.Draw(*Screen(), 255);
    Batcher()->Flush();
    const std::array<int, 4> ink = InkBox(0, 280, 400, 60, 200);
    EXPECT_GE(ink[0], 20);
    EXPECT_LE(ink[0], 23);
    EXPECT_GE(ink[1], 300);
    EXPECT_LT(ink[2], 20 + rect.width);
    EXPECT_LT(ink[3], 300 + rect.height);
    text.SetText("GREETING", true);
    EXPECT_EQ(text.GetText(), Tarv::WideString(U"GREETING"));
}

// A relative text line is placed from its parent control and drawn there; one without the
// flag stays at its own x and y.
TEST_F(TextDrawing, ARelativeTextLineFollowsItsParentControl)
{
    const std::string line = "<representation type=\"default\" file=\"rep/label.xml\"/><text>FAREWELL</text></item>";
    WriteText("follow.xml", "<screen><layer><item type=\"Control\" name=\"frame\"><x>300</x><y>200</y>"
                            "<representation type=\"default\" file=\"rep/empty.xml\"/><children>"
                            "<item type=\"TextLine\" name=\"moved\"><relative/><x>10</x><y>5</y>" + line +
                            "<item type=\"TextLine\" name=\"fixed\"><x>10</x><y>400</y>" + line +
                            "</children></item></layer></screen>");
    std::vector<std::string> errors;
    Tarv::LuaErrorQueue::Global().SetHandler([&errors](const Tarv::LuaErrorReport& r) { errors.push_back(r.message); });
    screen = Tarv::MakeSmart<Plim::Screen>("follow.xml");
    ASSERT_EQ(screen->GetLua().RunString(R"(
function Screen:Initialize()
  local moved, fixed = self:GetControl("moved"), self:GetControl("fixed")
  assert(moved:GetAbsX() == 310 and moved:GetAbsY() == 205 and moved:GetX() == 10)
  assert(fixed:GetAbsX() == 10 and fixed:GetAbsY() == 400)
end)"), 0);
    screen->Initialize();
    Tarv::LuaErrorQueue::Global().Reset();
    EXPECT_TRUE(errors.empty()) << errors[0];
    screen->Draw(Screen());
    const std::array<int, 4> moved = InkBox(290, 190, 240, 40);
    EXPECT_GE(moved[0], 310);
    EXPECT_LE(moved[0], 313);
    EXPECT_GE(moved[1], 205);
    EXPECT_LE(moved[1], 215);
    EXPECT_NE(InkBox(0, 395, 240, 40)[2], -1) << "the fixed line at its own place";
    EXPECT_EQ(InkBox(0, 0, 240, 40)[2], -1) << "nothing where the moved line would stand unmoved";
}

class TextBoxDrawing : public TextDrawing
{
protected:
    void SetUp() override
    {
        TextDrawing::SetUp();
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Tarv::Registry::Instance->SetString("/application/version", "1.0.0");
        Speak("<string id=\"HELP\">Tap a cell to place the tool you picked. Every level has its own "
              "tools, and fruit brings points.</string><string id=\"SHORT\">Short.</string>");
        Tarv::LuaErrorQueue::Global().SetHandler([this](const Tarv::LuaErrorReport& r) { errors.push_back(r.message); });
    }

    void TearDown() override
    {
        Tarv::LuaErrorQueue::Global().Reset();
        TextDrawing::TearDown();
        Tarv::Registry::Instance.Reset();
    }

    void StartBox(const std::string& script)
    {
        screen = Tarv::MakeSmart<Plim::Screen>("textbox.xml");
        ASSERT_EQ(screen->GetLua().RunString(script), 0) << lua_tostring(screen->GetLua().GetState(), -1);
        screen->Initialize();
        box = static_cast<Plim::TextBox*>(screen->GetNamedControl("help"));
    }

    std::vector<std::string> errors;
    Plim::TextBox* box = nullptr;
};

TEST_F(TextBoxDrawing, TextBoxMethodsScrollResizeAndReplaceBlocks)
{
    StartBox(R"(
function Screen:Initialize()
  local b = self:GetControl("help")
  assert(b:GetName() == "help" and b:GetWidth() == 0 and b:GetHeight() == 60)
  local w, h = b:GetSize() assert(w == 0 and h == 0)
  local th = b:GetTextHeight() assert(th > 60 and b:GetTextPosition() == 0)
  b:SetTextPosition(2.9) assert(b:GetTextPosition() == 2)
  b:SetPosition(-2.9) assert(b:GetTextPosition() == -2)
  b:SetText(1.7, "SHORT") assert(b:GetTextHeight() == th)
  b:SetHeight(70) assert(b:GetHeight() == 70 and b:GetTextHeight() < th)
  b:SetSize(-10, 60) b:SetWidth(180) b:SetText(1, "HELP") b:SetHeight(60)
  assert(b:GetTextHeight() == th)
  assert(not pcall(b.SetText, b, 4, "X") and not pcall(b.SetText, b, 0, "X") and not pcall(b.SetText, b, 1))
  local bare = TextBox() assert(not pcall(bare.SetText, bare, 1, "x")) bare:SetSize(10, 10)
  assert(bare:GetTextHeight() == 0)
  local p = self:GetControl("plain") assert(p:GetTextHeight() == 0)
  p:SetWidth(60) assert(p:GetHeight() == -20) p:SetHeight(-3) assert(p:GetHeight() == 0)
end)");
    EXPECT_TRUE(errors.empty()) << errors[0];
    ASSERT_EQ(box->GetBlocks().size(), 3u);
    EXPECT_EQ(box->GetBlocks()[1].key, " ");
    EXPECT_EQ(box->GetBlocks()[2].key, "1.0.0");
    EXPECT_EQ(messages.size(), 1u) << "the box without its font";
}

TEST_F(TextBoxDrawing, AScrolledBoxIsClippedToItsWindow)
{
    StartBox("");
    errors.clear();
    screen->Draw(Screen());
    const int* clip = Screen()->GetRect();
    EXPECT_EQ(std::vector<int>(clip, clip + 4), (std::vector<int>{0, 0, 800, 480}));
    ExpectGolden("TextBoxTop");
    box->SetTextPosition(30);
    screen->Draw(Screen());
    ExpectGolden("TextBoxScrolled");
    const Rgba paper{235, 230, 215, 255};
    for (int x = 20; x < 200; x += 3) {
        EXPECT_TRUE(Near(ReadPixel(Screen(), x, 29), paper, 2)) << "above the window at " << x;
        EXPECT_TRUE(Near(ReadPixel(Screen(), x, 90), paper, 2)) << "below the window at " << x;
    }
    // Whatever clip the target had, the box leaves it clipped to the whole target.
    Screen()->SetRect(5, 5, 10, 10);
    box->Draw(*Screen());
    EXPECT_EQ(std::vector<int>(clip, clip + 4), (std::vector<int>{0, 0, 800, 480}));
}

} // namespace
