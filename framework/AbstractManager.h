// Quor::AbstractManager: a process that, when ticked, walks a list of items it does not own.
// The walk survives the removal of any item (the one being visited or any other) and visits
// items appended during the walk in that same walk.
#pragma once

#include "engine/core/RefCounter.h"
#include "framework/Process.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Quor
{

template <class T>
class AbstractManager : public Process, public Tarv::RefCounter
{
public:
    explicit AbstractManager(const Tarv::NarrowString& name) : Process(name) {}

    // Appends the item; an item added twice is listed (and visited) twice. The caller keeps
    // the item alive while it is listed.
    void AddItem(T* item) { m_items.push_back(item); }

    // Removes the first entry holding the item; false when it is not listed.
    bool RemoveItem(const T* item)
    {
        auto found = std::find(m_items.begin(), m_items.end(), item);
        if (found == m_items.end())
            return false;
        RemoveAt(static_cast<std::size_t>(found - m_items.begin()));
        return true;
    }

    bool HasItem(const T* item) const { return std::find(m_items.begin(), m_items.end(), item) != m_items.end(); }
    const std::vector<T*>& GetItems() const { return m_items; }

protected:
    virtual void PreUpdate() {}
    virtual void UpdateItem(T* item) = 0;
    virtual void PostUpdate() {}

    // The walk. A nested walk (an item ticking its own manager) is refused rather than
    // letting two cursors fight over one list.
    void Update() override
    {
        if (m_walking)
            return;
        m_walking = true;
        PreUpdate();
        for (m_cursor = 0; m_cursor < m_items.size();) {
            m_cursorHeld = false;
            UpdateItem(m_items[m_cursor]);
            if (!m_cursorHeld)
                ++m_cursor;
        }
        m_walking = false;
        PostUpdate();
    }

    void RemoveAt(std::size_t index)
    {
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
        if (!m_walking)
            return;
        // Keep the cursor on the next item not yet visited.
        // Removing the entry at the cursor (the item being visited, or the next unvisited one
        // when that item is already gone) leaves the next unvisited item at the cursor.
        if (index < m_cursor)
            --m_cursor;
        else if (index == m_cursor)
            m_cursorHeld = true;
    }

private:
    std::vector<T*> m_items;
    std::size_t m_cursor = 0;
    bool m_cursorHeld = false;
    bool m_walking = false;
};

} // namespace Quor
