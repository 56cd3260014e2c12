// tarvxm: writes the generated module set (or the named modules) into a folder as <name>.xm.
#include "tools/HelpOption.h"
#include "tools/xm/XmFixtures.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{

constexpr const char* USAGE = "usage: tarvxm <folder> [name...]\n";

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc < 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    std::vector<std::string> names(argv + 2, argv + argc);
    if (names.empty())
        names = Tarv::GetXmFixtureNames();
    Tarv::XmWriter writer;
    for (const std::string& name : names) {
        Tarv::XmModuleDesc module;
        if (!Tarv::MakeXmFixture(name, module)) {
            std::fprintf(stderr, "tarvxm: no module named %s\n", name.c_str());
            return 1;
        }
        const std::vector<std::uint8_t> bytes = writer.Write(module);
        const std::string path = std::string(argv[1]) + "/" + name + ".xm";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file != nullptr && std::fclose(file) != 0)
            return 1;
        if (!written) {
            std::fprintf(stderr, "tarvxm: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
