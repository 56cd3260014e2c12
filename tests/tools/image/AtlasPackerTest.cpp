// The atlas packer: every region of the page holds its image, regions never overlap, borders
// are extruded, and the XML reads back through the engine's atlas reader with the image paths
// as ids; also the tarvatlas program end to end.
#include "tools/image/AtlasPacker.h"

#include "engine/core/Xml.h"
#include "graphics/image/AtlasLayout.h"
#include "graphics/image/PngImageLoader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Tarv;
using Bytes = std::vector<std::uint8_t>;

namespace
{

RgbaImage Solid(int width, int height, std::uint8_t seed)
{
    RgbaImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i)
        image.pixels.insert(image.pixels.end(), {seed, std::uint8_t(i), std::uint8_t(255 - seed), 255});
    return image;
}

const std::uint8_t* PagePixel(const RgbaImage& page, int x, int y)
{
    return &page.pixels[(std::size_t(y) * page.width + x) * 4];
}

void ExpectRegionsHoldImages(const RgbaImage& page, const std::vector<AtlasRegion>& regions,
                             const std::map<std::string, RgbaImage>& images)
{
    for (const AtlasRegion& region : regions) {
        const RgbaImage& image = images.at(region.name);
        ASSERT_EQ(region.width, image.width);
        ASSERT_EQ(region.height, image.height);
        ASSERT_LE(region.x + region.width, page.width);
        ASSERT_LE(region.y + region.height, page.height);
        for (int y = 0; y < image.height; ++y)
            ASSERT_EQ(0, std::memcmp(PagePixel(page, region.x, region.y + y),
                                     &image.pixels[std::size_t(y) * image.width * 4],
                                     std::size_t(image.width) * 4))
                << region.name << " row " << y;
    }
    for (std::size_t a = 0; a < regions.size(); ++a)
        for (std::size_t b = a + 1; b < regions.size(); ++b) {
            const AtlasRegion& p = regions[a];
            const AtlasRegion& q = regions[b];
            const bool apart = p.x + p.width + AtlasPacker::PADDING <= q.x
                || q.x + q.width + AtlasPacker::PADDING <= p.x
                || p.y + p.height + AtlasPacker::PADDING <= q.y
                || q.y + q.height + AtlasPacker::PADDING <= p.y;
            EXPECT_TRUE(apart) << p.name << " and " << q.name;
        }
}

} // namespace

TEST(AtlasPacker, RegionsHoldTheirImagesOnAPowerOfTwoPage)
{
    std::map<std::string, RgbaImage> images = {
        {"menu/button.png", Solid(30, 12, 1)}, {"menu/logo.png", Solid(50, 20, 2)},
        {"hud/dot.png", Solid(1, 1, 3)},       {"hud/bar.png", Solid(64, 4, 4)},
        {"a&b\".png", Solid(7, 9, 5)}};
    AtlasPacker packer;
    for (const auto& item : images)
        ASSERT_TRUE(packer.Add(item.first, item.second));
    ASSERT_TRUE(packer.Pack(1024));
    const RgbaImage& page = packer.GetPage();
    EXPECT_EQ(page.width & (page.width - 1), 0);
    EXPECT_EQ(page.height & (page.height - 1), 0);
    EXPECT_LE(page.width * page.height, 128 * 64);

    std::vector<AtlasRegion> regions;
    ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(packer.GetXml()), "", regions));
    ASSERT_EQ(regions.size(), images.size());
    ExpectRegionsHoldImages(page, regions, images);
}

TEST(AtlasPacker, UsesTheRoomUnderAShortImageBesideATallOne)
{
    // On shelves the 64-wide strip needs a third shelf below the 18-high one and runs off a
    // 64 x 64 page; stacking the two small images beside the tall one leaves it room.
    const std::map<std::string, RgbaImage> images = {{"tall.png", Solid(40, 40, 1)},
                                                     {"small.png", Solid(20, 20, 2)},
                                                     {"smaller.png", Solid(20, 18, 3)},
                                                     {"strip.png", Solid(64, 16, 4)}};
    AtlasPacker packer;
    for (const auto& item : images)
        ASSERT_TRUE(packer.Add(item.first, item.second));
    ASSERT_TRUE(packer.Pack(64));
    EXPECT_EQ(packer.GetPage().width, 64);
    EXPECT_EQ(packer.GetPage().height, 64);
    std::vector<AtlasRegion> regions;
    ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(packer.GetXml()), "", regions));
    ASSERT_EQ(regions.size(), images.size());
    ExpectRegionsHoldImages(packer.GetPage(), regions, images);
}

