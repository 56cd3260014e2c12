// Plim::SimpleText: a graphic that shows a text laid out plainly in one font (no wrapping), the
// base of the coloured text; both draw through the font's one image.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/core/WideString.h"
#include "gui/BuildContext.h"
#include "gui/Graphic.h"

namespace Tarv
{
class FontEx;
class ScreenText;
} // namespace Tarv

namespace Plim
{

class SimpleText : public Graphic
{
public:
    // Reads "font" (overridable; fetched by name) and then the common properties. No text is
    // laid out until SetText.
    SimpleText(const Tarv::XmlIterator& item, const OverrideTable* overrides);
    ~SimpleText() override;

    // Sets the font image's alpha byte to alpha (also when there is no laid-out text), then
    // renders the laid-out text at the absolute position; nothing is drawn without one.
    void Draw(Tarv::Surface& target, int alpha) override;
    void Update(const float& dt) override;
    // The laid-out text's size; empty without one.
    Rect GetRect() const override;
    int GetTypeId() const override { return TYPE_SIMPLE_TEXT; }

    // The text becomes the dictionary's text for the key (raw false) or the UTF-8 string itself
    // (raw true; invalid UTF-8 gives an empty text), then it is laid out again.
    void SetText(const Tarv::NarrowString& text, bool raw);
    // The font's line height; 0 without a font.
    int GetFontHeight() const;

    const Tarv::WideString& GetText() const { return m_text; }
    Tarv::FontEx* GetFont() const { return m_font.Get(); }
    const Tarv::ScreenText* GetLaidOutText() const { return m_laidOut.Get(); }

protected:
    // For the coloured text, which reads its properties itself.
    SimpleText();
    static Tarv::WideString Translate(const Tarv::NarrowString& text, bool raw);
    // The font of that name, reported when it cannot be had.
    void FetchFont(const Tarv::NarrowString& name);

    Tarv::SmartPtr<Tarv::FontEx> m_font;
    Tarv::SmartPtr<Tarv::ScreenText> m_laidOut;
    Tarv::WideString m_text;
};

} // namespace Plim
