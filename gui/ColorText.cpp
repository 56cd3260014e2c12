// The coloured text graphic and its layout.
#include "gui/ColorText.h"

#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/Format.h"
#include "graphics/text/ScreenText.h"
#include "graphics/text/Typesetter.h"
#include "gui/Properties.h"

#include <cstring>

namespace Plim
{

ColorText::ColorText(const Tarv::XmlIterator& item, const OverrideTable* overrides)
{
    ReadCommonProperties(item);
    ReadIntProperty(item, "width", overrides, m_boxWidth);
    ReadBoolProperty(item, "shadow", overrides, m_shadow);
    ReadColorProperty(item, "color", overrides, m_colour);
    Tarv::NarrowString key;
    ReadStringProperty(item, "text", overrides, key);
    Tarv::NarrowString align;
    ReadStringProperty(item, "align", overrides, align);
    if (align == "left")
        m_alignment = Tarv::Text::ALIGN_LEFT;
    else if (align == "center")
        m_alignment = Tarv::Text::ALIGN_CENTER;
    else if (align == "right")
        m_alignment = Tarv::Text::ALIGN_RIGHT;
    Tarv::NarrowString font;
    ReadStringProperty(item, "font", overrides, font);
    FetchFont(font);
    SetText(key, false);
}

ColorText::~ColorText() = default;

void ColorText::SetText(const Tarv::NarrowString& text, bool raw)
{
    m_text = Translate(text, raw);
    LayoutText();
}

void ColorText::SetColor(const std::uint8_t colour[4])
{
    std::memcpy(m_colour, colour, sizeof m_colour);
    LayoutText();
}

void ColorText::LayoutText()
{
    m_naturalWidth = 0;
    m_laidOut.Reset();
    if (!m_font)
        return;
    const Tarv::SmartPtr<Tarv::Text::FontSet> fonts = Tarv::MakeSmart<Tarv::Text::FontSet>();
    fonts->AddFont("default", m_font.Get());
    Tarv::Text::Format format;
    format.SetFontSet(fonts.Get());
    format.SetFontName("default");
    format.SetColor(m_colour[0], m_colour[1], m_colour[2], m_colour[3]);
    format.SetAlignment(m_alignment);
    format.SetWhitespaceMode(Tarv::Text::WHITESPACE_TRIM);
    m_naturalWidth = Tarv::Text::Typesetter::GetTextWidth(
        Tarv::Text::LayoutPlainText(m_text, m_font.Get()).get());
    m_laidOut = Tarv::MakeSmart<Tarv::ScreenText>(format, m_text, Tarv::ScreenText::BoxSize{m_boxWidth, 0});
    m_laidOut->SetShadow(m_shadow);
}

} // namespace Plim
