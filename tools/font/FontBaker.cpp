// Font baking through FreeType: every glyph gets a cell of the font's full line height whose width
// covers both its advance and its ink, so drawing cell after cell reproduces the font's spacing.
#include "tools/font/FontBaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace Tarv
{
namespace Tools
{

namespace
{

constexpr std::uint32_t MAX_CODE = 0x10FFFF;
constexpr int CELL_GAP = 1; // empty pixels between cells, so filtering never bleeds

struct FreeTypeLibrary
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeLibrary()
    {
        if (face != nullptr)
            FT_Done_Face(face);
        if (library != nullptr)
            FT_Done_FreeType(library);
    }
};

struct Cell
{
    std::uint32_t code = 0;
    int width = 0;
    int x = 0;
    int y = 0;
    // Coverage, width x line height.
    std::vector<std::uint8_t> pixels;
};

bool ParseNumber(const std::string& text, std::uint32_t& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0' || text[0] == '-' || value > MAX_CODE)
        return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

void AddRange(std::set<std::uint32_t>& codes, std::uint32_t first, std::uint32_t last)
{
    for (std::uint32_t code = first; code <= last; ++code)
        codes.insert(code);
}

// Renders one character into a cell; false when the font has no glyph for it.
bool RenderCell(FT_Face face, std::uint32_t code, int ascent, int lineHeight, Cell& cell)
{
    cell.code = code;
    if (code == 9 || code == 10) {
        // Blank cells: a tab as wide as a space, a line feed of no width.
        const FT_UInt space = FT_Get_Char_Index(face, 32);
        cell.width = 0;
        if (code == 9 && space != 0 && FT_Load_Glyph(face, space, FT_LOAD_DEFAULT) == 0)
            cell.width = int((face->glyph->advance.x + 32) >> 6);
        cell.pixels.assign(std::size_t(cell.width) * std::size_t(lineHeight), 0);
        return true;
    }
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows != 0)
        return false;
    const int advance = int((slot->advance.x + 32) >> 6);
    const int left = slot->bitmap_left;
    const int inkLeft = std::min(0, left);
    const int inkRight = std::max(advance, left + int(bitmap.width));
    cell.width = std::max(0, inkRight - inkLeft);
    cell.pixels.assign(std::size_t(cell.width) * std::size_t(lineHeight), 0);
    const int top = ascent - slot->bitmap_top;
    for (int row = 0; row < int(bitmap.rows); ++row) {
        const int y = top + row;
        if (y < 0 || y >= lineHeight)
            continue;
        const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
        for (int column = 0; column < int(bitmap.width); ++column) {
            const int x = left - inkLeft + column;
            cell.pixels[std::size_t(y) * std::size_t(cell.width) + std::size_t(x)] = source[column];
        }
    }
    return true;
}

// Places the cells in rows of the page, left to right.
void PackCells(std::vector<Cell>& cells, int lineHeight, int& pageWidth, int& pageHeight)
{
    for (const Cell& cell : cells)
        pageWidth = std::max(pageWidth, cell.width);
    int x = 0, y = 0;
    for (Cell& cell : cells) {
        if (x + cell.width > pageWidth) {
            x = 0;
            y += lineHeight + CELL_GAP;
        }
        cell.x = x;
        cell.y = y;
        x += cell.width + CELL_GAP;
    }
    pageHeight = y + lineHeight;
}

std::string BuildXml(const std::vector<Cell>& cells, int lineHeight,
                     const std::map<std::pair<std::uint32_t, std::uint32_t>, int>& kerning)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<font>\n  <characters>\n";
    for (const Cell& cell : cells) {
        xml += "    <char code=\"" + std::to_string(cell.code) + "\" x=\"" + std::to_string(cell.x) +
               "\" y=\"" + std::to_string(cell.y) + "\" width=\"" + std::to_string(cell.width) +
               "\" height=\"" + std::to_string(lineHeight) + "\"/>\n";
    }
    xml += "  </characters>\n  <kerning>\n";
    for (const auto& pair : kerning) {
        xml += "    <pair left=\"" + std::to_string(pair.first.first) + "\" right=\"" +
               std::to_string(pair.first.second) + "\" distance=\"" + std::to_string(pair.second) +
               "\"/>\n";
    }
    xml += "  </kerning>\n</font>\n";
    return xml;
}

std::map<std::pair<std::uint32_t, std::uint32_t>, int> ReadKerning(FT_Face face,
                                                                   const std::vector<Cell>& cells)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> pairs;
    if (!FT_HAS_KERNING(face))
        return pairs;
    std::vector<std::pair<std::uint32_t, FT_UInt>> glyphs;
    for (const Cell& cell : cells) {
        const FT_UInt index = FT_Get_Char_Index(face, cell.code);
        if (index != 0 && cell.code > 32)
            glyphs.emplace_back(cell.code, index);
    }
    for (const auto& left : glyphs) {
        for (const auto& right : glyphs) {
            FT_Vector delta{0, 0};
            if (FT_Get_Kerning(face, left.second, right.second, FT_KERNING_DEFAULT, &delta) != 0)
                continue;
            // FreeType's negative kerning pulls closer; the font format's positive distance does.
            const int distance = int(-delta.x / 64);
            if (distance != 0)
                pairs.emplace(std::make_pair(left.first, right.first), distance);
        }
    }
    return pairs;
}

