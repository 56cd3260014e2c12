// The simple text graphic: font, plain layout and the drawing both text graphics share.
#include "gui/SimpleText.h"

#include "engine/registry/TextDict.h"
#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/ScreenText.h"
#include "gui/Messages.h"
#include "gui/Properties.h"

namespace Plim
{

SimpleText::SimpleText() = default;

SimpleText::SimpleText(const Tarv::XmlIterator& item, const OverrideTable* overrides)
{
    Tarv::NarrowString name;
    ReadStringProperty(item, "font", overrides, name);
    FetchFont(name);
    ReadCommonProperties(item);
}

SimpleText::~SimpleText()
{
    m_text.clear();
    m_laidOut.Reset();
    m_font.Reset();
}

void SimpleText::FetchFont(const Tarv::NarrowString& name)
{
    if (name.empty())
        return;
    m_font = Tarv::AssetDict::GetFont(name, false);
    if (!m_font)
        Report("font \"" + name + "\" cannot be loaded");
}

Tarv::WideString SimpleText::Translate(const Tarv::NarrowString& text, bool raw)
{
    if (raw)
        return Tarv::WideString(text);
    const Tarv::TextDict* texts = Tarv::TextDict::Instance.Get();
    return texts != nullptr ? texts->GetText(text) : Tarv::WideString(text);
}

void SimpleText::SetText(const Tarv::NarrowString& text, bool raw)
{
    m_text = Translate(text, raw);
    m_laidOut = m_font ? Tarv::MakeSmart<Tarv::ScreenText>(m_font.Get(), m_text) : nullptr;
}

int SimpleText::GetFontHeight() const
{
    return m_font ? m_font->GetHeight() : 0;
}

void SimpleText::Draw(Tarv::Surface& target, int alpha)
{
    Tarv::Surface* image = m_font ? m_font->GetImage() : nullptr;
    if (image == nullptr)
        return;
    image->SetAlpha(static_cast<std::uint8_t>(alpha & 0xFF));
    if (m_laidOut)
        m_laidOut->Render(target, GetAbsX(), GetAbsY());
}

void SimpleText::Update(const float&) {}

Rect SimpleText::GetRect() const
{
    if (!m_laidOut)
        return Rect{0, 0, 0, 0};
    return Rect{0, 0, m_laidOut->GetWidth(), m_laidOut->GetHeight()};
}

} // namespace Plim
