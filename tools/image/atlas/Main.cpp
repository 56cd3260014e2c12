// tarvatlas: packs every PNG below <root>/<folder> into one page and writes <output>.xml with
// its page <output>.png next to it; region ids are the image paths relative to <root>.
// Usage: tarvatlas <root> <folder> <output.xml> [max page side, default 2048]
#include "graphics/image/AtlasLayout.h"
#include "tools/HelpOption.h"
#include "tools/image/AtlasPacker.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace
{

constexpr const char* USAGE = "usage: tarvatlas <root> <folder> <output.xml> [max page side]\n";

bool WriteFile(const Tarv::NarrowString& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc != 4 && argc != 5) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const Tarv::NarrowString xmlPath(argv[3]);
    const Tarv::NarrowString pagePath = Tarv::AtlasLayout::GetPageImageName(xmlPath);
    const int maxSide = argc == 5 ? std::atoi(argv[4]) : 2048;
    if (pagePath.empty() || maxSide < 1) {
        std::fprintf(stderr, "tarvatlas: the output must end in .xml and the side be positive\n");
        return 2;
    }
    Tarv::AtlasPacker packer;
    if (!packer.AddFolder(argv[1], argv[2])) {
        std::fprintf(stderr, "tarvatlas: cannot read the images below %s/%s\n", argv[1], argv[2]);
        return 1;
    }
    if (!packer.Pack(maxSide)) {
        std::fprintf(stderr, "tarvatlas: the images do not fit a %dx%d page\n", maxSide, maxSide);
        return 1;
    }
    std::vector<std::uint8_t> png;
    const Tarv::NarrowString xml = packer.GetXml();
    if (!packer.GetPage().WritePng(png) || !WriteFile(pagePath, png.data(), png.size())
        || !WriteFile(xmlPath, xml.data(), xml.size())) {
        std::fprintf(stderr, "tarvatlas: cannot write %s\n", xmlPath.c_str());
        return 1;
    }
    return 0;
}
