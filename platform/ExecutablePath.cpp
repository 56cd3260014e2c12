// Finds the running executable's folder from the kernel's link rather than from argv[0],
// which names no folder when the program was started through PATH.
#include "platform/ExecutablePath.h"

#include <limits.h>
#include <unistd.h>

namespace Tarv
{

std::string GetExecutableDirectory(const char* argv0)
{
    char path[PATH_MAX + 1] = {0};
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    std::string executable;
    if (length > 0)
        executable.assign(path, static_cast<std::size_t>(length));
    else if (argv0 != nullptr)
        executable = argv0;
    const std::size_t slash = executable.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : executable.substr(0, slash);
}

} // namespace Tarv
