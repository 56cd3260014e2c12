// Font set lookups: the named font, else the default one.
#include "graphics/text/FontSet.h"

namespace Tarv
{
namespace Text
{

void FontSet::AddFont(const NarrowString& name, FontEx* font)
{
    if (m_defaultName.empty())
        m_defaultName = name;
    // Looked up first: a refused font must not be referenced, not even by a temporary.
    if (m_fonts.find(name) == m_fonts.end())
        m_fonts.emplace(name, SmartPtr<FontEx>(font));
}

FontEx* FontSet::GetFont(const NarrowString& name) const
{
    auto found = m_fonts.find(name);
    if (found != m_fonts.end())
        return found->second.Get();
    if (name == m_defaultName)
        return nullptr;
    found = m_fonts.find(m_defaultName);
    return found == m_fonts.end() ? nullptr : found->second.Get();
}

bool FontSet::HasDefaultFont() const
{
    return m_fonts.find(m_defaultName) != m_fonts.end();
}

} // namespace Text
} // namespace Tarv
