// Quor::LuaArguments: the argument list of a named script call made from program code, in the
// order added: booleans, ints and strings.
#pragma once

#include "engine/core/NarrowString.h"
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

    struct Entry
    {
        int type;
        bool boolValue;
        int intValue;
        Tarv::NarrowString stringValue;
    };

    void AddBool(bool value) { m_entries.push_back({TYPE_BOOL, value, 0, {}}); }
    void AddInt(int value) { m_entries.push_back({TYPE_INT, false, value, {}}); }
    void AddString(const Tarv::NarrowString& value) { m_entries.push_back({TYPE_STRING, false, 0, value}); }

    const std::vector<Entry>& GetEntries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

} // namespace Quor
