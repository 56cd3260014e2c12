// Tarv::RegistryKeyProtected and its three fixed-type forms: keys whose setters refuse. They
// hold no value of their own; the machine keys derive from them and compute one when read.
#pragma once

#include "engine/registry/RegistryKey.h"

namespace Tarv
{

class RegistryKeyProtected : public RegistryKey
{
public:
    bool SetBool(bool value) override;
    bool SetInt(int value) override;
    bool SetString(const NarrowString& value) override;

protected:
    explicit RegistryKeyProtected(Type type) : RegistryKey(type) {}
};

class RegistryKeyProtectedBool : public RegistryKeyProtected
{
public:
    RegistryKeyProtectedBool() : RegistryKeyProtected(TYPE_BOOL) {}
};

class RegistryKeyProtectedInt : public RegistryKeyProtected
{
public:
    RegistryKeyProtectedInt() : RegistryKeyProtected(TYPE_INT) {}
};

class RegistryKeyProtectedString : public RegistryKeyProtected
{
public:
    RegistryKeyProtectedString() : RegistryKeyProtected(TYPE_STRING) {}
};

} // namespace Tarv
