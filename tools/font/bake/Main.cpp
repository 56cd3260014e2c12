// tarvfont: bakes a TrueType font into a bitmap-font page and XML.
// Usage: tarvfont <font.ttf> <pixel size> <output path without extension> [code list]
#include "tools/HelpOption.h"
#include "tools/font/FontBaker.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

constexpr const char* USAGE = "usage: tarvfont <font.ttf> <pixel size> <output base> [codes, default latin1]\n"
                              "codes: comma-separated latin1, ascii, numbers and ranges a-b (0x hex)\n";

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc < 4 || argc > 5) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    Tarv::Tools::FontBakeOptions options;
    options.fontPath = argv[1];
    options.pixelSize = std::atoi(argv[2]);
    if (!Tarv::Tools::ParseCodeList(argc == 5 ? argv[4] : "latin1", options.codes)) {
        std::fprintf(stderr, "%s: bad code list\n", argv[0]);
        return 2;
    }
    Tarv::Tools::BakedFont font;
    std::string error;
    if (!Tarv::Tools::BakeFont(options, font, error) ||
        !Tarv::Tools::WriteBakedFont(font, argv[3], error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    std::printf("%zu glyphs, %zu kerning pairs, line height %d, page %dx%d\n", font.glyphCount,
                font.kerningCount, font.lineHeight, font.pageWidth, font.pageHeight);
    return 0;
}
