// Quor::CacheList: the names and extension patterns ("*.ogg") of assets that stay loaded across
// states once loaded. The framework's loaders ask it for the hold flag of each request.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

#include <map>
#include <mutex>

namespace Quor
{

// Threads: every operation takes the list's own lock, so the loader thread may ask while the
// main thread adds.
class CacheList : public Tarv::RefCounter
{
public:
    // The service "CacheList", registered on first use; null when no service registry exists.
    static CacheList* GetInstance();

    // A name whose base name is "*" ("*.ogg", "sfx/*.ogg") is a pattern for every file with
    // that extension key, in any directory; any other name is kept exactly. A pattern without
    // an extension is refused. Adding a present entry keeps its used flag.
    void Add(const Tarv::NarrowString& name);
    // True when the name is listed exactly, or its extension key is listed as a pattern; marks
    // the matching entry used. Exact entries win; matching is case-sensitive.
    bool Contains(const Tarv::NarrowString& name);
    // An exact name: whether it was listed. A pattern: erases the pattern and every exact
    // name with its extension; true when the pattern was listed or an erased entry was used.
    bool Remove(const Tarv::NarrowString& name);
    // The extension key of a name: its last "." and at most three characters after it, as
    // written ("x.ogg" gives ".ogg", "x.jpeg" gives ".jpe", "x.OGG" gives ".OGG"); empty
    // without a ".".
    static Tarv::NarrowString GetExtension(const Tarv::NarrowString& name);

    bool IsUsed(const Tarv::NarrowString& entryKey) const;
    std::size_t GetEntryCount() const;

private:
    static bool IsPattern(const Tarv::NarrowString& name);

    mutable std::mutex m_mutex;
    // Entry key (an exact name or a pattern's extension key) to its used flag.
    std::map<Tarv::NarrowString, bool> m_entries;
};

} // namespace Quor
