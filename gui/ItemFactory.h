// The two item factories: a layout item's "type" to a control, a representation item's "type"
// to a graphic (names compared exactly).
#pragma once

#include "gui/BuildContext.h"

namespace Plim
{

class Control;
class Graphic;

// "Control", "TextLine", "TextBox"; null for any other type (the caller reports it). The new item has no owner yet.
Control* CreateControl(BuildContext* context, const char* type, const Tarv::XmlIterator& item);
// "Sprite", "ColorText", "Rectangle", "Image", "SimpleText", "TransformedSprite"; null for any other type.
Graphic* CreateGraphic(BuildContext* context, const char* type, const Tarv::XmlIterator& item);

} // namespace Plim
