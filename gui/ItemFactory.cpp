// The control and graphic factories.
#include "gui/ItemFactory.h"

#include "gui/ColorText.h"
#include "gui/Control.h"
#include "gui/Image.h"
#include "gui/Rectangle.h"
#include "gui/SimpleText.h"
#include "gui/Sprite.h"
#include "gui/TextBox.h"
#include "gui/TextLine.h"
#include "gui/TransformedSprite.h"

#include <cstring>

namespace Plim
{

Control* CreateControl(BuildContext* context, const char* type, const Tarv::XmlIterator& item)
{
    if (std::strcmp(type, "Control") == 0)
        return new Control(item, context != nullptr ? context->documents : nullptr);
    if (std::strcmp(type, "TextLine") == 0)
        return new TextLine(item, context != nullptr ? context->documents : nullptr);
    if (std::strcmp(type, "TextBox") == 0)
        return new TextBox(item);
    return nullptr;
}

Graphic* CreateGraphic(BuildContext* context, const char* type, const Tarv::XmlIterator& item)
{
    const OverrideTable* overrides = context != nullptr ? context->overrides : nullptr;
    if (std::strcmp(type, "Sprite") == 0)
        return new Sprite(item, overrides);
    if (std::strcmp(type, "ColorText") == 0)
        return new ColorText(item, overrides);
    if (std::strcmp(type, "Rectangle") == 0)
        return new Rectangle(item, overrides);
    if (std::strcmp(type, "Image") == 0)
        return new Image(item);
    if (std::strcmp(type, "SimpleText") == 0)
        return new SimpleText(item, overrides);
    if (std::strcmp(type, "TransformedSprite") == 0)
        return new TransformedSprite(item, overrides);
    return nullptr;
}

} // namespace Plim