TEST(AtlasPacker, BordersAreRepeatedIntoThePadding)
{
    AtlasPacker packer;
    ASSERT_TRUE(packer.Add("a.png", Solid(4, 4, 10)));
    ASSERT_TRUE(packer.Add("b.png", Solid(4, 4, 20)));
    ASSERT_TRUE(packer.Pack(64));
    const RgbaImage& page = packer.GetPage();
    std::vector<AtlasRegion> regions;
    ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(packer.GetXml()), "", regions));
    // Compares the padding pixel at (x, y) with the region pixel it should repeat.
    int checked = 0;
    auto expectCopy = [&](int x, int y, int fromX, int fromY) {
        if (x < 0 || y < 0 || x >= page.width || y >= page.height)
            return;
        ++checked;
        EXPECT_EQ(0, std::memcmp(PagePixel(page, x, y), PagePixel(page, fromX, fromY), 4)) << x << "," << y;
    };
    for (const AtlasRegion& r : regions) {
        const int right = r.x + r.width - 1, bottom = r.y + r.height - 1;
        expectCopy(r.x - 1, r.y + 1, r.x, r.y + 1);
        expectCopy(right + 1, r.y + 2, right, r.y + 2);
        expectCopy(r.x + 1, r.y - 1, r.x + 1, r.y);
        expectCopy(r.x + 2, bottom + 1, r.x + 2, bottom);
        expectCopy(right + 1, bottom + 1, right, bottom);
    }
    EXPECT_GE(checked, 2);
}

TEST(AtlasPacker, RefusesWhatItCannotPack)
{
    AtlasPacker packer;
    EXPECT_FALSE(packer.Pack(1024));
    ASSERT_TRUE(packer.Add("big.png", Solid(40, 40, 1)));
    EXPECT_FALSE(packer.Add("big.png", Solid(2, 2, 1)));
    EXPECT_FALSE(packer.Add("empty.png", RgbaImage()));
    EXPECT_FALSE(packer.Pack(32));
    EXPECT_TRUE(packer.Pack(64));
    EXPECT_FALSE(packer.AddFolder("/no/such", "dir"));
}

TEST(AtlasPacker, SplitPagesAreFilledInOrderAndRefuseTooFewPages)
{
    AtlasPacker packer;
    for (const char* id : {"a.png", "b.png", "c.png"})
        ASSERT_TRUE(packer.Add(id, Solid(40, 40, 7)));
    ASSERT_TRUE(packer.Add("small.png", Solid(20, 10, 8)));
    std::vector<AtlasPacker> pages;
    EXPECT_FALSE(packer.PackSplit(64, 2, pages));
    ASSERT_TRUE(packer.PackSplit(64, 5, pages));
    ASSERT_EQ(pages.size(), 3u);
    std::vector<std::string> ids;
    for (const AtlasPacker& page : pages) {
        std::vector<AtlasRegion> regions;
        ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(page.GetXml()), "", regions));
        for (const AtlasRegion& region : regions)
            ids.push_back(region.name);
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"a.png", "b.png", "c.png", "small.png"}));
}

TEST(AtlasPacker, TransparentPixelsTakeTheColourOfTheirVisibleNeighbours)
{
    RgbaImage image;
    image.width = 3;
    image.height = 1;
    image.pixels = {200, 40, 10, 255, 9, 9, 9, 0, 9, 9, 9, 0};
    AtlasPacker packer;
    ASSERT_TRUE(packer.Add("edge.png", image));
    ASSERT_TRUE(packer.Pack(8));
    const std::uint8_t* next = PagePixel(packer.GetPage(), 1, 0);
    const std::uint8_t* far = PagePixel(packer.GetPage(), 2, 0);
    EXPECT_EQ(Bytes(next, next + 4), (Bytes{200, 40, 10, 0}));
    EXPECT_EQ(Bytes(far, far + 4), (Bytes{9, 9, 9, 0}));
}

TEST(AtlasPacker, ProgramPacksFoldersIntoPageAndXml)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("brashwick-tarvatlas-" + std::to_string(::getpid()));
    fs::create_directories(root / "menu/icons");
    fs::create_directories(root / "hud");
    std::map<std::string, RgbaImage> images = {{"menu/back.png", Solid(20, 10, 1)},
                                               {"menu/icons/star.png", Solid(8, 8, 2)},
                                               {"hud/moon.png", Solid(9, 3, 3)}};
    for (const auto& item : images) {
        Bytes png;
        ASSERT_TRUE(item.second.WritePng(png));
        std::ofstream(root / item.first, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    }
    std::ofstream(root / "menu/readme.txt") << "not an image";
    const std::string command = std::string(BRASHWICK_BINARY_DIR) + "/tools/image/tarvatlas "
        + root.string() + " menu,hud " + (root / "menu.xml").string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::ifstream in(root / "menu.png", std::ios::binary);
    const Bytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SmartPtr<PixelData> page = PngImageLoader().Decode(png.data(), png.size());
    ASSERT_TRUE(page);
    RgbaImage pageImage;
    ASSERT_TRUE(RgbaImage::FromPixelData(*page, pageImage));
    std::ifstream xmlIn(root / "menu.xml");
    const std::string xml((std::istreambuf_iterator<char>(xmlIn)), std::istreambuf_iterator<char>());
    std::vector<AtlasRegion> regions;
    ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(xml), "", regions));
    ASSERT_EQ(regions.size(), 3u);
    ExpectRegionsHoldImages(pageImage, regions, images);
    std::vector<AtlasRegion> linear;
    ASSERT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(xml), "linear", linear));
    EXPECT_EQ(linear[0].name, "menu/back.png@linear");
    fs::remove_all(root);
}
