// The typesetter: words, whitespace handling, measuring, greedy line breaking with splitting of
// overlong words, aligned placing of lines in a box; the plain one-font layout; extents.
#include "graphics/text/Typesetter.h"

#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/RichString.h"

#include <algorithm>
#include <climits>

namespace Tarv
{
namespace Text
{

namespace
{

enum class CharClass
{
    WHITESPACE,
    NEWLINE,
    OTHER,
};

CharClass ClassOf(std::uint32_t code)
{
    if (code == 9 || code == 32)
        return CharClass::WHITESPACE;
    if (code == 10 || code == 13)
        return CharClass::NEWLINE;
    return CharClass::OTHER;
}

bool IsIdeograph(std::uint32_t code)
{
    return (code >= 0x3400 && code <= 0x9FFF) || (code >= 0xF900 && code <= 0xFAFF);
}

std::int32_t Clamp32(Extent value)
{
    return static_cast<std::int32_t>(std::clamp<Extent>(value, INT_MIN, INT_MAX));
}

GlyphArray MakeArray(std::size_t characters)
{
    return GlyphArray(new ScreenGlyph[characters + 1]);
}

// Whether the whole text is measured and placed in one font: only one run had characters, or
// the root's set holds one font.
bool UsesSingleFont(const LayoutState& state)
{
    const SmartPtr<Format> root = state.root.Lock();
    if (!root)
        return false;
    const FontSet* fontSet = root->GetFontSet();
    return !root->GetChild() || (fontSet != nullptr && fontSet->GetFontCount() == 1);
}

// The root's font for a single-font text; null (every character resolves its own) for other
// texts and once the root is gone, trimmed away or replaced by a collapsed space.
FontEx* SingleFont(const LayoutState& state, bool single)
{
    const SmartPtr<Format> root = state.root.Lock();
    return single && root ? root->GetFont() : nullptr;
}

// Largest position + size minus smallest position along one axis (x with rect width, or y
// with rect height) over the records before the first without image.
std::int32_t MeasureExtent(const ScreenGlyph* glyphs, std::int32_t ScreenGlyph::*position,
                           int sizeIndex)
{
    if (glyphs == nullptr)
        return 0;
    if (!glyphs[0].image)
        return glyphs[0].rect[sizeIndex];
    Extent low = glyphs[0].*position;
    Extent high = low + glyphs[0].rect[sizeIndex];
    for (const ScreenGlyph* g = glyphs; g->image; ++g) {
        low = std::min<Extent>(low, g->*position);
        high = std::max<Extent>(high, Extent(g->*position) + g->rect[sizeIndex]);
    }
    return Clamp32(high - low);
}

} // namespace

FontEx* Character::ResolveFont(FontEx* font) const
{
    if (font != nullptr)
        return font;
    return m_format ? m_format->GetFont() : nullptr;
}

void Character::MeasureWidth(FontEx* font)
{
    const FontEx* resolved = ResolveFont(font);
    m_width = resolved != nullptr ? resolved->GetGlyph(m_code).width : 0;
}

void Character::MeasureHeight(FontEx* font)
{
    const FontEx* resolved = ResolveFont(font);
    m_height = resolved != nullptr ? resolved->GetGlyph(m_code).height : 0;
}

void Character::FillGlyph(GlyphWriter& writer, Extent x, Extent y, FontEx* font) const
{
    ScreenGlyph* record = writer.GetCurrent();
    if (font == nullptr || record == nullptr)
        return;
    record->x = Clamp32(x);
    record->y = Clamp32(y);
    record->image = font->GetImageRef();
    const FontEx::Glyph& glyph = font->GetGlyph(m_code);
    record->rect[0] = glyph.x;
    record->rect[1] = glyph.y;
    record->rect[2] = glyph.width;
    record->rect[3] = glyph.height;
    if (m_format) {
        const Format::Color4& color = m_format->GetColor();
        record->color[0] = color.r;
        record->color[1] = color.g;
        record->color[2] = color.b;
        record->color[3] = color.a;
    }
    writer.Advance();
}

bool Word::IsWhitespace() const
{
    return std::all_of(m_characters.begin(), m_characters.end(), [](const Character& c) {
        return ClassOf(c.m_code) == CharClass::WHITESPACE;
    });
}

bool Word::IsNewline() const
{
    return std::all_of(m_characters.begin(), m_characters.end(), [](const Character& c) {
        return ClassOf(c.m_code) == CharClass::NEWLINE;
    });
}

Format* Word::GetLastFormat() const
{
    return m_characters.empty() ? nullptr : m_characters.back().m_format.Get();
}

std::int32_t Word::GetLetterSpacing() const
{
    const Format* format = GetLastFormat();
    return format != nullptr ? format->GetLetterSpacing() : 0;
}

void Word::MeasureWidth(FontEx* font)
{
    Extent width = 0;
    std::uint32_t previous = 0;
    for (Character& character : m_characters) {
        character.MeasureWidth(font);
        width += character.m_width;
        const FontEx* resolved = character.ResolveFont(font);
        if (resolved != nullptr)
            width -= resolved->GetKerning(previous, character.m_code);
        previous = character.m_code;
    }
    m_width = width + Extent(m_characters.size()) * GetLetterSpacing();
}

Extent Word::MeasureHeight(FontEx* font)
{
    Extent height = 0;
    for (Character& character : m_characters) {
        character.MeasureHeight(font);
        height = std::max<Extent>(height, character.m_height);
    }
    m_height = height;
    return height;
}

bool Word::CanSplit(Extent available) const
{
    return !m_characters.empty() && m_characters.front().m_width <= available &&
           available < m_width;
}

std::unique_ptr<Word> Word::Split(Extent available)
{
    Extent sum = 0;
    std::size_t splitAt = 0;
    for (; splitAt < m_characters.size(); ++splitAt) {
        sum += m_characters[splitAt].m_width;
        if (sum > available)
            break;
    }
    if (splitAt == 0 || splitAt >= m_characters.size())
        return nullptr;
    std::unique_ptr<Word> tail(new Word);
    tail->m_characters.assign(m_characters.begin() + std::ptrdiff_t(splitAt), m_characters.end());
    m_characters.erase(m_characters.begin() + std::ptrdiff_t(splitAt), m_characters.end());
    SetUnkernedWidth();
    tail->SetUnkernedWidth();
    return tail;
}

void Word::SetUnkernedWidth()
{
    Extent width = 0;
    for (const Character& character : m_characters)
        width += character.m_width;
    m_width = width + Extent(m_characters.size()) * GetLetterSpacing();
}

void Word::CollapseTo(Character character)
{
    if (m_characters.empty())
        return;
    const SmartPtr<Format>& first = m_characters.front().m_format;
    const SmartPtr<Format>& last = m_characters.back().m_format;
    if (first == last || !first || !last) {
        character.m_format = first ? first : last;
    } else {
        SmartPtr<Format> merged(new Format);
        merged->Flatten(first.Get(), last.Get());
        merged->InsertBetween(first.Get(), last.Get());
        merged->SetFontSet(first->GetFontSet());
        character.m_format = merged;
    }
    m_characters.clear();
    m_characters.push_back(character);
}

void Word::Emit(GlyphWriter& writer, Extent x, Extent y, Extent remaining, FontEx* font) const
{
    const Extent spacing = GetLetterSpacing();
    std::uint32_t previous = 0;
    for (const Character& character : m_characters) {
        if (remaining <= 0)
            break;
        const Extent advance = spacing + character.m_width;
        FontEx* resolved = character.ResolveFont(font);
        const Extent kerning = resolved != nullptr ? resolved->GetKerning(previous, character.m_code) : 0;
        x -= kerning;
        remaining += kerning;
        character.FillGlyph(writer, x, y, resolved);
        if (advance > 0) {
            x += advance;
            remaining -= advance;
        }
        previous = character.m_code;
    }
}

void Line::SumWidths()
{
    Extent width = 0;
    for (const Word* word : m_words)
        width += word->m_width;
    m_width = width;
}

void Line::MeasureHeight(FontEx* font)
{
    Extent height = 0;
    for (Word* word : m_words)
        height = std::max(height, word->MeasureHeight(font));
    m_height = height;
}

void Line::PlaceWords(GlyphWriter& writer, Extent x, Extent y, Extent w, FontEx* font) const
{
    if (m_words.empty())
        return;
    const Format* format = m_words.back()->GetLastFormat();
    const std::int32_t alignment = format != nullptr ? format->GetAlignment() : ALIGN_LEFT;
    Extent offset = 0;
    if (alignment == ALIGN_RIGHT)
        offset = w - m_width;
    else if (alignment == ALIGN_CENTER)
        offset = (w - m_width) / 2;
    Extent position = x + offset;
    Extent remaining = w;
    for (const Word* word : m_words) {
        if (remaining <= 0)
            break;
        word->Emit(writer, position, y, remaining, font);
        position += word->m_width;
        remaining -= word->m_width;
    }
}

std::size_t LayoutState::CountCharacters() const
{
    std::size_t count = 0;
    for (const auto& line : lines) {
        for (const Word* word : line->m_words)
            count += word->m_characters.size();
    }
    return count;
}

Typesetter::Typesetter(FontSet* fallback) : m_fontSet(fallback) {}

Typesetter::~Typesetter() = default;

void Typesetter::SplitWords(LayoutState& state, const WideString& text, const Format& format) const
{
    if (text.empty())
        return;
    SmartPtr<Format> copy(new Format(format));
    const SmartPtr<Format> root = state.root.Lock();
    if (!root) {
        state.root = WeakPtr<Format>(copy);
        const FontSet* own = copy->GetFontSet();
        if (own == nullptr || !own->HasDefaultFont())
            copy->SetFontSet(m_fontSet.Get());
    } else {
        copy->SetParent(root.Get());
        root->SetChild(copy.Get());
        copy->InheritFontSet();
    }
    if (state.words.empty())
        state.words.emplace_back(new Word);
    bool previousIdeograph = false;
    for (const char32_t c : text) {
        const std::uint32_t code = static_cast<std::uint32_t>(c);
        const bool ideograph = IsIdeograph(code);
        const Word& last = *state.words.back();
        const bool startsWord =
            !last.m_characters.empty() &&
            ((ideograph && previousIdeograph) ||
             ClassOf(code) != ClassOf(last.m_characters.front().m_code));
        if (startsWord)
            state.words.emplace_back(new Word);
        state.words.back()->m_characters.emplace_back(code, copy);
        previousIdeograph = ideograph;
    }
}

void Typesetter::ApplyWhitespaceMode(LayoutState& state)
{
    std::int32_t mode = WHITESPACE_TRIM;
    if (const SmartPtr<Format> root = state.root.Lock())
        mode = root->GetWhitespaceMode();
    const bool trim = mode != WHITESPACE_COLLAPSE && mode != WHITESPACE_KEEP;
    const bool collapse = mode == WHITESPACE_TRIM_COLLAPSE || mode == WHITESPACE_COLLAPSE;
    auto& words = state.words;
    if (trim) {
        while (!words.empty() && words.front()->IsWhitespace())
            words.pop_front();
        while (!words.empty() && words.back()->IsWhitespace())
            words.pop_back();
    }
    if (!collapse)
        return;
    for (auto it = words.begin(); it != words.end(); ++it) {
        Word& word = **it;
        if (word.m_characters.empty() || !word.IsWhitespace())
            continue;
        word.CollapseTo(Character(32));
        if (it == words.begin())
            state.root = WeakPtr<Format>(word.m_characters.front().m_format);
    }
}

void Typesetter::BreakLines(LayoutState& state, Extent width)
{
    auto& lines = state.lines;
    lines.clear();
    lines.emplace_back(new Line);
    Extent x = 0;
    for (auto it = state.words.begin(); it != state.words.end(); ++it) {
        Word* word = it->get();
        Line* line = lines.back().get();
        if (word->IsNewline()) {
            if (!line->m_words.empty() && line->m_words.back()->IsWhitespace())
                line->m_words.pop_back();
            lines.emplace_back(new Line);
            x = 0;
        } else if (x + word->m_width > width) {
            Extent available = width - x;
            if (line->m_words.empty()) {
                if (!word->CanSplit(available))
                    available = word->m_characters.front().m_width;
                std::unique_ptr<Word> tail = word->Split(available);
                if (tail)
                    state.words.insert(std::next(it), std::move(tail));
                line->m_words.push_back(word);
                lines.emplace_back(new Line);
                x = 0;
            } else {
                if (line->m_words.back()->IsWhitespace())
                    line->m_words.pop_back();
                lines.emplace_back(new Line);
                x = 0;
                if (!word->IsWhitespace()) {
                    lines.back()->m_words.push_back(word);
                    x = word->m_width;
                }
            }
        } else {
            line->m_words.push_back(word);
            x += word->m_width;
        }
    }
    if (lines.back()->m_words.empty())
        lines.pop_back();
}

GlyphArray Typesetter::Layout(const RichString& text, const std::int32_t box[4])
{
    LayoutState state;
    for (const RichString::Run& run : text.GetRuns())
        SplitWords(state, run.text, run.format);
    if (state.words.empty())
        return MakeArray(0);
    {
        const SmartPtr<Format> root = state.root.Lock();
        const FontSet* fontSet = root ? root->GetFontSet() : nullptr;
        if (fontSet == nullptr || !fontSet->HasDefaultFont())
            return MakeArray(0);
    }
    // The choice is made before whitespace handling, which may remove runs or the root.
    const bool single = UsesSingleFont(state);
    const Format* lastFormat = state.words.back()->GetLastFormat();
    const Extent lineSpacing = lastFormat != nullptr ? lastFormat->GetLineSpacing() : 0;
    ApplyWhitespaceMode(state);
    // The root can only be lost to whitespace handling, so the font holds from here on.
    FontEx* font = SingleFont(state, single);
    for (auto& word : state.words)
        word->MeasureWidth(font);
    BreakLines(state, box[2]);
    for (auto& line : state.lines) {
        line->SumWidths();
        line->MeasureHeight(font);
    }
    GlyphArray glyphs = MakeArray(state.CountCharacters());
    GlyphWriter writer(glyphs.get(), state.CountCharacters() + 1);
    Extent y = box[1];
    Extent height = box[3];
    for (const auto& line : state.lines) {
        if (height <= 0 && box[3] != 0)
            break;
        line->PlaceWords(writer, box[0], y, box[2], font);
        const Extent advance = line->m_height + lineSpacing;
        y += advance;
        height -= advance;
    }
    return glyphs;
}

std::int32_t Typesetter::GetTextWidth(const ScreenGlyph* glyphs)
{
    return MeasureExtent(glyphs, &ScreenGlyph::x, 2);
}

std::int32_t Typesetter::GetTextHeight(const ScreenGlyph* glyphs)
{
    return MeasureExtent(glyphs, &ScreenGlyph::y, 3);
}

GlyphArray LayoutPlainText(const WideString& text, const FontEx* font)
{
    GlyphArray glyphs = MakeArray(text.size());
    if (font == nullptr)
        return glyphs;
    Extent x = 0, y = 0;
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t code = static_cast<std::uint32_t>(text[i]);
        x -= font->GetKerning(previous, code);
        ScreenGlyph& record = glyphs[i];
        record.x = Clamp32(x);
        record.y = Clamp32(y);
        record.image = font->GetImageRef();
        const FontEx::Glyph& glyph = font->GetGlyph(code);
        record.rect[0] = glyph.x;
        record.rect[1] = glyph.y;
        record.rect[2] = glyph.width;
        record.rect[3] = glyph.height;
        if (code == 10) {
            x = 0;
            y += glyph.height;
            previous = 0;
        } else {
            x += glyph.width;
            previous = code;
        }
    }
    return glyphs;
}

} // namespace Text
} // namespace Tarv
