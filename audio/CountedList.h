// Helpers for the ordered lists of counted references that channels and the mixer keep.
#pragma once

#include "engine/core/SmartPtr.h"

#include <vector>

namespace Tarv
{

// Unlinks the first entry that holds item and moves its reference into removed, so the caller
// can release it after dropping the list's lock. False when no entry holds it.
template <class T>
bool UnlinkFirst(std::vector<SmartPtr<T>>& list, const T* item, SmartPtr<T>& removed)
{
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->Get() == item) {
            removed = std::move(*it);
            list.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace Tarv
