// Atlas XML: region names with and without an option, "%i" numbers, inherited values,
// duplicates, ignored elements, and unreadable documents.
#include "graphics/image/AtlasLayout.h"

#include "engine/core/Xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tarv;

// Regions as "name x y width height" lines.
std::string Parsed(const std::string& xml, const char* option)
{
    std::vector<AtlasRegion> regions;
    EXPECT_TRUE(AtlasLayout::Parse(Xml::CreateFromString(xml.c_str()), option, regions)) << xml;
    std::string text;
    for (const AtlasRegion& r : regions)
        text += r.name + " " + std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                std::to_string(r.width) + " " + std::to_string(r.height) + "\n";
    return text;
}

TEST(AtlasLayout, ReadsRegionsByTheAtlasRules)
{
    const auto rect = [](const char* attributes) { return std::string("<rect ") + attributes + "/>"; };
    const struct {
        const char* what;
        std::string xml;
        const char* option;
        const char* regions;
    } cases[] = {
        {"names carry the option", rect("id=\"menu/b.png\" x=\"1\" y=\"2\" width=\"30\" height=\"40\""),
         "linear", "menu/b.png@linear 1 2 30 40\n"},
        {"no option", rect("id=\"b\" x=\"1\" y=\"2\" width=\"30\" height=\"40\""), "", "b 1 2 30 40\n"},
        {"numbers read octal and hex", rect("id=\"r\" x=\"010\" y=\"0x10\" width=\"-0\" height=\"7\""), "",
         "r 8 16 0 7\n"},
        {"missing numbers keep the previous rect's",
         rect("id=\"a\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"") + rect("id=\"b\" x=\"9\"") + rect(""), "o",
         "a@o 1 2 3 4\nb@o 9 2 3 4\n@o 9 2 3 4\n"},
        {"rects before all four numbers are known are skipped",
         rect("id=\"a\" x=\"1\"") + rect("id=\"b\" y=\"2\" width=\"3\"") + rect("id=\"c\" height=\"4\""), "",
         "c 1 2 3 4\n"},
        {"the first of two equal names wins",
         rect("id=\"a\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"") + rect("id=\"a\" x=\"5\" y=\"5\" width=\"5\" height=\"5\""),
         "", "a 1 1 1 1\n"},
        {"only direct rect children count",
         "<group>" + rect("id=\"deep\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"") +
             "</group><region id=\"other\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>",
         "", ""},
        {"negative sizes make a region too", rect("id=\"a\" x=\"1\" y=\"1\" width=\"-4\" height=\"-1\""), "",
         "a 1 1 -4 -1\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parsed("<atlas>" + c.xml + "</atlas>", c.option), c.regions) << c.what;
}

TEST(AtlasLayout, UnreadableDocumentsGiveNoRegions)
{
    std::vector<AtlasRegion> regions(1);
    EXPECT_FALSE(AtlasLayout::Parse(XmlPtr(), "", regions));
    EXPECT_TRUE(regions.empty());
    EXPECT_FALSE(AtlasLayout::Parse(Xml::CreateFromString("<a><rect"), "", regions));
    EXPECT_FALSE(AtlasLayout::ParseFile("no/such/atlas.xml", "linear", regions));
}

// The last three characters give way to "png", whatever they are.
TEST(AtlasLayout, PageNameReplacesTheLastThreeCharacters)
{
    const struct { const char* path; const char* page; } cases[] = {
        {"menu.xml", "menu.png"}, {"atlas/ui.xml", "atlas/ui.png"}, {".xml", ".png"},
        {"menu.txt", "menu.png"}, {"menu.XML", "menu.png"}, {"menu", "mpng"}, {"abc", "png"},
        {"ab", ""}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(AtlasLayout::GetPageImageName(c.path), c.page) << c.path;
}
