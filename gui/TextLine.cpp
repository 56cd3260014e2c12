// The text line control and its script methods.
#include "gui/TextLine.h"

#include "engine/core/XmlIterator.h"
#include "engine/script/Lua.h"
#include "gui/ColorText.h"
#include "gui/ControlScript.h"
#include "gui/Messages.h"
#include "gui/ScriptClasses.h"

#include <climits>

namespace Plim
{

namespace
{

ColorText* RootText(const Node<Graphic>* root)
{
    if (root == nullptr || root->GetItem()->GetTypeId() != Graphic::TYPE_COLOR_TEXT)
        return nullptr;
    return static_cast<ColorText*>(root->GetItem());
}

int SaturatedSum(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(sum < INT_MIN ? INT_MIN : sum > INT_MAX ? INT_MAX : sum);
}

} // namespace

TextLine::TextLine() : Control(Tarv::XmlIterator(), nullptr) {}

TextLine::TextLine(const Tarv::XmlIterator& item, DocumentCache* documents) : Control(item, documents)
{
    Tarv::XmlIterator(item, "text").GetTextString(m_text);
    for (const auto& entry : GetRepresentations())
        if (RootText(entry.second.Get()) == nullptr)
            Report("text line representation \"" + entry.first + "\" does not start with a ColorText");
    SetAllTexts(m_text, false);
}

TextLine::~TextLine()
{
    m_text.clear();
}

ColorText* TextLine::GetCurrentText() const
{
    return RootText(GetRepresentation());
}

void TextLine::SetAllTexts(const Tarv::NarrowString& text, bool raw)
{
    for (const auto& entry : GetRepresentations())
        if (ColorText* colorText = RootText(entry.second.Get()))
            colorText->SetText(text, raw);
}

void TextLine::RefreshText()
{
    SetAllTexts(m_text, false);
}

void TextLine::Draw(Tarv::Surface& target)
{
    ColorText* text = GetCurrentText();
    if (text == nullptr)
        return;
    const int x = text->GetX(), y = text->GetY();
    text->SetX(SaturatedSum(text->GetAbsX(), GetAbsX()));
    text->SetY(SaturatedSum(text->GetAbsY(), GetAbsY()));
    text->Draw(target, GetEffectiveAlpha());
    text->SetX(x);
    text->SetY(y);
}

void TextLine::Update(const float&) {}

int TextLine::LuaSetText(lua_State* state)
{
    SetAllTexts(Tarv::Lua(state).CheckString(1), false);
    return 0;
}

int TextLine::LuaSetTextRaw(lua_State* state)
{
    SetAllTexts(Tarv::Lua(state).CheckString(1), true);
    return 0;
}

int TextLine::LuaSetColor(lua_State* state)
{
    Tarv::Lua lua(state);
    const std::uint8_t colour[4] = {static_cast<std::uint8_t>(ToScriptInt(lua.CheckNumber(1)) & 0xFF),
                                    static_cast<std::uint8_t>(ToScriptInt(lua.CheckNumber(2)) & 0xFF),
                                    static_cast<std::uint8_t>(ToScriptInt(lua.CheckNumber(3)) & 0xFF), 255};
    if (ColorText* text = GetCurrentText())
        text->SetColor(colour);
    return 0;
}

int TextLine::LuaGetTextWidth(lua_State* state)
{
    const ColorText* text = GetCurrentText();
    Tarv::Lua(state).PushNumber(text != nullptr ? text->GetTextWidth() : 0);
    return 1;
}

} // namespace Plim

namespace
{

const std::vector<Tarv::LuaMethod<Plim::TextLine>> TEXT_LINE_METHODS =
    Plim::ControlMethodList<Plim::TextLine>({{"SetText", &Plim::TextLine::LuaSetText, nullptr},
                                              {"SetTextRaw", &Plim::TextLine::LuaSetTextRaw, nullptr},
                                              {"SetColor", &Plim::TextLine::LuaSetColor, nullptr},
                                              {"GetTextWidth", &Plim::TextLine::LuaGetTextWidth, nullptr}});

} // namespace

const Tarv::LuaMethod<Plim::TextLine>* const Tarv::LuaClass<Plim::TextLine>::METHODS = TEXT_LINE_METHODS.data();
