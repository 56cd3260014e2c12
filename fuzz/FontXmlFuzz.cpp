// Fuzzes the bitmap font reader and lays a fixed text out in whatever font it yields.
#include "engine/vfs/CachedFile.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/Format.h"
#include "graphics/text/RichString.h"
#include "graphics/text/ScreenText.h"
#include "graphics/text/Typesetter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    Tarv::SmartPtr<Tarv::FontEx> font(new Tarv::FontEx());
    Tarv::SmartPtr<Tarv::CachedFile> stream(
        new Tarv::CachedFile(data, static_cast<int>(size), false));
    font->Parse(*stream);
    Tarv::SmartPtr<Tarv::Text::FontSet> set(new Tarv::Text::FontSet());
    set->AddFont("default", font.Get());
    Tarv::Text::Format format;
    format.SetFontSet(set.Get());
    format.SetAlignment(static_cast<std::int32_t>(size % 3));
    const Tarv::WideString text(U"A\u00E9 \u4E00\u4E01 text\r\nwith  breaks \U0010FFFF");
    Tarv::Text::Typesetter typesetter(set.Get());
    const std::int32_t box[4] = {0, 0, static_cast<std::int32_t>(size % 97) - 10, 0};
    Tarv::GlyphArray glyphs = typesetter.Layout(Tarv::RichString(text, format), box);
    Tarv::Text::Typesetter::GetTextWidth(glyphs.get());
    Tarv::ScreenText plain(font.Get(), text);
    return 0;
}
