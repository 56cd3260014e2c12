// Item properties as layouts give them: the common reader's number forms, words and presence
// rules, the override rule of graphic properties, and the image, sprite and rectangle readers.
#include "gui/Properties.h"

#include "gui/Image.h"
#include "gui/Rectangle.h"
#include "gui/Sprite.h"
#include "tests/gui/GuiWorld.h"

using Tarv::XmlIterator;

namespace
{

// An item element parsed from its children's text; the document lives as long as the object.
struct ItemXml {
    explicit ItemXml(const std::string& children)
        : document(Tarv::Xml::CreateFromString("<item type=\"T\" name=\"n\">" + children + "</item>"))
    {
    }
    XmlIterator Item() const { return XmlIterator(document); }
    Tarv::XmlPtr document;
};

struct CommonCase {
    const char* name;
    const char* children;
    int x;
    bool relative;
    int alpha;
    bool alphaSet;
    bool visibilitySet;
    bool visible;
};

void PrintTo(const CommonCase& c, std::ostream* out)
{
    *out << c.name;
}

class CommonProperties : public testing::TestWithParam<CommonCase>
{
};

TEST_P(CommonProperties, ReadAsLayoutsWriteThem)
{
    const CommonCase& c = GetParam();
    const ItemXml xml(c.children);
    Plim::Image item(xml.Item());
    EXPECT_EQ(item.GetX(), c.x);
    EXPECT_EQ(item.IsRelative(), c.relative);
    EXPECT_EQ(item.GetAlpha(), c.alpha);
    EXPECT_EQ(item.IsAlphaSet(), c.alphaSet);
    EXPECT_EQ(item.IsVisibilitySet(), c.visibilitySet);
    EXPECT_EQ(item.IsVisible(), c.visible);
}

INSTANTIATE_TEST_SUITE_P(
    Items, CommonProperties,
    testing::Values(CommonCase{"Nothing", "", 0, false, 255, false, false, false},
                    CommonCase{"PixelSuffix", "<x>12px</x>", 12, false, 255, false, false, false},
                    CommonCase{"Hex", "<x>0x10</x>", 16, false, 255, false, false, false},
                    CommonCase{"Octal", "<x>010</x>", 8, false, 255, false, false, false},
                    CommonCase{"FirstOfTwo", "<x> -5</x><x>7</x>", -5, false, 255, false, false, false},
                    CommonCase{"SuffixOnly", "<x>px</x>", 0, false, 255, false, false, false},
                    CommonCase{"OverrideIgnored", "<x override=\"k\">3</x>", 3, false, 255, false, false, false},
                    CommonCase{"RelativeByPresence", "<relative>false</relative>", 0, true, 255, false, false, false},
                    CommonCase{"VisibilityCapitalTrue", "<visibility>True</visibility>", 0, false, 255, false, true, false},
                    CommonCase{"VisibilityTrue", "<visibility>true</visibility>", 0, false, 255, false, true, true},
                    CommonCase{"AlphaAboveByte", "<alpha>300</alpha>", 0, false, 300, true, false, false},
                    CommonCase{"AlphaNotANumber", "<alpha>none</alpha>", 0, false, 255, true, false, false}),
    [](const testing::TestParamInfo<CommonCase>& info) { return std::string(info.param.name); });

TEST(GraphicProperties, OverridesReplaceValuesAndUnknownKeysFallBack)
{
    const ItemXml overrides("<override name=\"w\">0x40</override>"
                            "<override name=\"p\"><x>2</x><y>-0.5</y></override>");
    const Plim::OverrideTable table{{"w", XmlIterator(overrides.Item(), "override")},
                                    {"p", [&] { XmlIterator p(overrides.Item(), "override"); p.Next(); return p; }()}};
    const ItemXml rect("<width override=\"w\">10</width><height override=\"none\">010</height>"
                       "<filled>maybe</filled><color><r>300</r><g>-5</g><b>0x80</b></color>");
    const Plim::Rectangle overridden(rect.Item(), &table);
    EXPECT_EQ(overridden.GetRect(), (Plim::Rect{0, 0, 64, 8}));
    EXPECT_FALSE(overridden.IsFilled());
    EXPECT_EQ(std::vector<int>(overridden.GetColor(), overridden.GetColor() + 4),
              (std::vector<int>{255, 0, 128, 255}));
    EXPECT_EQ(Plim::Rectangle(rect.Item(), nullptr).GetRect().width, 10);

    const ItemXml points("<pivot><x>1.5</x></pivot><turn override=\"p\"/><angle>abc</angle>");
    Plim::Point point{7, 7};
    EXPECT_TRUE(Plim::ReadPointProperty(points.Item(), "pivot", &table, point));
    EXPECT_EQ(point.x, 1.5f);
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_TRUE(Plim::ReadPointProperty(points.Item(), "turn", &table, point));
    EXPECT_EQ(point.y, -0.5f);
    float angle = 9.0f;
    EXPECT_TRUE(Plim::ReadFloatProperty(points.Item(), "angle", &table, angle));
    EXPECT_FALSE(Plim::ReadFloatProperty(points.Item(), "scale", &table, angle));
    EXPECT_EQ(angle, 9.0f);
}

using SpriteFiles = GuiTest::GuiWorld<>;

TEST_F(SpriteFiles, SpritesShareTheirFileAndMissingImagesDrawNothing)
{
    WriteImage("a@b.png", GuiTest::Png(3, 2, [](int, int) { return std::tuple{200, 0, 0}; }));
    const ItemXml named("<file>a@b.png</file>");
    const Plim::Sprite first(named.Item(), nullptr), second(named.Item(), nullptr);
    ASSERT_NE(first.GetSurface(), nullptr) << "the whole text is the path";
    EXPECT_EQ(first.GetSurface(), second.GetSurface());
    EXPECT_EQ(first.GetRect(), (Plim::Rect{0, 0, 3, 2}));
    EXPECT_TRUE(messages.empty());

    const Plim::Sprite missing(ItemXml("<file>gone.png</file>").Item(), nullptr);
    const Plim::Sprite empty(ItemXml("").Item(), nullptr);
    const Plim::Image image(ItemXml("<file>a@b.png</file>").Item());
    EXPECT_EQ(messages.size(), 1u);
    for (const Plim::Graphic* graphic : std::initializer_list<const Plim::Graphic*>{&missing, &empty, &image})
        EXPECT_EQ(graphic->GetRect(), (Plim::Rect{0, 0, 0, 0}));
    const Plim::Rectangle rectangle(named.Item(), nullptr);
    EXPECT_EQ((std::vector<int>{image.GetTypeId(), first.GetTypeId(), rectangle.GetTypeId()}),
              (std::vector<int>{1, 4, 5}));
}

} // namespace
