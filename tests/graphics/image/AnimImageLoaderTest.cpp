// Animation files: the probe, frames fetched by name (through the hook or as plain paths),
// frames that cannot be fetched, and animations that name themselves or each other.
#include "graphics/image/AnimImageLoader.h"

#include "ImageTestFiles.h"
#include "engine/vfs/CachedFile.h"
#include "graphics/image/AnimatedSurface.h"
#include "graphics/image/ImageLoader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Tarv;
using ImageTestFiles::Bytes;

namespace
{

Bytes Pixels(int width, int height)
{
    return Bytes(std::size_t(width) * height * 4, 0x80);
}

class AnimImageLoaderFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder.Write("f1.png", ImageTestFiles::PngRgba(1, 1, Pixels(1, 1)));
        m_folder.Write("f2.png", ImageTestFiles::PngRgba(2, 3, Pixels(2, 3)));
        m_folder.Write("f1.png@linear", ImageTestFiles::PngRgba(4, 4, Pixels(4, 4)));
    }
    void TearDown() override { AnimImageLoader::SetFrameFetcher(nullptr); }

    SmartPtr<AnimatedSurface> Animation(const char* name)
    {
        SmartPtr<Surface> surface = ImageLoader::LoadFromFile(name, 5);
        return SmartPtr<AnimatedSurface>(dynamic_cast<AnimatedSurface*>(surface.Get()));
    }

    ImageTestFiles::Folder m_folder{"animloader"};
};

} // namespace

TEST(AnimImageLoaderProbe, OnlyTheExactDeclarationIsAnAnimation)
{
    const char* good = "<?xml version=\"1.0\"?><a/>";
    CachedFile yes(reinterpret_cast<const std::uint8_t*>(good), int(std::strlen(good)), true);
    EXPECT_TRUE(AnimImageLoader::Probe(&yes));
    for (const char* text : {"<?xml version='1.0'?><a/>", " <?xml version=\"1.0\"?>",
                             "\xEF\xBB\xBF<?xml version=\"1.0\"?>", "<?xml version=\"1.1\"?>",
                             "<?xml version=\"1.0"}) {
        CachedFile no(reinterpret_cast<const std::uint8_t*>(text), int(std::strlen(text)), true);
        EXPECT_FALSE(AnimImageLoader::Probe(&no)) << text;
    }
    EXPECT_FALSE(AnimImageLoader::Probe(nullptr));
}

