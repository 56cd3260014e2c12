// The plain, writable registry key.
#include "engine/registry/RegistryKey.h"

namespace Tarv
{

RegistryKey::~RegistryKey() = default;

bool RegistryKey::SetBool(bool value)
{
    m_value = Any(value);
    m_type = TYPE_BOOL;
    return true;
}

bool RegistryKey::SetInt(int value)
{
    m_value = Any(value);
    m_type = TYPE_INT;
    return true;
}

bool RegistryKey::SetString(const NarrowString& value)
{
    m_value = Any(value);
    m_type = TYPE_STRING;
    return true;
}

Any RegistryKey::GetValue() const
{
    return m_value;
}

} // namespace Tarv
