// Read-only registry keys: every setter refuses and changes nothing.
#include "engine/registry/RegistryKeyProtected.h"

namespace Tarv
{

bool RegistryKeyProtected::SetBool(bool)
{
    return false;
}

bool RegistryKeyProtected::SetInt(int)
{
    return false;
}

bool RegistryKeyProtected::SetString(const NarrowString&)
{
    return false;
}

} // namespace Tarv
