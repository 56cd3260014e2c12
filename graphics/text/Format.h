// Tarv::Text::Format: the attributes text is laid out and drawn with. Formats form chains
// through weak parent links; an attribute a format does not set comes from its nearest ancestor.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "engine/core/WeakRefCounter.h"
#include "graphics/text/FontSet.h"

#include <cstdint>

namespace Tarv
{

class FontEx;

namespace Text
{


// Attribute bits of the set mask.
constexpr std::uint32_t FORMAT_FONT_NAME = 0x1;
constexpr std::uint32_t FORMAT_COLOR = 0x2;
constexpr std::uint32_t FORMAT_LETTER_SPACING = 0x4;
constexpr std::uint32_t FORMAT_LINE_SPACING = 0x8;
constexpr std::uint32_t FORMAT_ALIGNMENT = 0x10;
constexpr std::uint32_t FORMAT_WHITESPACE_MODE = 0x40;
constexpr std::uint32_t FORMAT_VERTICAL_ALIGNMENT = 0x100;

// Alignment values; any other value places lines as ALIGN_LEFT does.
constexpr std::int32_t ALIGN_LEFT = 0;
constexpr std::int32_t ALIGN_RIGHT = 1;
constexpr std::int32_t ALIGN_CENTER = 2;

// Whitespace modes; any other value acts as WHITESPACE_TRIM.
constexpr std::int32_t WHITESPACE_TRIM_COLLAPSE = 0;
constexpr std::int32_t WHITESPACE_COLLAPSE = 1;
constexpr std::int32_t WHITESPACE_TRIM = 2;
constexpr std::int32_t WHITESPACE_KEEP = 3;

// Vertical alignment values; not read by the layout.
constexpr std::int32_t VALIGN_TOP = 0;
constexpr std::int32_t VALIGN_CENTER = 1;
constexpr std::int32_t VALIGN_BOTTOM = 2;

// Links are weak and only reach formats owned through SmartPtr (a format embedded by value in
// another object can be a chain's bottom, never a parent that others read through). One thread
// at a time uses a chain.
class Format : public RefCounter, public WeakRefCounter
{
public:
    // Four colour bytes: red, green, blue, alpha.
    struct Color4
    {
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        std::uint8_t a = 255;
    };

    Format() = default;
    // Copies the set mask, the font set and every attribute field, set or not; no links.
    Format(const Format& other);
    Format& operator=(const Format&) = delete;
    ~Format() override;

    // Effective values: this format's own field when it sets the bit or has no live parent,
    // else the parent's effective value.
    const NarrowString& GetFontName() const;
    const Color4& GetColor() const;
    std::int32_t GetLetterSpacing() const;
    std::int32_t GetLineSpacing() const;
    std::int32_t GetAlignment() const;
    std::int32_t GetWhitespaceMode() const;
    std::int32_t GetVerticalAlignment() const;

    // Each stores the value and sets its bit.
    void SetFontName(const NarrowString& name);
    void SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    void SetLetterSpacing(std::int32_t spacing);
    void SetLineSpacing(std::int32_t spacing);
    void SetAlignment(std::int32_t alignment);
    void SetWhitespaceMode(std::int32_t mode);
    void SetVerticalAlignment(std::int32_t alignment);

    std::uint32_t GetSetMask() const { return m_setMask; }
    // The font set is no inherited attribute: it is always this format's own.
    FontSet* GetFontSet() const { return m_fontSet.Get(); }
    void SetFontSet(FontSet* fontSet);
    // This format's own font name field, set or not (what font lookups use).
    const NarrowString& GetOwnFontName() const { return m_fontName; }
    // The font of the own font name in the own font set; null without a set or a usable font.
    FontEx* GetFont() const;

    SmartPtr<Format> GetParent() const { return m_parent.Lock(); }
    SmartPtr<Format> GetChild() const { return m_child.Lock(); }
    void SetParent(Format* parent) { m_parent = WeakPtr<Format>(parent); }
    void SetChild(Format* child) { m_child = WeakPtr<Format>(child); }

    // Takes the live parent's font set (shared); nothing without a live parent.
    void InheritFontSet();
    // Links this format below parent and above child; either may be null.
    void InsertBetween(Format* parent, Format* child);
    // Gives this format, as its own set attributes, bottom's effective values of every
    // attribute set on the chain from bottom up to top (or, when top's live parent is not on
    // bottom's chain, up to the chain's end). See the typesetter's whitespace merging.
    void Flatten(const Format* top, const Format* bottom);

private:
    // The format whose field holds the effective value of bit: the nearest on the live chain
    // that sets it, else the last one reached. Chains are bounded against link cycles.
    const Format* FindHolder(std::uint32_t bit) const;

    WeakPtr<Format> m_child;
    WeakPtr<Format> m_parent;
    std::uint32_t m_setMask = 0;
    SmartPtr<FontSet> m_fontSet;
    NarrowString m_fontName;
    Color4 m_color;
    std::int32_t m_letterSpacing = 0;
    std::int32_t m_lineSpacing = 0;
    std::int32_t m_alignment = ALIGN_LEFT;
    std::int32_t m_whitespaceMode = WHITESPACE_TRIM_COLLAPSE;
    std::int32_t m_verticalAlignment = VALIGN_TOP;
};

} // namespace Text
} // namespace Tarv
