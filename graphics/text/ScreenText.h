// Tarv::ScreenText: a block of text laid out once (its placed glyphs, width, height and a shadow
// flag) and drawn every frame at any position without laying it out again.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/WideString.h"
#include "graphics/text/ScreenGlyph.h"

#include <cstdint>

namespace Tarv
{

class FontEx;
class Surface;

namespace Text
{
class Format;
}

class ScreenText : public RefCounter
{
public:
    // A box: width every line is broken to, height lines may start within (0: no limit).
    struct BoxSize
    {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    // text laid out with format in the box. Width is the box width; height the box height, or
    // the laid-out text's height when the box height is 0.
    ScreenText(const Text::Format& format, const WideString& text, const BoxSize& box);
    // text in one font, unwrapped (line feeds start new lines). Width is the text's extent;
    // height is the first glyph's (one line), 0 for an empty text.
    ScreenText(const FontEx* font, const WideString& text);
    ~ScreenText() override;
    ScreenText(const ScreenText&) = delete;
    ScreenText& operator=(const ScreenText&) = delete;

    // Draws the glyphs with the block's origin at (x, y): nothing when the first glyph's image
    // is missing or fully transparent. Alpha-only images are tinted by the glyph colours, other
    // images show their own colours. The shadow pass (black, one pixel right and down) runs
    // first, so one font page draws as one batch. Allocates nothing.
    void Render(Surface& target, int x, int y) const;

    const ScreenGlyph* GetGlyphs() const { return m_glyphs.get(); }
    std::int32_t GetWidth() const { return m_width; }
    std::int32_t GetHeight() const { return m_height; }
    bool GetShadow() const { return m_shadow; }
    void SetShadow(bool shadow) { m_shadow = shadow; }

private:
    GlyphArray m_glyphs;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_shadow = false;
};

} // namespace Tarv
