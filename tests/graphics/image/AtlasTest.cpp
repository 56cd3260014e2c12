// Atlases: regions named from the XML and the option, the page fetched through the hook,
// unreadable atlases left empty, and every region of a page drawn in one counted draw call.
#include "graphics/image/Atlas.h"

#include "ImageTestFiles.h"
#include "engine/core/WeakPtr.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tarv;
using ImageTestFiles::Bytes;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;

namespace
{

// An 8x8 page whose pixel (x, y) is (30 x, 30 y, 100).
Bytes PagePixels()
{
    Bytes rgba;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            rgba.insert(rgba.end(), {std::uint8_t(30 * x), std::uint8_t(30 * y), 100, 255});
    return rgba;
}

const char* const MENU_XML =
    "<atlas>"
    "<rect id=\"menu/a.png\" x=\"0\" y=\"0\" width=\"2\" height=\"2\"/>"
    "<rect id=\"menu/b.png\" x=\"4\" y=\"010\" width=\"3\" height=\"0x2\"/>"
    "<rect id=\"menu/a.png\" x=\"6\" y=\"6\" width=\"2\" height=\"2\"/>"
    "<other id=\"x\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"
    "<rect id=\"menu/c.png\" x=\"5\" y=\"1\"/>"
    "</atlas>";

class AtlasFiles : public ::testing::Test
{
protected:
    ImageTestFiles::Folder m_folder{"atlas"};
};

class AtlasDrawing : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_folder = std::make_unique<ImageTestFiles::Folder>("atlasdraw");
        m_folder->Write("menu.png", ImageTestFiles::PngRgba(8, 8, PagePixels()));
        m_folder->WriteText("menu.xml", MENU_XML);
    }
    void TearDown() override { m_folder.reset(); }

    std::unique_ptr<ImageTestFiles::Folder> m_folder;
};

} // namespace

TEST_F(AtlasFiles, RegionsAreNamedWithTheOptionAndTheFirstNameWins)
{
    m_folder.Write("menu.png", ImageTestFiles::PngRgba(8, 8, PagePixels()));
    m_folder.WriteText("menu.xml", MENU_XML);
    ImageTestFiles::FetchedNames().clear();
    SmartPtr<Atlas> atlas = Atlas::Load("menu.xml@linear", &ImageTestFiles::RecordingFetch);
    ASSERT_TRUE(atlas);
    ASSERT_EQ(ImageTestFiles::FetchedNames().size(), 1u);
    EXPECT_EQ(ImageTestFiles::FetchedNames()[0], "menu.png@linear");
    ASSERT_EQ(atlas->GetRegions().size(), 3u);
    AtlasSurface* a = atlas->GetRegion("menu/a.png@linear");
    AtlasSurface* b = atlas->GetRegion("menu/b.png@linear");
    AtlasSurface* c = atlas->GetRegion("menu/c.png@linear");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(atlas->GetRegion("menu/a.png"), nullptr);
    EXPECT_EQ(a->GetSourceX(), 0);
    EXPECT_EQ(b->GetSourceY(), 8);
    EXPECT_EQ(b->GetHeight(), 2);
    // The last rect keeps the size of the one before it (the dropped duplicate).
    EXPECT_EQ(c->GetWidth(), 2);
    EXPECT_EQ(c->GetSourceX(), 5);
    EXPECT_EQ(b->GetFlags(0xffffffffu), Surface::FLAG_LINEAR);
    EXPECT_EQ(b->GetPixelData(), atlas->GetImage()->GetPixelData());
    // Without an option the id alone names the region.
    Atlas plain("menu.xml", "menu.png", "");
    EXPECT_NE(plain.GetRegion("menu/a.png"), nullptr);
    EXPECT_EQ(plain.GetImage()->GetFlags(0xffffffffu), 0u);
    // A description of another ending finds its page the same way.
    m_folder.WriteText("menu.atl", MENU_XML);
    SmartPtr<Atlas> other = Atlas::Load("menu.atl");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->GetRegions().size(), 3u);
    EXPECT_TRUE(other->GetImage());
}

TEST_F(AtlasFiles, UnreadableAtlasesHaveNoRegions)
{
    m_folder.WriteText("nopage.xml", MENU_XML);
    m_folder.Write("noxml.png", ImageTestFiles::PngRgba(8, 8, PagePixels()));
    m_folder.Write("broken.png", ImageTestFiles::PngRgba(8, 8, PagePixels()));
    m_folder.WriteText("broken.xml", "<atlas><rect");
    EXPECT_TRUE(Atlas::Load("nopage.xml")->GetRegions().empty());
    EXPECT_FALSE(Atlas::Load("nopage.xml")->GetImage());
    EXPECT_TRUE(Atlas::Load("noxml.xml")->GetRegions().empty());
    EXPECT_TRUE(Atlas::Load("broken.xml@linear")->GetRegions().empty());
    // Any path of three characters or more names a page; shorter ones name none.
    EXPECT_TRUE(Atlas::Load("xml")->GetRegions().empty());
    EXPECT_TRUE(Atlas::Load(".xml")->GetRegions().empty());
    EXPECT_TRUE(Atlas::Load("menu.png")->GetRegions().empty());
    EXPECT_FALSE(Atlas::Load("ab"));
    EXPECT_FALSE(Atlas::Load("ab@linear"));
}

TEST(Atlas, RegionsOutliveTheAtlasAndHoldThePage)
{
    SmartPtr<Surface> page(new Surface(PixelDataGL::CreateTarget(16, 16, PixelDataGL::FORMAT_RGBA8888)));
    WeakPtr<Surface> weakPage(page.Get());
    SmartPtr<AtlasSurface> kept;
    {
        SmartPtr<Atlas> atlas = MakeSmart<Atlas>(page.Get(), std::vector<AtlasRegion>{{"r", 1, 2, 3, 4}});
        page.Reset();
        kept = atlas->GetRegion("r");
    }
    ASSERT_TRUE(kept);
    EXPECT_TRUE(weakPage.Lock());
    kept.Reset();
    EXPECT_FALSE(weakPage.Lock());
    EXPECT_TRUE(Atlas(nullptr, std::vector<AtlasRegion>{{"r", 1, 2, 3, 4}}).GetRegions().empty());
}

TEST_F(AtlasDrawing, AllRegionsOfAPageDrawInOneCall)
{
    SmartPtr<Atlas> atlas = Atlas::Load("menu.xml");
    ASSERT_TRUE(atlas);
    ASSERT_EQ(atlas->GetRegions().size(), 3u);
    Batcher()->Flush();
    GLCalls::ResetCounters();
    int x = 100;
    for (const auto& entry : atlas->GetRegions()) {
        AtlasSurface* region = entry.second.Get();
        const int rect[4] = {0, 0, region->GetWidth(), region->GetHeight()};
        Screen()->Blit(x, 100, region, rect);
        x += 20;
    }
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 1u);
    EXPECT_EQ(GLCalls::GetCounters().textureUploads, 1u);
    // Region b lies below the 8-pixel page: it is clipped to nothing, in the same call.
    AtlasSurface* a = atlas->GetRegion("menu/a.png");
    AtlasSurface* c = atlas->GetRegion("menu/c.png");
    ASSERT_TRUE(a && c);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 101, 101), Rgba{30, 30, 100, 255})) << ReadPixel(Screen(), 101, 101);
    // c is third in name order: page pixel (5 + 1, 1 + 1).
    EXPECT_TRUE(Near(ReadPixel(Screen(), 141, 101), Rgba{180, 60, 100, 255})) << ReadPixel(Screen(), 141, 101);
}