struct PngWriter
{
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter()
    {
        if (png != nullptr)
            png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        if (file != nullptr)
            std::fclose(file);
    }
};

bool WritePng(const BakedFont& font, const std::string& path)
{
    PngWriter writer;
    writer.file = std::fopen(path.c_str(), "wb");
    if (writer.file == nullptr)
        return false;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (writer.png == nullptr)
        return false;
    writer.info = png_create_info_struct(writer.png);
    if (writer.info == nullptr)
        return false;
    if (setjmp(png_jmpbuf(writer.png)))
        return false;
    png_init_io(writer.png, writer.file);
    png_set_IHDR(writer.png, writer.info, png_uint_32(font.pageWidth), png_uint_32(font.pageHeight),
                 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer.png, writer.info);
    for (int y = 0; y < font.pageHeight; ++y) {
        png_bytep row = const_cast<png_bytep>(font.page.data() + std::size_t(y) * std::size_t(font.pageWidth));
        png_write_row(writer.png, row);
    }
    png_write_end(writer.png, writer.info);
    return std::fflush(writer.file) == 0;
}

} // namespace

bool ParseCodeList(const std::string& text, std::vector<std::uint32_t>& codes)
{
    std::set<std::uint32_t> set(codes.begin(), codes.end());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(start, end - start);
        start = end + 1;
        if (item.empty())
            continue;
        if (item == "latin1") {
            AddRange(set, 32, 126);
            AddRange(set, 160, 255);
            continue;
        }
        if (item == "ascii") {
            AddRange(set, 32, 126);
            continue;
        }
        const std::size_t dash = item.find('-', 1);
        std::uint32_t first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!ParseNumber(item, first))
                return false;
            last = first;
        } else if (!ParseNumber(item.substr(0, dash), first) ||
                   !ParseNumber(item.substr(dash + 1), last) || last < first) {
            return false;
        }
        AddRange(set, first, last);
    }
    codes.assign(set.begin(), set.end());
    return true;
}

bool BakeFont(const FontBakeOptions& options, BakedFont& out, std::string& error)
{
    out = BakedFont();
    if (options.pixelSize < 4 || options.pixelSize > 256 || options.pageWidth < 16 ||
        options.pageWidth > 8192) {
        error = "pixel size must be 4-256 and page width 16-8192";
        return false;
    }
    FreeTypeLibrary ft;
    if (FT_Init_FreeType(&ft.library) != 0 ||
        FT_New_Face(ft.library, options.fontPath.c_str(), 0, &ft.face) != 0) {
        error = "cannot open font " + options.fontPath;
        return false;
    }
    if (FT_Set_Pixel_Sizes(ft.face, 0, FT_UInt(options.pixelSize)) != 0) {
        error = "font cannot be set to that size";
        return false;
    }
    const int ascent = int((ft.face->size->metrics.ascender + 63) >> 6);
    const int descent = int((-ft.face->size->metrics.descender + 63) >> 6);
    const int lineHeight = std::max(1, ascent + descent);
    std::set<std::uint32_t> codes(options.codes.begin(), options.codes.end());
    codes.insert({9, 10, 32, 0xFFFD});
    std::vector<Cell> cells;
    for (const std::uint32_t code : codes) {
        Cell cell;
        if (code <= MAX_CODE && RenderCell(ft.face, code, ascent, lineHeight, cell))
            cells.push_back(std::move(cell));
    }
    int pageWidth = options.pageWidth, pageHeight = 0;
    PackCells(cells, lineHeight, pageWidth, pageHeight);
    out.pageWidth = pageWidth;
    out.pageHeight = pageHeight;
    out.page.assign(std::size_t(pageWidth) * std::size_t(pageHeight), 0);
    for (const Cell& cell : cells) {
        for (int y = 0; y < lineHeight; ++y) {
            std::copy_n(cell.pixels.begin() + std::ptrdiff_t(y) * cell.width, cell.width,
                        out.page.begin() + std::ptrdiff_t(cell.y + y) * pageWidth + cell.x);
        }
    }
    const auto kerning = ReadKerning(ft.face, cells);
    out.xml = BuildXml(cells, lineHeight, kerning);
    out.lineHeight = lineHeight;
    out.glyphCount = cells.size();
    out.kerningCount = kerning.size();
    return true;
}

bool WriteBakedFont(const BakedFont& font, const std::string& base, std::string& error)
{
    if (font.pageWidth <= 0 || font.pageHeight <= 0 || !WritePng(font, base + ".png")) {
        error = "cannot write " + base + ".png";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen((base + ".xml").c_str(), "wb"),
                                                          &std::fclose);
    if (!file || std::fwrite(font.xml.data(), 1, font.xml.size(), file.get()) != font.xml.size() ||
        std::fflush(file.get()) != 0) {
        error = "cannot write " + base + ".xml";
        return false;
    }
    return true;
}

} // namespace Tools
} // namespace Tarv
