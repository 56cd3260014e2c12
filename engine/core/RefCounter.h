// The intrusive reference count that every shared engine object derives from.
// SmartPtr raises and lowers it; the object deletes itself when the count falls below 1.
#pragma once

#include <atomic>

namespace Tarv
{

class RefCounter
{
public:
    RefCounter() = default;
    // A copy is a new object: it starts with no owners of its own.
    RefCounter(const RefCounter&) {}
    RefCounter& operator=(const RefCounter&) { return *this; }
    virtual ~RefCounter() = default;

    void AddRef() const { m_refCount.fetch_add(1, std::memory_order_relaxed); }

    // Lowers the count and deletes the object once it is below 1. Objects that were never
    // handed to a SmartPtr (members, statics) must never be released.
    void Release() const
    {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1 < 1)
            delete this;
    }

    // Raises the count only while the object still has an owner; a weak lock uses this so a
    // dying object is never revived. Returns false when the count had already reached 0.
    bool AddRefIfAlive() const
    {
        int count = m_refCount.load(std::memory_order_relaxed);
        while (count > 0) {
            if (m_refCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel))
                return true;
        }
        return false;
    }

    int GetRefCount() const { return m_refCount.load(std::memory_order_acquire); }

private:
    // Atomic because the loader and audio threads share counted objects with the main thread.
    mutable std::atomic<int> m_refCount{0};
};

} // namespace Tarv
