// tarvatlas: packs every PNG below <root>/<folder> (several folders separated by commas) into one
// page and writes <output>.xml with its page <output>.png next to it; region ids are the image
// paths relative to <root>.
// Usage: tarvatlas <root> <folder>[,<folder>...] <output.xml> [max page side, default 2048]
//            [--split <name>,<name>... [--empty <name>,<name>...]]
// With --split the same images are also packed onto pages of at most 1024 x 1024 named in order
// (<name>.xml and <name>.png beside the output); names the images do not need, and every name
// after --empty, are written as atlases without regions over a 1 x 1 page.
#include "graphics/image/AtlasLayout.h"
#include "tools/HelpOption.h"
#include "tools/image/AtlasPacker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int SPLIT_SIDE = 1024;
constexpr const char* USAGE = "usage: tarvatlas <root> <folder>[,<folder>...] <output.xml> [max page side]"
                              " [--split <names> [--empty <names>]]\n";

bool WriteFile(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    return static_cast<bool>(out.flush());
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream list(text);
    for (std::string item; std::getline(list, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

// Writes the atlas XML at xmlPath and its page beside it; a null packer writes an empty atlas.
bool WriteAtlas(const Tarv::AtlasPacker* packer, const std::string& xmlPath)
{
    Tarv::RgbaImage empty;
    empty.width = empty.height = 1;
    empty.pixels.assign(4, 0);
    std::vector<std::uint8_t> png;
    const std::string xml = packer != nullptr ? std::string(packer->GetXml()) : "<atlas>\n</atlas>\n";
    const std::string pagePath = Tarv::AtlasLayout::GetPageImageName(xmlPath);
    if (!(packer != nullptr ? packer->GetPage() : empty).WritePng(png) || !WriteFile(pagePath, png.data(), png.size())
        || !WriteFile(xmlPath, xml.data(), xml.size())) {
        std::fprintf(stderr, "tarvatlas: cannot write %s\n", xmlPath.c_str());
        return false;
    }
    return true;
}

bool WriteSplit(const Tarv::AtlasPacker& packer, const std::string& folder, const std::vector<std::string>& names,
                const std::vector<std::string>& empty)
{
    std::vector<Tarv::AtlasPacker> pages;
    if (!packer.PackSplit(SPLIT_SIDE, names.size(), pages)) {
        std::fprintf(stderr, "tarvatlas: the images need more than %zu pages of %dx%d\n", names.size(), SPLIT_SIDE,
                     SPLIT_SIDE);
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!WriteAtlas(i < pages.size() ? &pages[i] : nullptr, folder + names[i] + ".xml"))
            return false;
    for (const std::string& name : empty)
        if (!WriteAtlas(nullptr, folder + name + ".xml"))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> split, empty;
    for (std::size_t i = 0; i + 1 < args.size();) {
        if (args[i] == "--split" || args[i] == "--empty") {
            (args[i] == "--split" ? split : empty) = SplitList(args[i + 1]);
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
        } else {
            ++i;
        }
    }
    if ((args.size() != 3 && args.size() != 4) || (!empty.empty() && split.empty())) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string xmlPath = args[2];
    const int maxSide = args.size() == 4 ? std::atoi(args[3].c_str()) : 2048;
    const bool endsInXml = xmlPath.size() > 4 && xmlPath.compare(xmlPath.size() - 4, 4, ".xml") == 0;
    if (!endsInXml || maxSide < 1) {
        std::fprintf(stderr, "tarvatlas: the output must end in .xml and the side be positive\n");
        return 2;
    }
    Tarv::AtlasPacker packer;
    for (const std::string& folder : SplitList(args[1])) {
        if (!packer.AddFolder(args[0], folder)) {
            std::fprintf(stderr, "tarvatlas: cannot read the images below %s/%s\n", args[0].c_str(), folder.c_str());
            return 1;
        }
    }
    if (!split.empty() && !WriteSplit(packer, xmlPath.substr(0, xmlPath.find_last_of('/') + 1), split, empty))
        return 1;
    if (!packer.Pack(maxSide)) {
        std::fprintf(stderr, "tarvatlas: the images do not fit a %dx%d page\n", maxSide, maxSide);
        return 1;
    }
    return WriteAtlas(&packer, xmlPath) ? 0 : 1;
}
