// Atlas XML: region names with and without an option, "%i" numbers, inherited values,
// duplicates, ignored elements, and unreadable documents.
#include "graphics/image/AtlasLayout.h"

#include "engine/core/Xml.h"

#include <gtest/gtest.h>

using namespace Tarv;

namespace
{

std::vector<AtlasRegion> Regions(const char* text, const char* option = "")
{
    std::vector<AtlasRegion> regions;
    EXPECT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(text), option, regions));
    return regions;
}

} // namespace

TEST(AtlasLayout, RegionNamesCarryTheOption)
{
    const char* text = "<atlas><rect id=\"menu/button.png\" x=\"1\" y=\"2\" width=\"30\" height=\"40\"/></atlas>";
    const auto plain = Regions(text);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].name, "menu/button.png");
    EXPECT_EQ(plain[0].x, 1);
    EXPECT_EQ(plain[0].y, 2);
    EXPECT_EQ(plain[0].width, 30);
    EXPECT_EQ(plain[0].height, 40);
    const auto linear = Regions(text, "linear");
    ASSERT_EQ(linear.size(), 1u);
    EXPECT_EQ(linear[0].name, "menu/button.png@linear");
}

TEST(AtlasLayout, NumbersReadOctalAndHex)
{
    const auto regions = Regions("<a><rect id=\"r\" x=\"010\" y=\"0x10\" width=\"-0\" height=\"7\"/></a>");
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].x, 8);
    EXPECT_EQ(regions[0].y, 16);
}

TEST(AtlasLayout, MissingNumbersKeepThePreviousRects)
{
    const auto regions = Regions("<a><rect id=\"a\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>"
                                 "<rect id=\"b\" x=\"9\"/><rect/></a>", "o");
    ASSERT_EQ(regions.size(), 3u);
    EXPECT_EQ(regions[1].x, 9);
    EXPECT_EQ(regions[1].y, 2);
    EXPECT_EQ(regions[1].height, 4);
    EXPECT_EQ(regions[2].name, "@o");
    EXPECT_EQ(regions[2].x, 9);
}

TEST(AtlasLayout, RectsBeforeAllFourNumbersAreKnownAreSkipped)
{
    const auto regions = Regions("<a><rect id=\"a\" x=\"1\"/><rect id=\"b\" y=\"2\" width=\"3\"/>"
                                 "<rect id=\"c\" height=\"4\"/></a>");
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].name, "c");
    EXPECT_EQ(regions[0].x, 1);
}

TEST(AtlasLayout, FirstOfTwoEqualNamesWins)
{
    const auto regions = Regions("<a><rect id=\"a\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>"
                                 "<rect id=\"a\" x=\"5\" y=\"5\" width=\"5\" height=\"5\"/></a>");
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].x, 1);
}

TEST(AtlasLayout, OnlyDirectRectChildrenCount)
{
    const auto regions = Regions("<a><group><rect id=\"deep\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/></group>"
                                 "<region id=\"other\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/></a>");
    EXPECT_TRUE(regions.empty());
}

TEST(AtlasLayout, NegativeSizesAreSkipped)
{
    const auto regions = Regions("<a><rect id=\"a\" x=\"1\" y=\"1\" width=\"-4\" height=\"1\"/></a>");
    EXPECT_TRUE(regions.empty());
}

TEST(AtlasLayout, UnreadableDocumentsGiveNoRegions)
{
    std::vector<AtlasRegion> regions(1);
    EXPECT_FALSE(AtlasLayout::Parse(XmlPtr(), "", regions));
    EXPECT_TRUE(regions.empty());
    EXPECT_FALSE(AtlasLayout::Parse(Xml::CreateFromString("<a><rect"), "", regions));
    EXPECT_FALSE(AtlasLayout::ParseFile("no/such/atlas.xml", "linear", regions));
}

TEST(AtlasLayout, PageNameReplacesTheXmlSuffix)
{
    EXPECT_EQ(AtlasLayout::GetPageImageName("menu.xml"), "menu.png");
    EXPECT_EQ(AtlasLayout::GetPageImageName("atlas/ui.xml"), "atlas/ui.png");
    EXPECT_EQ(AtlasLayout::GetPageImageName(".xml"), "");
    EXPECT_EQ(AtlasLayout::GetPageImageName("ab"), "");
    EXPECT_EQ(AtlasLayout::GetPageImageName("menu.txt"), "");
}
