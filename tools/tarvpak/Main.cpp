// tarvpak: packs a content folder into an archive the engine mounts, and lists, verifies or
// extracts one.
#include "tools/PakTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    Tarv::PakTool tool(std::cout, std::cerr);
    return tool.Run(argc, argv);
}