TEST_F(AnimImageLoaderFiles, FramesAreFetchedAsPlainPathsWithoutAHook)
{
    m_folder.WriteText("walk.xml", "<?xml version=\"1.0\"?><whatever loop=\"yes\">"
                                   "<frame image=\"f1.png@linear\" time=\"100\" x=\"3\" y=\"-2\"/>"
                                   "<frame image=\"f2.png\"/><other image=\"f1.png\"/></whatever>");
    SmartPtr<AnimatedSurface> walk = Animation("walk.xml");
    ASSERT_TRUE(walk);
    ASSERT_EQ(walk->GetFrameCount(), 2u);
    // The file named with its options, not f1.png with linear filtering.
    EXPECT_EQ(walk->GetWidth(), 4);
    EXPECT_EQ(walk->GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(walk->GetDrawOffsetX(), 3);
    EXPECT_EQ(walk->GetDrawOffsetY(), -2);
    // The second frame lasts as long as the first; the loop wraps.
    EXPECT_FLOAT_EQ(walk->GetFrame(1)->seconds, 0.1f);
    EXPECT_TRUE(walk->Update(0.15f));
    EXPECT_TRUE(walk->Update(0.15f));
    EXPECT_EQ(walk->GetFrameIndex(), 0u);
}

TEST_F(AnimImageLoaderFiles, TheHookFetchesEveryFrameByItsAssetName)
{
    m_folder.WriteText("walk.xml", "<?xml version=\"1.0\"?><a loop=\"Yes\">"
                                   "<frame image=\"f1.png@linear\" time=\"100\"/>"
                                   "<frame image=\"f2.png\" time=\"100\"/></a>");
    ImageTestFiles::FetchedNames().clear();
    AnimImageLoader::SetFrameFetcher(&ImageTestFiles::RecordingFetch);
    // The animation's own options leave the frames' flags alone.
    SmartPtr<Surface> loaded = LoadSurface("walk.xml@ck");
    auto* walk = dynamic_cast<AnimatedSurface*>(loaded.Get());
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(ImageTestFiles::FetchedNames(), (std::vector<NarrowString>{"f1.png@linear", "f2.png"}));
    EXPECT_EQ(walk->GetWidth(), 1);
    EXPECT_EQ(walk->GetFlags(0xffffffffu), Surface::FLAG_LINEAR);
    // "Yes" is no boolean: the animation ends.
    EXPECT_TRUE(walk->Update(0.15f));
    EXPECT_FALSE(walk->Update(0.15f));
}

// Frames that cannot be fetched, including the animation itself, are left out; with none left
// there is no animation.
TEST_F(AnimImageLoaderFiles, FramesThatCannotBeFetchedAreLeftOut)
{
    const char* head = "<?xml version=\"1.0\"?><a>";
    m_folder.WriteText("gaps.xml", (std::string(head) + "<frame image=\"missing.png\" time=\"50\"/>"
                                   "<frame image=\"f2.png\" time=\"70\"/><frame/></a>").c_str());
    m_folder.WriteText("selfish.xml", (std::string(head) + "<frame image=\"selfish.xml\"/>"
                                      "<frame image=\"f2.png\"/></a>").c_str());
    SmartPtr<AnimatedSurface> gaps = Animation("gaps.xml");
    SmartPtr<AnimatedSurface> selfish = Animation("selfish.xml");
    ASSERT_TRUE(gaps && selfish);
    EXPECT_EQ(gaps->GetFrameCount() + selfish->GetFrameCount(), 2u);
    EXPECT_FLOAT_EQ(gaps->GetTimeLeft(), 0.07f);
    const std::pair<const char*, const char*> refused[] = {
        {"none.xml", "<frame image=\"missing.png\"/></a>"}, {"empty.xml", "<notaframe/></a>"},
        {"broken.xml", "<frame image="}, {"self.xml", "<frame image=\"self.xml\" time=\"10\"/></a>"}};
    for (const auto& [name, body] : refused) {
        m_folder.WriteText(name, (std::string(head) + body).c_str());
        EXPECT_FALSE(ImageLoader::LoadFromFile(name, 5)) << name;
    }
}

TEST_F(AnimImageLoaderFiles, ACycleThroughTheHookEndsAtItsFirstRepeat)
{
    m_folder.WriteText("a.xml", "<?xml version=\"1.0\"?><a><frame image=\"b.xml@linear\"/><frame image=\"f1.png\"/></a>");
    m_folder.WriteText("b.xml", "<?xml version=\"1.0\"?><a><frame image=\"a.xml\"/><frame image=\"f2.png\"/></a>");
    AnimImageLoader::SetFrameFetcher(&ImageTestFiles::RecordingFetch);
    SmartPtr<AnimatedSurface> a = Animation("a.xml");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->GetFrameCount(), 2u);
    auto* b = dynamic_cast<AnimatedSurface*>(a->GetFrame(0)->image.Get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetFrameCount(), 1u);
    EXPECT_EQ(b->GetWidth(), 2);
}

TEST_F(AnimImageLoaderFiles, NestingIsBounded)
{
    // chain0 -> chain1 -> ... -> chain11 -> f1.png: too deep for the nesting limit, yet no
    // crash and nothing half-built.
    for (int i = 0; i < 12; ++i) {
        const std::string next = i == 11 ? "f1.png" : "chain" + std::to_string(i + 1) + ".xml";
        const std::string text = "<?xml version=\"1.0\"?><a><frame image=\"" + next + "\"/></a>";
        m_folder.WriteText(("chain" + std::to_string(i) + ".xml").c_str(), text.c_str());
    }
    EXPECT_FALSE(ImageLoader::LoadFromFile("chain0.xml", 5));
    EXPECT_TRUE(ImageLoader::LoadFromFile("chain6.xml", 5));
}

TEST(AnimImageLoader, MemoryDocumentsNeedAFrame)
{
    EXPECT_FALSE(AnimImageLoader::LoadFromMemory(nullptr, 10));
    const char* text = "<?xml version=\"1.0\"?><a/>";
    EXPECT_FALSE(AnimImageLoader::LoadFromMemory(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)));
    EXPECT_FALSE(AnimImageLoader().Load(nullptr, 5));
}
