// Text format chains: inherited getters, linking, and the flattening the typesetter uses when
// it merges a word's formats.
#include "graphics/text/Format.h"

#include "graphics/text/FontSet.h"

namespace Tarv
{
namespace Text
{

namespace
{

// Longer chains than this can only come from a link cycle; the walk stops there.
constexpr int MAX_CHAIN_LENGTH = 256;

constexpr std::uint32_t ATTRIBUTE_BITS[] = {FORMAT_FONT_NAME,      FORMAT_COLOR,
                                            FORMAT_LETTER_SPACING, FORMAT_LINE_SPACING,
                                            FORMAT_ALIGNMENT,      FORMAT_WHITESPACE_MODE,
                                            FORMAT_VERTICAL_ALIGNMENT};

} // namespace

Format::Format(const Format& other)
    : RefCounter(other), WeakRefCounter(other), m_setMask(other.m_setMask),
      m_fontSet(other.m_fontSet), m_fontName(other.m_fontName), m_color(other.m_color),
      m_letterSpacing(other.m_letterSpacing), m_lineSpacing(other.m_lineSpacing),
      m_alignment(other.m_alignment), m_whitespaceMode(other.m_whitespaceMode),
      m_verticalAlignment(other.m_verticalAlignment)
{
}

Format::~Format() = default;

const Format* Format::FindHolder(std::uint32_t bit) const
{
    const Format* current = this;
    if ((m_setMask & bit) != 0 || m_parent.IsNull())
        return current;
    // The walk holds each parent while it reads it; the holder found stays alive through the
    // chain below it, which the caller holds.
    SmartPtr<Format> held;
    for (int step = 0; step < MAX_CHAIN_LENGTH; ++step) {
        if ((current->m_setMask & bit) != 0)
            return current;
        SmartPtr<Format> parent = current->m_parent.Lock();
        if (!parent)
            return current;
        held = parent;
        current = held.Get();
    }
    return current;
}

const NarrowString& Format::GetFontName() const
{
    return FindHolder(FORMAT_FONT_NAME)->m_fontName;
}

const Format::Color4& Format::GetColor() const
{
    return FindHolder(FORMAT_COLOR)->m_color;
}

std::int32_t Format::GetLetterSpacing() const
{
    return FindHolder(FORMAT_LETTER_SPACING)->m_letterSpacing;
}

std::int32_t Format::GetLineSpacing() const
{
    return FindHolder(FORMAT_LINE_SPACING)->m_lineSpacing;
}

std::int32_t Format::GetAlignment() const
{
    return FindHolder(FORMAT_ALIGNMENT)->m_alignment;
}

std::int32_t Format::GetWhitespaceMode() const
{
    return FindHolder(FORMAT_WHITESPACE_MODE)->m_whitespaceMode;
}

std::int32_t Format::GetVerticalAlignment() const
{
    return FindHolder(FORMAT_VERTICAL_ALIGNMENT)->m_verticalAlignment;
}

void Format::SetFontName(const NarrowString& name)
{
    m_fontName = name;
    m_setMask |= FORMAT_FONT_NAME;
}

void Format::SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    m_color = Color4{r, g, b, a};
    m_setMask |= FORMAT_COLOR;
}

void Format::SetLetterSpacing(std::int32_t spacing)
{
    m_letterSpacing = spacing;
    m_setMask |= FORMAT_LETTER_SPACING;
}

void Format::SetLineSpacing(std::int32_t spacing)
{
    m_lineSpacing = spacing;
    m_setMask |= FORMAT_LINE_SPACING;
}

void Format::SetAlignment(std::int32_t alignment)
{
    m_alignment = alignment;
    m_setMask |= FORMAT_ALIGNMENT;
}

void Format::SetWhitespaceMode(std::int32_t mode)
{
    m_whitespaceMode = mode;
    m_setMask |= FORMAT_WHITESPACE_MODE;
}

void Format::SetVerticalAlignment(std::int32_t alignment)
{
    m_verticalAlignment = alignment;
    m_setMask |= FORMAT_VERTICAL_ALIGNMENT;
}

void Format::SetFontSet(FontSet* fontSet)
{
    m_fontSet = SmartPtr<FontSet>(fontSet);
}

FontEx* Format::GetFont() const
{
    return m_fontSet ? m_fontSet->GetFont(m_fontName) : nullptr;
}

void Format::InheritFontSet()
{
    const SmartPtr<Format> parent = m_parent.Lock();
    if (parent)
        m_fontSet = parent->m_fontSet;
}

void Format::InsertBetween(Format* parent, Format* child)
{
    m_parent = WeakPtr<Format>(parent);
    m_child = WeakPtr<Format>(child);
    if (child != nullptr)
        child->m_parent = WeakPtr<Format>(this);
    if (parent != nullptr)
        parent->m_child = WeakPtr<Format>(this);
}

void Format::Flatten(const Format* top, const Format* bottom)
{
    m_setMask = 0;
    if (bottom == nullptr)
        return;
    const SmartPtr<Format> stop = top != nullptr ? top->m_parent.Lock() : SmartPtr<Format>();
    std::uint32_t mask = 0;
    if (stop.Get() != bottom) {
        const Format* current = bottom;
        SmartPtr<Format> held;
        for (int step = 0; step < MAX_CHAIN_LENGTH && current != nullptr; ++step) {
            mask |= current->m_setMask;
            SmartPtr<Format> next = current->m_parent.Lock();
            if (!next || next == stop)
                break;
            held = next;
            current = held.Get();
        }
    }
    for (const std::uint32_t bit : ATTRIBUTE_BITS) {
        if ((mask & bit) == 0)
            continue;
        switch (bit) {
        case FORMAT_FONT_NAME: m_fontName = bottom->GetFontName(); break;
        case FORMAT_COLOR: m_color = bottom->GetColor(); break;
        case FORMAT_LETTER_SPACING: m_letterSpacing = bottom->GetLetterSpacing(); break;
        case FORMAT_LINE_SPACING: m_lineSpacing = bottom->GetLineSpacing(); break;
        case FORMAT_ALIGNMENT: m_alignment = bottom->GetAlignment(); break;
        case FORMAT_WHITESPACE_MODE: m_whitespaceMode = bottom->GetWhitespaceMode(); break;
        default: m_verticalAlignment = bottom->GetVerticalAlignment(); break;
        }
    }
    m_setMask = mask & (FORMAT_FONT_NAME | FORMAT_COLOR | FORMAT_LETTER_SPACING |
                        FORMAT_LINE_SPACING | FORMAT_ALIGNMENT | FORMAT_WHITESPACE_MODE |
                        FORMAT_VERTICAL_ALIGNMENT);
}

} // namespace Text
} // namespace Tarv
