// Quor::LuaArguments: the argument list of a named script call made from program code, in the
// order added: booleans, ints and strings, each an owned value with its type beside it.
#pragma once

#include "engine/core/Any.h"
#include "engine/core/RefCounter.h"

#include <vector>

namespace Quor
{

class LuaArguments : public Tarv::RefCounter
{
public:
    enum Type
    {
        TYPE_BOOL = 0,
        TYPE_INT = 1,
        TYPE_STRING = 2,
    };

    // The value is held as bool, int or Tarv::NarrowString, as type says.
    struct Entry
    {
        Tarv::Any value;
        int type;
    };

    void AddBool(bool value);
    void AddInt(int value);
    // text is a NUL-terminated byte string, copied.
    void AddString(const char* text);

    const std::vector<Entry>& GetEntries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

} // namespace Quor
