// The text box control: reading its blocks, laying them out, drawing through its window, and
// its script methods.
#include "gui/TextBox.h"

#include "engine/core/XmlIterator.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/script/Lua.h"
#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/ScreenText.h"
#include "gui/ControlScript.h"
#include "gui/Messages.h"
#include "gui/Properties.h"
#include "gui/ScriptClasses.h"

#include <algorithm>
#include <climits>

#include <lua.hpp>

namespace Plim
{

namespace
{

constexpr const char* MAGIC_VERSION = "@@MAGIC_VERSION@@";

int Clamp(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

TextBox::TextBox() : Control(Tarv::XmlIterator()) {}

TextBox::TextBox(const Tarv::XmlIterator& item) : Control(item)
{
    Tarv::XmlIterator(item, "width").GetTextInt(m_width);
    Tarv::XmlIterator(item, "height").GetTextInt(m_height);
    Tarv::NarrowString fontKey;
    Tarv::XmlIterator(item, "font").GetTextString(fontKey);
    if (!fontKey.empty())
        m_font = Tarv::AssetDict::GetFont(fontKey, false);
    if (!m_font)
        Report("text box font \"" + fontKey + "\" cannot be loaded: the box shows nothing");
    const Tarv::SmartPtr<Tarv::Text::FontSet> fonts = Tarv::MakeSmart<Tarv::Text::FontSet>();
    if (m_font)
        fonts->AddFont("default", m_font.Get());
    m_format.SetFontSet(fonts.Get());
    m_format.SetFontName("default");
    m_format.SetWhitespaceMode(Tarv::Text::WHITESPACE_KEEP);
    std::uint8_t colour[4];
    if (ReadColorProperty(item, "color", nullptr, colour))
        m_format.SetColor(colour[0], colour[1], colour[2], colour[3]);
    Tarv::NarrowString align;
    if (Tarv::XmlIterator(item, "align").GetTextString(align)) {
        if (align == "left")
            m_format.SetAlignment(Tarv::Text::ALIGN_LEFT);
        else if (align == "center")
            m_format.SetAlignment(Tarv::Text::ALIGN_CENTER);
        else if (align == "right")
            m_format.SetAlignment(Tarv::Text::ALIGN_RIGHT);
    }
    m_shadow = Tarv::XmlIterator(item, "shadow").IsValid();
    ReadBlocks(item);
    RefreshText();
}

TextBox::~TextBox() = default;

void TextBox::ReadBlocks(const Tarv::XmlIterator& item)
{
    const Tarv::XmlIterator blocks(item, "text-blocks");
    for (Tarv::XmlIterator text(blocks, "text"); text.IsValid(); text.Next()) {
        Tarv::NarrowString key;
        text.GetTextString(key);
        if (key.empty()) {
            key = " ";
        } else if (key == MAGIC_VERSION && Tarv::Registry::Instance) {
            Tarv::Registry::Instance->GetString("/application/version", key);
        }
        m_blocks.push_back({key, nullptr});
    }
}

void TextBox::LayoutBlock(TextBlock& block) const
{
    if (!m_font) {
        block.text.Reset();
        return;
    }
    const Tarv::TextDict* texts = Tarv::TextDict::Instance.Get();
    const Tarv::WideString text = texts != nullptr ? texts->GetText(block.key) : Tarv::WideString(block.key);
    block.text = Tarv::MakeSmart<Tarv::ScreenText>(m_format, text, Tarv::ScreenText::BoxSize{m_width, 0});
    block.text->SetShadow(m_shadow);
}

void TextBox::RefreshText()
{
    long long height = 0;
    for (TextBlock& block : m_blocks) {
        LayoutBlock(block);
        height += block.text ? block.text->GetHeight() : 0;
    }
    m_textHeight = Clamp(height);
}

bool TextBox::SetBlockText(int index, const Tarv::NarrowString& key)
{
    if (index < 1 || static_cast<std::size_t>(index) > m_blocks.size())
        return false;
    TextBlock& block = m_blocks[static_cast<std::size_t>(index) - 1];
    block.key = key;
    LayoutBlock(block);
    return true;
}

void TextBox::SetWidth(int width)
{
    m_width = std::max(width, 0);
    RefreshText();
}

void TextBox::SetHeight(int height)
{
    m_height = std::max(height, 0);
    RefreshText();
}

void TextBox::SetSize(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    RefreshText();
}

void TextBox::Update(const float&) {}

void TextBox::Draw(Tarv::Surface& target)
{
    const int alpha = GetEffectiveAlpha();
    if (alpha == 0 || !m_font || m_font->GetImage() == nullptr)
        return;
    m_font->GetImage()->SetAlpha(static_cast<std::uint8_t>(alpha));
    const long long x = GetAbsX(), y = GetAbsY();
    const long long left = std::max(x, 0LL), top = std::max(y, 0LL);
    const long long width = std::max(std::min<long long>(target.GetWidth(), x + m_width) - left, 0LL);
    const long long height = std::max(std::min<long long>(target.GetHeight(), y + m_height) - top, 0LL);
    target.SetRect(Clamp(left), Clamp(top), Clamp(width), Clamp(height));
    long long blockTop = y - m_textPosition;
    for (const TextBlock& block : m_blocks) {
        const long long blockBottom = blockTop + (block.text ? block.text->GetHeight() : 0);
        if (block.text && blockBottom > y && blockTop < y + m_height && block.text->GetGlyphs() != nullptr)
            block.text->Render(target, Clamp(x), Clamp(blockTop));
        blockTop = blockBottom;
    }
    target.SetRect(0, 0, target.GetWidth(), target.GetHeight());
}

namespace
{

int Whole(lua_State* state, int index)
{
    return ToScriptInt(Tarv::Lua(state).CheckNumber(index));
}

} // namespace

int TextBox::LuaGetHeight(lua_State* state)
{
    Tarv::Lua(state).PushNumber(m_height);
    return 1;
}

int TextBox::LuaGetTextHeight(lua_State* state)
{
    Tarv::Lua(state).PushNumber(m_textHeight);
    return 1;
}

int TextBox::LuaSetPosition(lua_State* state)
{
    m_textPosition = Whole(state, 1);
    return 0;
}

int TextBox::LuaSetText(lua_State* state)
{
    const int index = Whole(state, 1);
    const Tarv::NarrowString key = Tarv::Lua(state).CheckString(2);
    if (!SetBlockText(index, key))
        return luaL_argerror(state, 1, "no text block of that number");
    return 0;
}

int TextBox::LuaSetWidth(lua_State* state)
{
    SetWidth(Whole(state, 1));
    return 0;
}

int TextBox::LuaSetHeight(lua_State* state)
{
    SetHeight(Whole(state, 1));
    return 0;
}

int TextBox::LuaSetSize(lua_State* state)
{
    const int width = Whole(state, 1);
    SetSize(width, Whole(state, 2));
    return 0;
}

int TextBox::LuaGetTextPosition(lua_State* state)
{
    Tarv::Lua(state).PushNumber(m_textPosition);
    return 1;
}

} // namespace Plim

namespace
{

using Plim::TextBox;

// The later "GetHeight" replaces the shared one when the class is registered.
const std::vector<Tarv::LuaMethod<TextBox>> TEXT_BOX_METHODS = Plim::ControlMethodList<TextBox>({
    {"GetHeight", &TextBox::LuaGetHeight, nullptr},
    {"GetTextHeight", &TextBox::LuaGetTextHeight, nullptr},
    {"SetPosition", &TextBox::LuaSetPosition, nullptr},
    {"SetText", &TextBox::LuaSetText, nullptr},
    {"SetWidth", &TextBox::LuaSetWidth, nullptr},
    {"SetHeight", &TextBox::LuaSetHeight, nullptr},
    {"SetSize", &TextBox::LuaSetSize, nullptr},
    {"SetTextPosition", &TextBox::LuaSetPosition, nullptr},
    {"GetTextPosition", &TextBox::LuaGetTextPosition, nullptr},
});

} // namespace

const Tarv::LuaMethod<TextBox>* const Tarv::LuaClass<TextBox>::METHODS = TEXT_BOX_METHODS.data();
