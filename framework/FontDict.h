// Quor::FontDict: a small set of named bitmap fonts (named by the base name of their font XML,
// the first one loaded being the default) and a text format bound to them, for one-off texts.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WideString.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/Format.h"

namespace Tarv
{
class Surface;
}

namespace Quor
{

// Anchor flags of DrawText: which point of the text lands on (x, y). Left and top hold when
// the other bits are clear; right wins over centre, bottom over middle.
constexpr int TEXT_LEFT = 1;
constexpr int TEXT_HCENTER = 2;
constexpr int TEXT_RIGHT = 4;
constexpr int TEXT_TOP = 8;
constexpr int TEXT_VCENTER = 16;
constexpr int TEXT_BOTTOM = 32;
// The anchor DrawText takes when none is given: left and top.
constexpr int TEXT_DEFAULT_ANCHOR = TEXT_LEFT | TEXT_TOP;

// No lock: LoadFont runs on the thread that drains the owner's queue, drawing on the main
// thread once the owner is current.
class FontDict
{
public:
    FontDict();
    ~FontDict();
    FontDict(const FontDict&) = delete;
    FontDict& operator=(const FontDict&) = delete;

    // Loads the font at path through the asset dictionary (held when the cache list names it)
    // and files it under its base name; the first name filed stays, and the first font loaded
    // becomes the default. False when the font can't be loaded: nothing is filed then.
    bool LoadFont(const Tarv::NarrowString& path);

    // Draws text in the named font (an unknown name gives the default font; with no font at
    // all nothing is drawn) with the flags' point of the text at (x, y). The default format
    // keeps the font name and both alignments afterwards, also when nothing was drawn. Main
    // thread.
    void DrawText(Tarv::Surface* surface, int x, int y, const Tarv::WideString& text, int flags,
                  const Tarv::NarrowString& fontName);
    // The same with TEXT_DEFAULT_ANCHOR.
    void DrawText(Tarv::Surface* surface, int x, int y, const Tarv::WideString& text,
                  const Tarv::NarrowString& fontName)
    {
        DrawText(surface, x, y, text, TEXT_DEFAULT_ANCHOR, fontName);
    }
    // The same for UTF-8 text; text that is not valid UTF-8 draws nothing.
    void DrawNarrowText(Tarv::Surface* surface, int x, int y, const Tarv::NarrowString& text, int flags,
                        const Tarv::NarrowString& fontName);

    // Where DrawText puts the text's top-left corner for a block of the given size, computed
    // without overflow and clamped to the int range.
    static void GetAnchoredOrigin(int x, int y, int width, int height, int flags, int& left, int& top);

    Tarv::Text::FontSet* GetFontSet() const { return m_fontSet.Get(); }
    Tarv::Text::Format& GetFormat() { return m_format; }

private:
    Tarv::SmartPtr<Tarv::Text::FontSet> m_fontSet;
    // Embedded, never handed to a SmartPtr; shares the font set.
    Tarv::Text::Format m_format;
};

} // namespace Quor
