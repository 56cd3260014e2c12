// Helpers for the ordered lists of counted references that channels and the mixer keep.
#pragma once

#include "engine/core/SmartPtr.h"

#include <cstddef>
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

// Runs buffer through every effect of list in order, each taking the valid bytes the one before
// left, and unlinks (releasing) the effects that report finished. Returns the valid bytes after
// the last one. The caller holds the list's lock.
template <class T>
unsigned ProcessEffectChain(std::vector<SmartPtr<T>>& list, void* buffer, unsigned requestedBytes,
                            unsigned validBytes)
{
    for (std::size_t i = 0; i < list.size();) {
        validBytes = list[i]->Process(buffer, requestedBytes, validBytes);
        if (list[i]->IsFinished())
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    return validBytes;
}

} // namespace Tarv
