// The cache list: exact names and extension patterns, matched for the hold flag.
#include "framework/CacheList.h"

#include "engine/core/Path.h"
#include "framework/System.h"

namespace Quor
{

CacheList* CacheList::GetInstance()
{
    return System::GetOrCreateService<CacheList>("CacheList");
}

bool CacheList::IsPattern(const Tarv::NarrowString& name)
{
    return Tarv::GetBaseName(name) == "*";
}

Tarv::NarrowString CacheList::GetExtension(const Tarv::NarrowString& name)
{
    return Tarv::GetExtension(name, true);
}

void CacheList::Add(const Tarv::NarrowString& name)
{
    const Tarv::NarrowString key = IsPattern(name) ? GetExtension(name) : name;
    if (key.empty())
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.emplace(key, false);
}

bool CacheList::Contains(const Tarv::NarrowString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_entries.find(name);
    if (found == m_entries.end()) {
        const Tarv::NarrowString extension = GetExtension(name);
        if (extension.empty())
            return false;
        found = m_entries.find(extension);
        if (found == m_entries.end())
            return false;
    }
    found->second = true;
    return true;
}

bool CacheList::Remove(const Tarv::NarrowString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsPattern(name))
        return m_entries.erase(name) != 0;
    const Tarv::NarrowString extension = GetExtension(name);
    if (extension.empty())
        return false;
    bool answer = m_entries.count(extension) != 0;
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (entry->first == extension || GetExtension(entry->first) == extension) {
            answer = answer || entry->second;
            entry = m_entries.erase(entry);
        } else {
            ++entry;
        }
    }
    return answer;
}

bool CacheList::IsUsed(const Tarv::NarrowString& entryKey) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_entries.find(entryKey);
    return found != m_entries.end() && found->second;
}

std::size_t CacheList::GetEntryCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

} // namespace Quor
