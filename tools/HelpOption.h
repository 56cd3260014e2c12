// The build tools' common answer to "--help" (or "-h") as the only argument: the usage on
// standard output and status 0, where a wrong command line gets it on standard error.
#pragma once

#include <cstring>

namespace Tarv
{

inline bool AsksForHelp(int argc, const char* const* argv)
{
    return argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
}

} // namespace Tarv
