// Plim::TextLine: a control for one piece of text (a title, a label, a counter): it keeps a
// dictionary key and shows its text through the coloured text at the root of each of its
// representations; scripts replace, recolour and measure the text.
#pragma once

#include "gui/Control.h"

struct lua_State;

namespace Plim
{

class ColorText;

class TextLine : public Control
{
public:
    static constexpr int TYPE_TEXT_LINE = 2;

    // What a script makes by calling the class: no representations, never drawn.
    TextLine();
    // The control, then "text" (a dictionary key) given to every representation. A
    // representation whose root graphic is not a coloured text is reported and left alone.
    TextLine(const Tarv::XmlIterator& item, DocumentCache* documents);
    ~TextLine() override;

    // Only the current representation's root text, at the line's absolute position (plus the
    // text graphic's own place) with the effective alpha.
    void Draw(Tarv::Surface& target) override;
    void Update(const float& dt) override;
    // The layout key's text again in every representation (after a language change).
    void RefreshText() override;
    int GetTypeId() const override { return TYPE_TEXT_LINE; }

    const Tarv::NarrowString& GetTextKey() const { return m_text; }
    // The coloured text at the root of the current representation; null when there is none.
    ColorText* GetCurrentText() const;

    // Script methods: SetText(key), SetTextRaw(text), SetColor(r, g, b), GetTextWidth().
    int LuaSetText(lua_State* state);
    int LuaSetTextRaw(lua_State* state);
    int LuaSetColor(lua_State* state);
    int LuaGetTextWidth(lua_State* state);

private:
    void SetAllTexts(const Tarv::NarrowString& text, bool raw);

    Tarv::NarrowString m_text;
};

} // namespace Plim
