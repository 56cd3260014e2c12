// Shared by the text tests: fonts built from font XML written in the test, with a stand-in page
// surface (no pixels, no GL) so that glyph records carry an image.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"
#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "graphics/text/FontEx.h"
#include "graphics/text/FontSet.h"
#include "graphics/text/Format.h"
#include "tools/font/FontBaker.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace TextTest
{

inline Tarv::SmartPtr<Tarv::Surface> StandInPage(const Tarv::NarrowString&)
{
    return Tarv::SmartPtr<Tarv::Surface>(new Tarv::Surface(nullptr));
}

struct GlyphSpec
{
    std::uint32_t code;
    int width;
};

struct PairSpec
{
    std::uint32_t left;
    std::uint32_t right;
    int distance;
};

// Font XML with the glyphs in a row (x = sum of earlier widths) and the given pairs.
inline std::string FontXml(const std::vector<GlyphSpec>& glyphs, int height,
                           const std::vector<PairSpec>& pairs = {})
{
    std::string xml = "<font><characters>";
    int x = 0;
    for (const GlyphSpec& g : glyphs) {
        xml += "<char code=\"" + std::to_string(g.code) + "\" x=\"" + std::to_string(x) +
               "\" y=\"0\" width=\"" + std::to_string(g.width) + "\" height=\"" +
               std::to_string(height) + "\"/>";
        x += g.width;
    }
    xml += "</characters><kerning>";
    for (const PairSpec& p : pairs)
        xml += "<pair left=\"" + std::to_string(p.left) + "\" right=\"" + std::to_string(p.right) +
               "\" distance=\"" + std::to_string(p.distance) + "\"/>";
    return xml + "</kerning></font>";
}

// A font parsed from xml; with a stand-in page unless withImage is false.
inline Tarv::SmartPtr<Tarv::FontEx> ParseFont(const std::string& xml, bool withImage = true,
                                              bool* parsed = nullptr)
{
    Tarv::SmartPtr<Tarv::FontEx> font(new Tarv::FontEx());
    Tarv::SmartPtr<Tarv::CachedFile> stream(
        new Tarv::CachedFile(xml.data(), static_cast<int>(xml.size()), true));
    const bool ok = font->Parse(*stream);
    if (parsed != nullptr)
        *parsed = ok;
    if (withImage) {
        Tarv::FontEx::SetImageProvider(&StandInPage);
        font->LoadImage("page.png");
        Tarv::FontEx::SetImageProvider(nullptr);
    }
    return font;
}

// Letters a-z, A-Z and digits 10 wide, "W" 30 wide, "i" 4 wide, space and tab 5, line feed and
// carriage return 0, U+FFFD 8, the ideographs U+4E00-U+4E0F 20; all 20 high.
inline Tarv::SmartPtr<Tarv::FontEx> LayoutFont(int height = 20,
                                               const std::vector<PairSpec>& pairs = {})
{
    std::vector<GlyphSpec> glyphs = {{9, 5}, {10, 0}, {13, 0}, {32, 5}};
    for (std::uint32_t c = '0'; c <= '9'; ++c)
        glyphs.push_back({c, 10});
    for (std::uint32_t c = 'A'; c <= 'Z'; ++c)
        glyphs.push_back({c, c == 'W' ? 30 : 10});
    for (std::uint32_t c = 'a'; c <= 'z'; ++c)
        glyphs.push_back({c, c == 'i' ? 4 : 10});
    for (std::uint32_t c = 0x4E00; c <= 0x4E0F; ++c)
        glyphs.push_back({c, 20});
    glyphs.push_back({0xFFFD, 8});
    return ParseFont(FontXml(glyphs, height, pairs));
}

// A set holding font under "default".
inline Tarv::SmartPtr<Tarv::Text::FontSet> SetOf(Tarv::FontEx* font)
{
    Tarv::SmartPtr<Tarv::Text::FontSet> set(new Tarv::Text::FontSet());
    set->AddFont("default", font);
    return set;
}

// Bakes DejaVu Sans at 14 pixels (Latin-1, Greek, Cyrillic) into folder (which must exist) and
// loads it through the file system, mounted for the load only. Null when baking fails.
inline Tarv::SmartPtr<Tarv::FontEx> BakeDejaVu14(const std::filesystem::path& folder)
{
    Tarv::Tools::FontBakeOptions options;
    options.fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    options.pixelSize = 14;
    Tarv::Tools::BakedFont baked;
    std::string error;
    if (!Tarv::Tools::ParseCodeList("latin1,0x391-0x3C9,0x410-0x44F", options.codes) ||
        !Tarv::Tools::BakeFont(options, baked, error) ||
        !Tarv::Tools::WriteBakedFont(baked, (folder / "dejavu14").string(), error))
        return Tarv::SmartPtr<Tarv::FontEx>();
    Tarv::VfsInit();
    Tarv::VfsMountNative(Tarv::NarrowString(folder.string() + "/"), "", 0);
    Tarv::SmartPtr<Tarv::FontEx> font(new Tarv::FontEx("dejavu14.xml", "dejavu14.png"));
    Tarv::VfsShutdown();
    return font;
}

} // namespace TextTest
