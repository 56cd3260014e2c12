// Layouts read into layers: walk order, hit testing, effective alpha, absolute positions, bounds,
// representation selection, the developer dump, node deletion order, and damaged layouts.
#include "gui/Layout.h"

#include "graphics/render/OpenGLCaps.h"
#include "graphics/render/Surface.h"
#include "gui/Graphic.h"
#include "tests/gui/GuiWorld.h"

#include <climits>
#include <string>
#include <vector>

using Plim::Control;
using Plim::Rect;

namespace
{

class MenuLayout : public GuiTest::GuiWorld<>
{
protected:
    void SetUp() override
    {
        GuiWorld::SetUp();
        ASSERT_TRUE(layout.Load("menu.xml"));
    }

    std::string HitName(int x, int y) const
    {
        const Control* hit = layout.FindTouchableControl(x, y);
        return hit != nullptr ? hit->GetNode()->GetName() : "";
    }
};

TEST_F(MenuLayout, DrawingVisitsParentsFirstAndPrunesHiddenAndCompositedSubtrees)
{
    std::vector<std::string> visited;
    layout.GetLayers()[0]->VisitDrawn(
        [&visited](Control& control) { visited.push_back(control.GetNode()->GetName()); });
    EXPECT_EQ(visited, (std::vector<std::string>{"menu", "first", "inner", "second", "panel"}));
    EXPECT_EQ(DumpLines().size(), 9u) << "only the first item of a layer and of its children counts";
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(layout.GetParseCount(), 2) << "box.xml is shared by seven controls";
}

TEST_F(MenuLayout, TheLastHitInWalkOrderWinsAndEdgesAreInclusive)
{
    const struct {
        int x, y;
        const char* name;
    } cases[] = {{12, 22, "second"}, {10, 20, "second"}, {110, 100, "second"}, {112, 102, "inner"},
                 {1, 1, ""},          {305, 5, "third"},  {9, 20, ""},          {406, 86, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(HitName(c.x, c.y), c.name) << c.x << ", " << c.y;
}

TEST_F(MenuLayout, AlphaMultipliesDownAndPositionsAddUpUntilACompositingParent)
{
    EXPECT_EQ(Find("first")->GetEffectiveAlpha(), 128);
    EXPECT_EQ(Find("inner")->GetEffectiveAlpha(), 64);
    EXPECT_EQ(Find("third")->GetEffectiveAlpha(), 128);
    EXPECT_EQ(Find("inner")->GetScreenRect(), (Rect{15, 25, 100, 80}));
    EXPECT_EQ(Find("third")->GetScreenRect(), (Rect{305, 5, 100, 80}));
    Find("panel")->SetCompositingActive(true);
    EXPECT_EQ(Find("third")->GetScreenRect(), (Rect{5, 5, 100, 80}));
    EXPECT_EQ(Find("third")->GetEffectiveAlpha(), 255);
    EXPECT_FALSE(Find("shown")->IsVisibleInTree());
}

TEST_F(MenuLayout, RepresentationsSwitchByNameAndTheFirstOfTwoNamesStays)
{
    Control* second = Find("second");
    EXPECT_EQ(second->GetRepresentationName(), "default");
    EXPECT_EQ(second->GetLocalBounds(), (Rect{10, 20, 100, 80}));
    second->SelectRepresentation("pressed");
    EXPECT_EQ(second->GetLocalBounds(), (Rect{10, 20, 10, 7})) << "an empty first rectangle is replaced";
    second->SelectRepresentation("unknown");
    EXPECT_EQ(second->GetRepresentationName(), "pressed");
    EXPECT_EQ(second->GetLocalBounds().width, 10);
}

TEST_F(MenuLayout, DumpMarksSetAndEffectiveFlags)
{
    const std::vector<std::string> lines = DumpLines();
    EXPECT_EQ(lines[0][14], 'a');
    EXPECT_EQ(lines[0][19], '-');
    EXPECT_EQ(lines[0][24], 'A');
    EXPECT_EQ(lines[4].substr(4, 6), "v\x01\xFF\x01\x01-") << "hidden sets the flag, not the state";
    EXPECT_EQ(lines[4].substr(40, 4), "\x01\x80\x80\x80");
    EXPECT_EQ(lines[4].substr(45, 8), "  hidden");
}

using Blank = GuiTest::GuiWorld<>;

TEST_F(Blank, DumpLinesAreExactBytes)
{
    ASSERT_TRUE(Load(GuiTest::Screen("<layer><item type=\"Control\" name=\"menu\"><children>"
                                     "<item type=\"Control\" name=\"first\"/><item type=\"Control\" name=\"second\"/>"
                                     "</children></item></layer>")));
    const std::string flags = std::string("\x01\xC0\x01\x01-\x01\xFF\x01\x01V\x01\x01\xC0\x01-") +
                              "\x01\xFF\xFF\xFF" "A\x01\x80\x80\x80-\x01\x40\x40\x40-" +
                              "\x01\x80\x80\x01-\x01\xC0\xC0\x01-\x01\xFF\xFF\xFF ";
    const std::string alpha = std::string(" \x01\x01\x40\x01") + "a: 255";
    EXPECT_EQ(DumpLines(), (std::vector<std::string>{flags + "menu" + alpha, flags + "  first" + alpha,
                                                     flags + "  second" + alpha}));
}

// Logs its own deletion.
struct Recorder : Plim::Graphic {
    Recorder(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    ~Recorder() override { log.push_back(name); }
    void Draw(Tarv::Surface&, int) override {}
    void Update(const float&) override {}
    Rect GetRect() const override { return Rect{0, 0, 0, 0}; }
    std::vector<std::string>& log;
    std::string name;
};

TEST(NodeLifetime, ChildrenGoInListOrderBeforeTheirParentsItem)
{
    std::vector<std::string> log;
    using GraphicNode = Plim::Node<Plim::Graphic>;
    auto* root = new GraphicNode("r", new Recorder(log, "r"));
    auto* a = new GraphicNode("a", new Recorder(log, "a"));
    root->AddChild(a);
    a->AddChild(new GraphicNode("a1", new Recorder(log, "a1")));
    a->AddChild(new GraphicNode("a2", new Recorder(log, "a2")));
    root->AddChild(new GraphicNode("b", new Recorder(log, "b")));
    delete root;
    EXPECT_EQ(log, (std::vector<std::string>{"a1", "a2", "a", "b", "r"}));
}

struct BadLayout {
    const char* label;
    std::string layers;
    std::size_t messages;
    std::size_t lines;
};

void PrintTo(const BadLayout& c, std::ostream* out)
{
    *out << c.label;
}

std::string Item(const std::string& name, const std::string& body)
{
    return "<item type=\"Control\" name=\"" + name + "\">" + body + "</item>";
}

std::string WithRep(const std::string& file)
{
    return Item("c", "<representation type=\"default\" file=\"" + file + "\"/>");
}

std::string Root(const std::string& children)
{
    return "<layer>" + Item("root", "<children>" + children + "</children>") + "</layer>";
}

class DamagedLayout : public GuiTest::GuiWorld<>, public testing::WithParamInterface<BadLayout>
{
};

TEST_P(DamagedLayout, SkipsWithOneMessageAndNoEmptyNode)
{
    EXPECT_TRUE(Load(GuiTest::Screen(GetParam().layers)));
    EXPECT_EQ(messages.size(), GetParam().messages);
    EXPECT_EQ(DumpLines().size(), GetParam().lines);
    Tarv::Surface nowhere(nullptr);
    layout.Draw(nowhere);
    layout.FindTouchableControl(0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Items, DamagedLayout,
    testing::Values(
        BadLayout{"NoType", Root("<item name=\"a\"/>"), 1, 1},
        BadLayout{"NoName", Root("<item type=\"Control\"/>"), 1, 1},
        BadLayout{"UnknownType", Root("<item type=\"Button\" name=\"b\"/>"), 1, 1},
        BadLayout{"NotAnItem", Root("<thing/>" + Item("k", "")), 1, 2},
        BadLayout{"LayerWithoutItem", "<layer><thing/>" + Item("k", "") + "</layer>", 1, 0},
        BadLayout{"EmptyLayer", "<layer/>", 1, 0},
        BadLayout{"MissingFileOnce", Root(WithRep("rep/none.xml") + WithRep("rep/none.xml")), 1, 3},
        BadLayout{"MalformedFile", Root(WithRep("rep/broken.xml")), 1, 2},
        BadLayout{"FileWithoutItem", Root(WithRep("rep/empty.xml")), 1, 2},
        BadLayout{"FileStartsWithOther", Root(WithRep("rep/notitem.xml")), 1, 2},
        BadLayout{"UnknownGraphic", Root(WithRep("rep/unknown.xml")), 1, 2},
        BadLayout{"NoFileAttribute", Root(Item("c", "<representation type=\"default\"/>")), 1, 2},
        BadLayout{"OverrideWithoutName",
                  Root(Item("c", "<representation type=\"default\" file=\"rep/box.xml\"><override/></representation>")), 1, 2},
        BadLayout{"HugeSurface", Root(Item("c", "<compositing><width>0x7fffffff</width><height>9</height></compositing>")), 0, 2},
        BadLayout{"NoDefault", Root(Item("c", "<representation type=\"up\" file=\"rep/box.xml\"/>")), 0, 2},
        BadLayout{"TextLineOverRectangle",
                  Root("<item type=\"TextLine\" name=\"t\"><representation type=\"default\" file=\"rep/box.xml\"/></item>"), 1, 2},
        BadLayout{"TextLineWithoutDefaultOrFont",
                  Root("<item type=\"TextLine\" name=\"t\"><representation type=\"up\" file=\"rep/label.xml\"/></item>"), 1, 2},
        BadLayout{"TextBoxWithoutFont", Root("<item type=\"TextBox\" name=\"b\"><text-blocks><text/></text-blocks></item>"), 1, 2}),
    [](const testing::TestParamInfo<BadLayout>& info) { return info.param.label; });

struct AlphaChain {
    const char* label;
    std::string root, middle, leaf; // properties of the three controls of one chain
    bool middleActive;              // the middle one is drawing into its compositing surface
    int effective;                  // the leaf's effective alpha, as "GetAlpha" and the dump give it
    bool inherited;                 // an alpha is set on the leaf's way up
};

void PrintTo(const AlphaChain& c, std::ostream* out)
{
    *out << c.label;
}

class AlphaChains : public GuiTest::GuiWorld<>, public testing::WithParamInterface<AlphaChain>
{
};

TEST_P(AlphaChains, EffectiveAndInheritedAlphaFollowTheChainUp)
{
    const AlphaChain& c = GetParam();
    const std::string leaf = Item("leaf", c.leaf);
    const std::string middle = Item("middle", c.middle + "<children>" + leaf + "</children>");
    ASSERT_TRUE(Load(GuiTest::Screen("<layer>" + Item("root", c.root + "<children>" + middle + "</children>") + "</layer>")));
    Find("middle")->SetCompositingActive(c.middleActive);
    EXPECT_EQ(Find("leaf")->GetEffectiveAlpha(), c.effective);
    EXPECT_EQ(Find("leaf")->HasInheritedAlpha(), c.inherited);
    const std::string line = DumpLines().back();
    EXPECT_EQ(line.substr(line.rfind("a: ") + 3), std::to_string(c.effective));
}

const std::string COMPOSITING = "<compositing><width>4</width><height>4</height></compositing>";

INSTANTIATE_TEST_SUITE_P(
    Alpha, AlphaChains,
    testing::Values(
        AlphaChain{"NoneSet", "", "", "", false, 255, false},
        AlphaChain{"SetAtTheRoot", "<alpha>128</alpha>", "", "", false, 128, true},
        AlphaChain{"Set255StillCounts", "", "<alpha>255</alpha>", "", false, 255, true},
        AlphaChain{"HalvedTwice", "<alpha>128</alpha>", "", "<alpha>128</alpha>", false, 64, true},
        AlphaChain{"AboveTheByteIsKept", "<alpha>300</alpha>", "", "", false, 300, true},
        AlphaChain{"AboveTheByteScalesTheChild", "<alpha>300</alpha>", "", "<alpha>128</alpha>", false, 150, true},
        AlphaChain{"NegativeIsKept", "", "", "<alpha>-5</alpha>", false, -5, true},
        AlphaChain{"ProductBeyond32Bits", "<alpha>65536</alpha>", "", "<alpha>65536</alpha>", false, 16843009, true},
        AlphaChain{"ResultBeyondTheIntRange", "<alpha>0x7fffffff</alpha>", "<alpha>0x7fffffff</alpha>", "", false,
                   INT_MAX, true},
        AlphaChain{"ACompositingParentEndsTheWalk", "<alpha>128</alpha>", COMPOSITING, "", true, 255, false},
        AlphaChain{"ACompositingParentsOwnAlphaIsLeftToItsSurface", "", COMPOSITING + "<alpha>100</alpha>", "", true,
                   255, false},
        AlphaChain{"SetBelowACompositingParent", "<alpha>128</alpha>", COMPOSITING, "<alpha>100</alpha>", true, 100, true},
        AlphaChain{"AnIdleCompositingParentPassesItOn", "<alpha>128</alpha>", COMPOSITING, "", false, 128, true}),
    [](const testing::TestParamInfo<AlphaChain>& info) { return info.param.label; });

TEST_F(Blank, TreesDeeperThanTheLimitStopThereAndWideOnesAreWalkedWhole)
{
    std::string deep;
    for (int i = 0; i < 70; ++i)
        deep += "<item type=\"Control\" name=\"d\"><compositing><width>4</width><height>4</height></compositing><touchable>true</touchable><children>";
    for (int i = 0; i < 70; ++i)
        deep += "</children></item>";
    std::string wide;
    for (int i = 0; i < 5000; ++i)
        wide += Item("w" + std::to_string(i), "<touchable>true</touchable>");
    ASSERT_TRUE(Load(GuiTest::Screen("<layer>" + deep + "</layer>" + Root(wide))));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(DumpLines().size(), std::size_t(Plim::Node<Control>::MAX_DEPTH) + 5001);
    Tarv::Surface nowhere(nullptr);
    layout.Draw(nowhere);
    EXPECT_EQ(layout.FindTouchableControl(0, 0)->GetNode()->GetName(), "w4999");
}

TEST_F(Blank, ANoDefaultControlHasNoCurrentRepresentationUntilOneIsChosen)
{
    ASSERT_TRUE(Load(GuiTest::Screen(Root(Item("c", "<representation type=\"up\" file=\"rep/box.xml\"/>")))));
    Control* control = Find("c");
    EXPECT_EQ(control->GetRepresentation(), nullptr);
    EXPECT_EQ(control->GetScreenRect(), (Rect{0, 0, 0, 0}));
    control->SelectRepresentation("up");
    EXPECT_EQ(control->GetScreenRect(), (Rect{0, 0, 100, 80}));
}

// With a driver whose textures are at most 64 pixels a side: the surface is asked for at the
// size the layout gives, and only the texture layer turns a size down.
TEST_F(Blank, ACompositingElementAlwaysCompositesThroughASurfaceOfItsSize)
{
    Tarv::OpenGLCaps::SetTextureSizeLimit(64);
    const struct {
        const char* size;
        int width, height;
        bool pixels;
    } cases[] = {{"<width>64</width>", 64, 0, false},
                 {"<width>64</width><height>64</height>", 64, 64, true},
                 {"<width>-3</width><height>8</height>", -3, 8, false},
                 {"<width>65</width><height>8</height>", 65, 8, true}};
    for (const auto& c : cases) {
        messages.clear();
        ASSERT_TRUE(Load(GuiTest::Screen(
            "<layer>" + Item("c", std::string("<compositing>") + c.size + "</compositing><children>" + Item("child", "") +
                                      "</children>") + "</layer>")));
        const Control* control = Find("c");
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->IsCompositing()) << c.size;
        EXPECT_EQ(control->GetCompositingWidth(), c.width) << c.size;
        EXPECT_EQ(control->GetCompositingHeight(), c.height) << c.size;
        ASSERT_NE(control->GetCompositingSurface(), nullptr) << c.size;
        EXPECT_EQ(control->GetCompositingSurface()->GetPixelData() != nullptr, c.pixels) << c.size;
        if (c.pixels) {
            EXPECT_EQ(control->GetCompositingSurface()->GetWidth(), c.width) << c.size;
        }
        EXPECT_TRUE(messages.empty()) << c.size;
        std::vector<std::string> drawn;
        layout.GetLayers()[0]->VisitDrawn([&drawn](Control& visited) { drawn.push_back(visited.GetNode()->GetName()); });
        EXPECT_EQ(drawn, std::vector<std::string>{"c"}) << "the composited control draws its own subtree";
    }
    Tarv::OpenGLCaps::SetTextureSizeLimit(0);
}

TEST_F(Blank, AMissingLayoutGivesNoLayersAndOneMessage)
{
    EXPECT_FALSE(layout.Load("nowhere.xml"));
    EXPECT_TRUE(layout.GetLayers().empty());
    EXPECT_EQ(messages.size(), 1u);
}

} // namespace
