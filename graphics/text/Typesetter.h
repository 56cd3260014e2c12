// Tarv::Text::Typesetter: turns a rich string into placed glyphs: words, whitespace modes,
// measuring, greedy line breaking with word splitting, alignment and line stacking in a box.
// Also the one-font plain layout and the extents of glyph arrays.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "engine/core/WideString.h"
#include "graphics/text/Format.h"
#include "graphics/text/ScreenGlyph.h"

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

namespace Tarv
{

class FontEx;
class RichString;

namespace Text
{

class FontSet;

// Widths, heights and positions inside a layout are 64-bit, so that no text or box size
// (a box as wide as the int range included) can overflow; records are clamped to 32 bits.
using Extent = std::int64_t;

// One character of a layout and the format it is drawn with. Lives for one layout.
class Character
{
public:
    Character(std::uint32_t code, const SmartPtr<Format>& format) : m_code(code), m_format(format) {}
    explicit Character(std::uint32_t code) : m_code(code) {}

    // The given font, or the font of the own format when none is given.
    FontEx* ResolveFont(FontEx* font) const;
    void MeasureWidth(FontEx* font);
    void MeasureHeight(FontEx* font);
    // Writes this glyph at (x, y) to the writer's record and advances it; nothing without a font.
    void FillGlyph(GlyphWriter& writer, Extent x, Extent y, FontEx* font) const;

    std::uint32_t m_code;
    SmartPtr<Format> m_format;
    std::int32_t m_height = -1;
    std::int32_t m_width = -1;
};

// The unit of line breaking: characters of one class (whitespace, newline or other).
class Word
{
public:
    bool IsWhitespace() const;
    bool IsNewline() const;
    Format* GetLastFormat() const;
    std::int32_t GetLetterSpacing() const;
    void MeasureWidth(FontEx* font);
    Extent MeasureHeight(FontEx* font);
    bool CanSplit(Extent available) const;
    // Moves the characters from the first one whose glyph widths pass `available` into a new
    // word; null when that would leave this word empty or nothing passes.
    std::unique_ptr<Word> Split(Extent available);
    // Replaces the characters by one, giving it the format the word's formats merge to.
    void CollapseTo(Character character);
    // Places the characters from (x, y) while width remains.
    void Emit(GlyphWriter& writer, Extent x, Extent y, Extent remaining, FontEx* font) const;

    std::vector<Character> m_characters;
    Extent m_height = -1;
    Extent m_width = -1;

private:
    void SetUnkernedWidth();
};

class Line
{
public:
    void SumWidths();
    void MeasureHeight(FontEx* font);
    // Places the words aligned in the cursor box (x, y, w).
    void PlaceWords(GlyphWriter& writer, Extent x, Extent y, Extent w, FontEx* font) const;

    std::vector<Word*> m_words;
    Extent m_height = -1;
    Extent m_width = -1;
};

// Everything one Layout call builds; released when it returns.
struct LayoutState
{
    std::vector<std::unique_ptr<Line>> lines;
    std::list<std::unique_ptr<Word>> words;
    WeakPtr<Format> root;

    std::size_t CountCharacters() const;
};

class Typesetter : public RefCounter
{
public:
    Typesetter() = default;
    // With a fallback font set for texts whose own format carries no usable one.
    explicit Typesetter(FontSet* fallback);
    ~Typesetter() override;

    // The glyphs of text laid out in the box x, y, w, h (h 0: no height limit). Never null;
    // a text with no placeable character gives the terminator alone. A text whose first format
    // has no usable font set, on a typesetter without a fallback, places nothing.
    GlyphArray Layout(const RichString& text, const std::int32_t box[4]);

    // Width and height of the records before the first one without image; 0 for none.
    static std::int32_t GetTextWidth(const ScreenGlyph* glyphs);
    static std::int32_t GetTextHeight(const ScreenGlyph* glyphs);

    void SplitWords(LayoutState& state, const WideString& text, const Format& format) const;
    static void ApplyWhitespaceMode(LayoutState& state);
    static void BreakLines(LayoutState& state, Extent width);

private:
    SmartPtr<FontSet> m_fontSet;
};

// text in font from (0, 0): no wrapping, no format, every colour opaque black; a line feed
// gets its glyph and starts a new line one line-feed glyph lower. Never null.
GlyphArray LayoutPlainText(const WideString& text, const FontEx* font);

} // namespace Text
} // namespace Tarv
