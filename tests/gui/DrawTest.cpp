// Layouts drawn on real frames under Xvfb and read back: nested and faded controls, a composited
// control at alpha 128, sprites from atlas regions, filled and outlined rectangles, compared
// with a golden image; and one draw call for controls that come from one atlas page.
#include "gui/Layout.h"

#include "framework/AssetFunctions.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/gui/GuiWorld.h"

#include <algorithm>
#include <cstdlib>

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
        std::vector<std::uint8_t> rgba, rgb, golden;
        ASSERT_TRUE(Screen()->ReadBack(0, 0, GOLDEN_WIDTH, GOLDEN_HEIGHT, rgba));
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        const std::string path = BRASHWICK_SOURCE_DIR "/tests/gui/golden/" + name + ".ppm";
        const std::string header = "P6\n256 128\n255\n";
        const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
        if (update != nullptr && std::string(update) == "1") {
            std::ofstream(path, std::ios::binary) << header << std::string(rgb.begin(), rgb.end());
            return;
        }
        std::ifstream in(path, std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(file.size(), header.size() + rgb.size()) << path;
        ASSERT_EQ(file.substr(0, header.size()), header);
        int differing = 0, worst = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            int largest = 0;
            for (std::size_t c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(int(rgb[i + c]) - int(std::uint8_t(file[header.size() + i + c]))));
            differing += largest > 4 ? 1 : 0;
            worst = std::max(worst, largest);
        }
        EXPECT_LE(differing, GOLDEN_WIDTH * GOLDEN_HEIGHT / 200);
        EXPECT_LE(worst, 40);
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
        {10, 30, {20, 40, 200, 255}},     // the outline's top-left corner
        {20, 35, {235, 230, 215, 255}},   // inside the outline
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

} // namespace
