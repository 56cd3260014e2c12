// The font dictionary: fonts shared through the asset dictionary, filed by base name, and
// anchored one-off texts drawn with the dictionary's format.
#include "framework/FontDict.h"

#include "engine/core/Path.h"
#include "framework/AssetDict.h"
#include "framework/CacheList.h"
#include "graphics/render/Surface.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/ScreenGlyph.h"
#include "graphics/text/ScreenText.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace Quor
{

namespace
{

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// The right edge of the laid-out glyphs, 0 for none.
std::int32_t MeasureWidth(const Tarv::ScreenText& text)
{
    std::int64_t right = 0;
    const Tarv::ScreenGlyph* glyphs = text.GetGlyphs();
    for (std::size_t i = 0; glyphs != nullptr && glyphs[i].image; ++i)
        right = std::max<std::int64_t>(right, std::int64_t(glyphs[i].x) + glyphs[i].rect[2]);
    return static_cast<std::int32_t>(std::min<std::int64_t>(right, INT32_MAX));
}

std::int32_t HorizontalAlignment(int flags)
{
    if (flags & TEXT_RIGHT)
        return Tarv::Text::ALIGN_RIGHT;
    return (flags & TEXT_HCENTER) ? Tarv::Text::ALIGN_CENTER : Tarv::Text::ALIGN_LEFT;
}

std::int32_t VerticalAlignment(int flags)
{
    if (flags & TEXT_BOTTOM)
        return Tarv::Text::VALIGN_BOTTOM;
    return (flags & TEXT_VCENTER) ? Tarv::Text::VALIGN_CENTER : Tarv::Text::VALIGN_TOP;
}

} // namespace

FontDict::FontDict() : m_fontSet(Tarv::MakeSmart<Tarv::Text::FontSet>())
{
    m_format.SetFontSet(m_fontSet.Get());
}

FontDict::~FontDict() = default;

bool FontDict::LoadFont(const Tarv::NarrowString& path)
{
    CacheList* cacheList = CacheList::GetInstance();
    const bool hold = cacheList != nullptr && cacheList->Contains(path);
    const Tarv::SmartPtr<Tarv::FontEx> font = Tarv::AssetDict::GetFont(path, hold);
    if (!font)
        return false;
    m_fontSet->AddFont(Tarv::GetBaseName(path), font.Get());
    return true;
}

void FontDict::GetAnchoredOrigin(int x, int y, int width, int height, int flags, int& left, int& top)
{
    std::int64_t originX = x;
    if (flags & TEXT_RIGHT)
        originX -= width;
    else if (flags & TEXT_HCENTER)
        originX -= width / 2;
    std::int64_t originY = y;
    if (flags & TEXT_BOTTOM)
        originY -= height;
    else if (flags & TEXT_VCENTER)
        originY -= height / 2;
    left = ClampToInt(originX);
    top = ClampToInt(originY);
}

void FontDict::DrawText(Tarv::Surface* surface, int x, int y, const Tarv::WideString& text, int flags,
                        const Tarv::NarrowString& fontName)
{
    if (surface == nullptr)
        return;
    m_format.SetFontName(fontName);
    m_format.SetAlignment(HorizontalAlignment(flags));
    m_format.SetVerticalAlignment(VerticalAlignment(flags));
    const Tarv::FontEx* font = m_fontSet->GetFont(fontName);
    if (font == nullptr)
        return;

    // Laid out once left-aligned to measure the block, then aligned within that width, so no
    // position ever comes near the int range's ends.
    m_format.SetAlignment(Tarv::Text::ALIGN_LEFT);
    const Tarv::ScreenText measured(m_format, text, {INT32_MAX, 0});
    std::int32_t width = MeasureWidth(measured);
    m_format.SetAlignment(HorizontalAlignment(flags));
    if (width == 0)
        return;
    // Centred in a box of odd width b, a line w wide starts (b - 1) / 2 - w / 2 into it, so
    // with the box's left edge at x - (b - 1) / 2 every line starts at x - w / 2 of its own
    // width, whatever the widest line's width.
    if (HorizontalAlignment(flags) == Tarv::Text::ALIGN_CENTER && width % 2 == 0)
        ++width;
    const Tarv::ScreenText aligned(m_format, text, {width, 0});
    int left = 0;
    int top = 0;
    GetAnchoredOrigin(x, y, width, font->GetHeight(), flags, left, top);
    aligned.Render(*surface, left, top);
}

void FontDict::DrawNarrowText(Tarv::Surface* surface, int x, int y, const Tarv::NarrowString& text, int flags,
                              const Tarv::NarrowString& fontName)
{
    DrawText(surface, x, y, Tarv::WideString(text), flags, fontName);
}

} // namespace Quor
