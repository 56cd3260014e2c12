// Plim::TextBox: a control that shows blocks of localised text (dictionary ids) in one font,
// colour and alignment, wrapped to the box width and stacked without gaps, through a window of
// the box's size that scripts scroll by the text position; what lies outside is clipped.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "graphics/text/Format.h"
#include "gui/Control.h"

#include <vector>

struct lua_State;

namespace Tarv
{
class FontEx;
class ScreenText;
} // namespace Tarv

namespace Plim
{

class TextBox : public Control
{
public:
    static constexpr int TYPE_TEXT_BOX = 1;

    struct TextBlock {
        Tarv::NarrowString key;
        Tarv::SmartPtr<Tarv::ScreenText> text;
    };

    // What a script makes by calling the class: no blocks, no font, a 0 x 0 window.
    TextBox();
    // The common properties, then "width", "height", "font", "color", "align", "shadow"
    // (present: on) and "text-blocks" ("text" children: an empty one stands for " ",
    // "@@MAGIC_VERSION@@" for the registry's "/application/version"); then every block is laid
    // out. No representations are read.
    explicit TextBox(const Tarv::XmlIterator& item);
    ~TextBox() override;

    // The blocks that meet the window, clipped to it and to the target, with the effective alpha
    // (nothing at alpha 0 or without a font). The target's clip rectangle is the whole target
    // after.
    void Draw(Tarv::Surface& target) override;
    void Update(const float& dt) override;
    // Lays every block out again from its key and sums the text height.
    void RefreshText() override;
    int GetTypeId() const override { return TYPE_TEXT_BOX; }

    // Block index (1-based) gets the key and is laid out again; the text height keeps the last
    // RefreshText's sum. False, changing nothing, for an index outside 1..block count.
    bool SetBlockText(int index, const Tarv::NarrowString& key);

    const std::vector<TextBlock>& GetBlocks() const { return m_blocks; }
    int GetBoxWidth() const { return m_width; }
    int GetBoxHeight() const { return m_height; }
    int GetTextHeight() const { return m_textHeight; }
    int GetTextPosition() const { return m_textPosition; }
    void SetTextPosition(int position) { m_textPosition = position; }
    // Negative sizes become 0; then every block is laid out again. Each side's setter leaves
    // the other side as it is.
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);

    // Script methods of "TextBox" beyond the shared control methods.
    int LuaGetHeight(lua_State* state);
    int LuaGetTextHeight(lua_State* state);
    int LuaSetPosition(lua_State* state);
    int LuaSetText(lua_State* state);
    int LuaSetWidth(lua_State* state);
    int LuaSetHeight(lua_State* state);
    int LuaSetSize(lua_State* state);
    int LuaGetTextPosition(lua_State* state);

private:
    void ReadBlocks(const Tarv::XmlIterator& item);
    void LayoutBlock(TextBlock& block) const;

    std::vector<TextBlock> m_blocks;
    int m_width = 0;
    int m_height = 0;
    int m_textHeight = 0;
    int m_textPosition = 0;
    Tarv::SmartPtr<Tarv::FontEx> m_font;
    Tarv::Text::Format m_format;
    bool m_shadow = false;
};

} // namespace Plim
