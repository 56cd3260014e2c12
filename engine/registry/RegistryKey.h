// Tarv::RegistryKey: one leaf of the registry, holding a bool, an int or a string, or nothing
// until it is first set. Protected and machine keys derive from it.
#pragma once

#include "engine/core/Any.h"
#include "engine/core/NarrowString.h"

#include <cstdint>

namespace Tarv
{

class RegistryKey
{
public:
    // Type tags, as the registry file and the console know them.
    enum Type : std::int32_t
    {
        TYPE_BOOL = 0,
        TYPE_INT = 1,
        TYPE_STRING = 2,
    };

    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey();

    // Each replaces the value and the type tag: a key takes whatever type it is last given.
    // False (and no change) for a key that can't be written, and for a string holding a NUL
    // byte, which the registry file could not carry.
    virtual bool SetBool(bool value);
    virtual bool SetInt(int value);
    virtual bool SetString(const NarrowString& value);

    // A copy of the value; empty while the key is unset. The Any knows its type, so reading
    // it as another type is a miss, never a misread.
    virtual Any GetValue() const;

    // Meaningful only once a value is set (or for a key of fixed type).
    std::int32_t GetType() const { return m_type; }

protected:
    // For keys whose type is fixed when they are made.
    explicit RegistryKey(Type type) : m_type(type) {}

private:
    Any m_value;
    std::int32_t m_type = TYPE_BOOL;
};

} // namespace Tarv
