// The override rule and the typed property readers of the graphics.
#include "gui/Properties.h"

#include <algorithm>

namespace Plim
{

Tarv::XmlIterator FindProperty(const Tarv::XmlIterator& item, const char* name,
                               const OverrideTable* overrides)
{
    const Tarv::XmlIterator property(item, name);
    if (!property.IsValid() || overrides == nullptr)
        return property;
    const char* key = property.GetAttribute("override");
    if (key == nullptr)
        return property;
    const auto found = overrides->find(Tarv::NarrowString(key));
    return found != overrides->end() ? Tarv::XmlIterator(found->second.GetElement()) : property;
}

bool ReadIntProperty(const Tarv::XmlIterator& item, const char* name,
                     const OverrideTable* overrides, int& out)
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    property.GetTextInt(out);
    return true;
}

bool ReadBoolProperty(const Tarv::XmlIterator& item, const char* name,
                      const OverrideTable* overrides, bool& out)
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    property.GetTextBool(out);
    return true;
}

bool ReadStringProperty(const Tarv::XmlIterator& item, const char* name,
                        const OverrideTable* overrides, Tarv::NarrowString& out)
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    property.GetTextString(out);
    return true;
}

bool ReadFloatProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, float& out)
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    property.GetTextTarvFloat(out);
    return true;
}

bool ReadPointProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, Point& out)
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    Point point{0.0f, 0.0f};
    Tarv::XmlIterator(property, "x").GetTextTarvFloat(point.x);
    Tarv::XmlIterator(property, "y").GetTextTarvFloat(point.y);
    out = point;
    return true;
}

bool ReadColorProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, std::uint8_t out[4])
{
    const Tarv::XmlIterator property = FindProperty(item, name, overrides);
    if (!property.IsValid())
        return false;
    static const char* const CHANNELS[4] = {"r", "g", "b", "a"};
    int values[4] = {0, 0, 0, 255};
    for (int i = 0; i < 4; ++i) {
        Tarv::XmlIterator(property, CHANNELS[i]).GetTextInt(values[i]);
        out[i] = static_cast<std::uint8_t>(std::clamp(values[i], 0, 255));
    }
    return true;
}

} // namespace Plim
