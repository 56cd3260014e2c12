// The prefix match shared by every mount kind.
#include "engine/vfs/VfsMount.h"

#include <strings.h>

namespace Tarv
{

VfsMount::VfsMount(const char* prefix, int flags)
    : m_prefix(prefix != nullptr ? prefix : ""), m_flags(flags)
{
}

bool VfsMount::Matches(const char* path) const
{
    if (path == nullptr)
        return false;
    return strncasecmp(path, m_prefix.c_str(), m_prefix.size()) == 0;
}

} // namespace Tarv
