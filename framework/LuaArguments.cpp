// Appending the typed entries of a script call's argument list.
#include "framework/LuaArguments.h"

#include "engine/core/NarrowString.h"

namespace Quor
{

void LuaArguments::AddBool(bool value)
{
    m_entries.push_back({Tarv::Any(value), TYPE_BOOL});
}

void LuaArguments::AddInt(int value)
{
    m_entries.push_back({Tarv::Any(value), TYPE_INT});
}

void LuaArguments::AddString(const char* text)
{
    m_entries.push_back({Tarv::Any(Tarv::NarrowString(text)), TYPE_STRING});
}

} // namespace Quor
