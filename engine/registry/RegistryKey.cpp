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
    // No XML reader gives back a NUL byte: a value holding one would make the saved file fail
    // to load and cost every other setting in it.
    if (value.find('\0') != NarrowString::npos)
        return false;
    m_value = Any(value);
    m_type = TYPE_STRING;
    return true;
}

Any RegistryKey::GetValue() const
{
    return m_value;
}

} // namespace Tarv
