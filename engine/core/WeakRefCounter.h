// Tarv::WeakRefCounter: the base of objects that caches refer to without keeping them alive.
// All weak pointers to one object share one WeakReference record, which outlives the object.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

class WeakRefCounter
{
public:
    class WeakReference : public RefCounter
    {
    public:
        ~WeakReference() override;

        // The referred object, or null once it has been destroyed. Call only while holding
        // the lock that LockTarget takes; use WeakPtr::Lock instead.
        WeakRefCounter* GetTarget() const { return m_target; }

    private:
        friend class WeakRefCounter;
        explicit WeakReference(WeakRefCounter* target) : m_target(target) {}

        WeakRefCounter* m_target;
    };

    WeakRefCounter() = default;
    // Weak pointers refer to one object, never to its copies.
    WeakRefCounter(const WeakRefCounter&) {}
    WeakRefCounter& operator=(const WeakRefCounter&) { return *this; }
    virtual ~WeakRefCounter();

    // The shared record, created on first use. Never null.
    SmartPtr<WeakReference> GetWeakReference();

    // Runs lock(target) under the lock that guards the link between records and objects, so
    // the target cannot be destroyed while lock raises its count. lock gets null for a dead
    // target. Thread-safe; the lock is shared, so lock runs beside other threads' calls and
    // may only read the link and change the target's atomic count.
    template <class Fn>
    static auto WithTarget(const WeakReference* record, Fn&& lock) -> decltype(lock(nullptr));

private:
    static void LockLinks();
    static void UnlockLinks();

    WeakReference* m_reference = nullptr;
};

template <class Fn>
auto WeakRefCounter::WithTarget(const WeakReference* record, Fn&& lock) -> decltype(lock(nullptr))
{
    LockLinks();
    auto result = lock(record != nullptr ? record->m_target : nullptr);
    UnlockLinks();
    return result;
}

} // namespace Tarv
