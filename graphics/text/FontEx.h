// Tarv::FontEx: a bitmap font: one image holding every glyph cell, a glyph table from character
// code to cell, and a kerning table from ordered code pairs to a distance. Read from font XML.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace Tarv
{

class IOStream;
class Surface;

class FontEx : public RefCounter, public WeakRefCounter
{
public:
    // One glyph cell: top-left corner and size in the font image, pixels.
    struct Glyph
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    // Fetches a font image by image key (path, optionally "@" and options). The asset
    // dictionary installs its own; without one the key is opened as a plain file path, options
    // included, and read by the image readers with loader argument 5.
    using ImageProvider = SmartPtr<Surface> (*)(const NarrowString& imageKey);

    static constexpr std::uint32_t REPLACEMENT_CODE = 0xFFFD;

    // Reads the font XML at the virtual path and fetches the image. Never fails: a missing or
    // damaged file leaves the tables empty, an image that cannot be had leaves it null.
    FontEx(const NarrowString& xmlPath, const NarrowString& imageKey);
    // An empty font (no glyphs, no image), filled by Parse and LoadImage.
    FontEx();
    ~FontEx() override;
    FontEx(const FontEx&) = delete;
    FontEx& operator=(const FontEx&) = delete;

    // The font key's two halves: the XML path is the key up to its last "@"; the image key is
    // that path with its last three characters replaced by "png", plus the key's "@" options.
    // False (both left empty) when the path is shorter than three characters.
    static bool SplitFontKey(const NarrowString& key, NarrowString& xmlPath,
                             NarrowString& imageKey);
    // Installs the image provider (null restores the direct file read). Set it before fonts
    // are loaded on other threads.
    static void SetImageProvider(ImageProvider provider);

    // Reads font XML from the stream into the tables. False when the text is not XML, a glyph
    // height differs from the font's (the glyphs before it stay, no kerning is read), or no
    // glyph was entered.
    bool Parse(IOStream& stream);
    // Fetches the image through the provider; true when one was obtained.
    bool LoadImage(const NarrowString& imageKey);

    // The glyph of code; else that of U+FFFD; else that of the lowest code; a zero cell for a
    // font without glyphs. The reference lives as long as the font.
    const Glyph& GetGlyph(std::uint32_t code) const;
    // Height of the glyph with the lowest code; 0 for a font without glyphs.
    std::int32_t GetHeight() const;
    // Distance the layout takes off the advance between left and right; 0 for unknown pairs.
    std::int32_t GetKerning(std::uint32_t left, std::uint32_t right) const;
    // The font image, or null.
    Surface* GetImage() const { return m_image.Get(); }
    const SmartPtr<Surface>& GetImageRef() const { return m_image; }
    std::size_t GetGlyphCount() const { return m_glyphs.size(); }
    std::size_t GetKerningCount() const { return m_kerning.size(); }

private:
    // Codes below this are looked up in arrays rebuilt after each parse, not in the maps.
    static constexpr std::uint32_t DIRECT_CODES = 0x250;

    void BuildDirectTables();

    std::map<std::uint32_t, Glyph> m_glyphs;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::int32_t> m_kerning;
    SmartPtr<Surface> m_image;
    // The glyph GetGlyph gives for each direct code (fallbacks resolved), and which direct
    // codes start a kerning pair.
    std::vector<const Glyph*> m_directGlyphs;
    std::vector<bool> m_kernsLeft;
};

} // namespace Tarv
