// Relative path checks for native mounts and save names.
#include "engine/vfs/VfsPath.h"

#include <cstring>

namespace Tarv
{

bool IsConfinedPath(const char* path)
{
    if (path == nullptr || path[0] == '/')
        return false;
    const char* component = path;
    while (true) {
        const char* end = std::strchr(component, '/');
        const std::size_t length =
            end != nullptr ? static_cast<std::size_t>(end - component) : std::strlen(component);
        if (length == 2 && component[0] == '.' && component[1] == '.')
            return false;
        if (end == nullptr)
            return true;
        component = end + 1;
    }
}

} // namespace Tarv
