// tarvimage: converts an image file (PNG, JPEG, TGA) into the engine's "C565" or "CRLE" format.
// Usage: tarvimage c565|crle <input> <output>
#include "tools/HelpOption.h"
#include "tools/image/ImageConvert.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace
{

constexpr const char* USAGE = "usage: tarvimage c565|crle <input image> <output file>\n";

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc != 4 || (std::strcmp(argv[1], "c565") != 0 && std::strcmp(argv[1], "crle") != 0)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    Tarv::RgbaImage image;
    if (!Tarv::RgbaImage::ReadFile(argv[2], image)) {
        std::fprintf(stderr, "tarvimage: cannot read the image %s\n", argv[2]);
        return 1;
    }
    std::vector<std::uint8_t> bytes;
    const bool ok = std::strcmp(argv[1], "c565") == 0 ? Tarv::ImageConvert::WriteC565(image, bytes)
                                                      : Tarv::ImageConvert::WriteCrle(image, bytes);
    if (!ok) {
        std::fprintf(stderr, "tarvimage: %s cannot hold this image\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "tarvimage: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
