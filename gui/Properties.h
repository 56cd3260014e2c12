// Readers of graphic properties with the override rule: a property element carrying
// override="key" is read from the representation's override element of that key when the
// table holds it, else from itself. Common item properties never use this rule.
#pragma once

#include "gui/BuildContext.h"

#include <cstdint>

namespace Plim
{

struct Point {
    float x;
    float y;
};

// The element to read the property from: the item's first child of that name, or the override
// element it names. At its end when the item has no such child. name must outlive the result.
Tarv::XmlIterator FindProperty(const Tarv::XmlIterator& item, const char* name,
                               const OverrideTable* overrides);

// Each returns false, out unchanged, when the item has no such child; otherwise true, with out
// written only when the chosen element's value reads ("%i" integers, exact "true"/"false",
// the engine's fixed-point floats, the whole text for strings).
bool ReadIntProperty(const Tarv::XmlIterator& item, const char* name,
                     const OverrideTable* overrides, int& out);
bool ReadBoolProperty(const Tarv::XmlIterator& item, const char* name,
                      const OverrideTable* overrides, bool& out);
bool ReadStringProperty(const Tarv::XmlIterator& item, const char* name,
                        const OverrideTable* overrides, Tarv::NarrowString& out);
bool ReadFloatProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, float& out);
// A present point always replaces both coordinates: a missing or unreadable "x" or "y" is 0.
bool ReadPointProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, Point& out);
// Children "r", "g", "b", "a", each clamped to 0..255; a missing channel is 0 (255 for "a").
// out is four bytes red, green, blue, alpha.
bool ReadColorProperty(const Tarv::XmlIterator& item, const char* name,
                       const OverrideTable* overrides, std::uint8_t out[4]);

} // namespace Plim
