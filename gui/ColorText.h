// Plim::ColorText: a text graphic with a box width (lines broken and aligned in it), an
// alignment, a shadow and a colour, laid out again whenever its text or colour changes; the
// text line control shows its text through one.
#pragma once

#include "gui/SimpleText.h"

#include <cstdint>

namespace Plim
{

class ColorText : public SimpleText
{
public:
    // Reads the common properties, then "width", "shadow", "color", "text" (a dictionary key),
    // "align" and "font", each overridable, and lays the text out. Without "width" the box is
    // 0 wide; without a valid "align" the text is left-aligned.
    ColorText(const Tarv::XmlIterator& item, const OverrideTable* overrides);
    ~ColorText() override;

    int GetTypeId() const override { return TYPE_COLOR_TEXT; }

    // As SimpleText::SetText, laid out with the box, alignment, shadow and colour.
    void SetText(const Tarv::NarrowString& text, bool raw);
    // Four bytes red, green, blue, alpha; then laid out again.
    void SetColor(const std::uint8_t colour[4]);
    // The natural width (the text on one line) and the laid-out text, from the current values.
    // Without a font: width 0 and no laid-out text.
    void LayoutText();

    // The width of the text laid out in its font without wrapping, as of the last layout.
    int GetTextWidth() const { return m_naturalWidth; }
    int GetBoxWidth() const { return m_boxWidth; }
    const std::uint8_t* GetColor() const { return m_colour; }

private:
    int m_naturalWidth = 0;
    int m_boxWidth = 0;
    int m_alignment = 0;
    bool m_shadow = false;
    std::uint8_t m_colour[4] = {0, 0, 0, 255};
};

} // namespace Plim
