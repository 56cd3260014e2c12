// The built archives read back through the engine's own readers: every atlas and its page, every
// font, every sound; mounted as the program mounts them.
#include "audio/sources/AudioOgg.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "graphics/image/AtlasLayout.h"
#include "graphics/render/PixelData.h"
#include "graphics/image/PngImageLoader.h"
#include "graphics/text/FontEx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

Bytes ReadWhole(const std::string& path)
{
    Tarv::SmartPtr<Tarv::File> file(Tarv::VfsOpenRead(path.c_str()));
    Bytes out;
    std::uint8_t block[65536];
    for (int got; file && (got = file->Read(block, sizeof block)) > 0;)
        out.insert(out.end(), block, block + got);
    return out;
}

// The names listed in a content source file: the first word of every line that is no comment.
std::vector<std::string> Names(const std::string& source)
{
    std::ifstream in(std::string(BRASHWICK_SOURCE_DIR) + "/content/" + source);
    std::vector<std::string> names;
    for (std::string line, word; std::getline(in, line);)
        if (std::istringstream(line) >> word && word[0] != '#')
            names.push_back(word);
    return names;
}

class BuiltContent : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Tarv::VfsInit();
        for (const char* pak : {"platform.pak", "common.pak", "atlas.pak"})
            ASSERT_NE(Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/" + pak, "",
                                        Tarv::VFS_MOUNT_FALL_THROUGH), nullptr) << pak;
    }
    static void TearDownTestSuite() { Tarv::VfsShutdown(); }
};

TEST_F(BuiltContent, AtlasRegionsLieApartOnTheirDecodedPages)
{
    const std::vector<std::string> atlases = Names("atlas/atlases.txt");
    ASSERT_EQ(atlases.size(), 18u);
    for (const std::string& atlas : atlases) {
        std::vector<Tarv::AtlasRegion> regions;
        ASSERT_TRUE(Tarv::AtlasLayout::ParseFile(atlas + ".xml", "", regions)) << atlas;
        const Bytes png = ReadWhole(atlas + ".png");
        Tarv::SmartPtr<Tarv::PixelData> page = Tarv::PngImageLoader().Decode(png.data(), png.size());
        ASSERT_TRUE(page) << atlas;
        ASSERT_FALSE(regions.empty()) << atlas;
        for (std::size_t a = 0; a < regions.size(); ++a) {
            const Tarv::AtlasRegion& r = regions[a];
            EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= int(page->GetWidth())
                        && r.y + r.height <= int(page->GetHeight())) << r.name;
            for (std::size_t b = a + 1; b < regions.size(); ++b) {
                const Tarv::AtlasRegion& q = regions[b];
                EXPECT_TRUE(r.x + r.width <= q.x || q.x + q.width <= r.x || r.y + r.height <= q.y
                            || q.y + q.height <= r.y) << r.name << " overlaps " << q.name;
            }
        }
    }
}

// The far and near strips repeat tile 0, tile 1, tile 0, ...: where one tile ends the next must go
// on at the same hill height, or every join shows a step. Each band's sky and strips share one
// 1024 x 1024 page.
TEST_F(BuiltContent, BackgroundStripsJoinWithoutAStepOnOnePagePerBand)
{
    for (int band = 1; band <= 5; ++band) {
        const std::string atlas = "back" + std::to_string(band);
        std::vector<Tarv::AtlasRegion> regions;
        ASSERT_TRUE(Tarv::AtlasLayout::ParseFile(atlas + ".xml", "", regions)) << atlas;
        const Bytes png = ReadWhole(atlas + ".png");
        Tarv::SmartPtr<Tarv::PixelData> page = Tarv::PngImageLoader().Decode(png.data(), png.size());
        ASSERT_TRUE(page) << atlas;
        EXPECT_LE(page->GetWidth() * page->GetHeight(), 1024 * 1024) << atlas;
        auto find = [&](const std::string& name) -> const Tarv::AtlasRegion* {
            for (const Tarv::AtlasRegion& region : regions)
                if (region.name == "images/back/b" + std::to_string(band) + "/" + name + ".png")
                    return &region;
            return nullptr;
        };
        // Rows of a region's column that are covered: the hill's height there.
        auto height = [&](const Tarv::AtlasRegion& region, int column) {
            int covered = 0;
            for (int y = 0; y < region.height; ++y)
                covered += page->GetPixel(region.x + column, region.y + y).a > 128 ? 1 : 0;
            return covered;
        };
        for (const char* layer : {"far", "near"}) {
            const Tarv::AtlasRegion* tiles[2] = {find(std::string(layer) + "_0"), find(std::string(layer) + "_1")};
            ASSERT_TRUE(tiles[0] && tiles[1]) << atlas << " " << layer;
            for (int left = 0; left < 2; ++left) {
                const Tarv::AtlasRegion& a = *tiles[left];
                const Tarv::AtlasRegion& b = *tiles[1 - left];
                EXPECT_NEAR(height(a, a.width - 1), height(b, 0), 3) << atlas << " " << layer << "_" << left;
            }
        }
    }
}

TEST_F(BuiltContent, FontsParseWithEveryTextCharacter)
{
    for (const std::string& font : Names("platform/fonts/fonts.txt")) {
        Tarv::SmartPtr<Tarv::File> file(Tarv::VfsOpenRead(("fonts/" + font + ".xml").c_str()));
        ASSERT_TRUE(file) << font;
        Tarv::SmartPtr<Tarv::FontEx> parsed(new Tarv::FontEx());
        ASSERT_TRUE(parsed->Parse(*file)) << font;
        EXPECT_GE(parsed->GetGlyphCount(), font == "hud" ? 99u : 200u) << font;
    }
}

TEST_F(BuiltContent, SoundsDecodeAsMonoAt22050Hz)
{
    std::vector<std::string> sounds;
    for (const std::string& name : Names("common/audio/sfx.txt"))
        sounds.push_back("sfx/" + name + ".ogg");
    sounds.insert(sounds.end(), {"music/menu_music.ogg", "music/game_music.ogg"});
    ASSERT_EQ(sounds.size(), 36u);
    for (const std::string& sound : sounds) {
        Tarv::SmartPtr<Tarv::AudioOgg> ogg(Tarv::AudioOgg::OpenFile(sound.c_str()));
        ASSERT_TRUE(ogg) << sound;
        EXPECT_EQ(ogg->GetChannels(), 1u) << sound;
        EXPECT_EQ(ogg->GetRate(), 22050u) << sound;
        std::int16_t block[512];
        EXPECT_EQ(ogg->Read(block, sizeof block), sizeof block) << sound;
    }
}

} // namespace
