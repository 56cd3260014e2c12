// Atlas XML reading: rect elements become named regions, with the inherit-previous rule for
// missing numbers made safe for the first rect.
#include "graphics/image/AtlasLayout.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"

#include <set>

namespace Tarv
{

bool AtlasLayout::Parse(const XmlPtr& document, const NarrowString& option,
                        std::vector<AtlasRegion>& regions)
{
    regions.clear();
    XmlIterator root(document);
    if (!root.IsValid())
        return false;
    std::set<NarrowString> names;
    AtlasRegion current;
    bool haveX = false, haveY = false, haveWidth = false, haveHeight = false;
    for (XmlIterator rect(root, "rect"); rect.IsValid(); rect.Next()) {
        haveX |= rect.GetAttributeInt("x", current.x);
        haveY |= rect.GetAttributeInt("y", current.y);
        haveWidth |= rect.GetAttributeInt("width", current.width);
        haveHeight |= rect.GetAttributeInt("height", current.height);
        if (!(haveX && haveY && haveWidth && haveHeight))
            continue;
        NarrowString id;
        rect.GetAttributeString("id", id);
        current.name = option.empty() ? id : NarrowString(id + "@" + option);
        if (names.insert(current.name).second)
            regions.push_back(current);
    }
    return true;
}

bool AtlasLayout::ParseFile(const NarrowString& path, const NarrowString& option,
                            std::vector<AtlasRegion>& regions)
{
    return Parse(Xml::CreateFromFile(path), option, regions);
}

NarrowString AtlasLayout::GetPageImageName(const NarrowString& xmlPath)
{
    // The last three characters give way, whatever they are: a path too short to hold an
    // ending names no page.
    if (xmlPath.size() < 3)
        return NarrowString();
    return NarrowString(xmlPath.substr(0, xmlPath.size() - 3) + "png");
}

} // namespace Tarv
