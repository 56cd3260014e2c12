// Screen text blocks: built through the typesetter or the plain layout, drawn as one blit per
// glyph through the batcher.
#include "graphics/text/ScreenText.h"

#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/Format.h"
#include "graphics/text/RichString.h"
#include "graphics/text/Typesetter.h"

#include <algorithm>
#include <climits>

namespace Tarv
{

namespace
{

// origin + delta + extra without overflow.
int Offset(int origin, std::int32_t delta, int extra = 0)
{
    const std::int64_t sum = std::int64_t(origin) + delta + extra;
    return static_cast<int>(std::clamp<std::int64_t>(sum, INT_MIN, INT_MAX));
}

} // namespace

ScreenText::ScreenText(const Text::Format& format, const WideString& text, const BoxSize& box)
{
    const RichString rich(text, format);
    Text::Typesetter typesetter;
    const std::int32_t rect[4] = {0, 0, box.width, box.height};
    m_glyphs = typesetter.Layout(rich, rect);
    m_width = box.width;
    m_height = box.height != 0 ? box.height : Text::Typesetter::GetTextHeight(m_glyphs.get());
}

ScreenText::ScreenText(const FontEx* font, const WideString& text)
{
    m_glyphs = Text::LayoutPlainText(text, font);
    m_width = Text::Typesetter::GetTextWidth(m_glyphs.get());
    m_height = m_glyphs[0].rect[3];
}

ScreenText::~ScreenText()
{
    if (!m_glyphs)
        return;
    // Last record first, as the array was filled front to back.
    std::size_t count = 0;
    while (m_glyphs[count].image)
        ++count;
    for (std::size_t i = count; i > 0; --i)
        m_glyphs[i - 1].image.Reset();
    m_glyphs.reset();
}

void ScreenText::Render(Surface& target, int x, int y) const
{
    if (!m_glyphs)
        return;
    const Surface* first = m_glyphs[0].image.Get();
    if (first == nullptr || first->GetAlpha() == 0)
        return;
    if (m_shadow) {
        static const std::uint8_t black[4] = {0, 0, 0, 255};
        for (const ScreenGlyph* g = m_glyphs.get(); g->image; ++g)
            target.BlitTinted(Offset(x, g->x, 1), Offset(y, g->y, 1), black, g->image.Get(),
                              g->rect);
    }
    for (const ScreenGlyph* g = m_glyphs.get(); g->image; ++g) {
        const PixelDataGL* pixels = g->image->GetPixelData();
        if (pixels != nullptr && pixels->GetFormat() == PixelDataGL::FORMAT_ALPHA8)
            target.BlitTinted(Offset(x, g->x), Offset(y, g->y), g->color, g->image.Get(), g->rect);
        else
            target.Blit(Offset(x, g->x), Offset(y, g->y), g->image.Get(), g->rect);
    }
}

} // namespace Tarv
