// The weak-reference protocol: records and objects point at each other, and whichever dies
// first clears the other's link. One process-wide reader-writer lock guards the links, so the
// loader, audio and main threads can lock weak pointers while objects die elsewhere: locking a
// weak pointer only reads a link (shared), while creating or cutting one is exclusive.
#include "engine/core/WeakRefCounter.h"

#include <mutex>
#include <shared_mutex>

namespace Tarv
{

namespace
{

std::shared_mutex& LinkMutex()
{
    static std::shared_mutex mutex;
    return mutex;
}

} // namespace

void WeakRefCounter::LockLinks()
{
    LinkMutex().lock_shared();
}

void WeakRefCounter::UnlockLinks()
{
    LinkMutex().unlock_shared();
}

WeakRefCounter::WeakReference::~WeakReference()
{
    std::lock_guard<std::shared_mutex> lock(LinkMutex());
    // A newer record may have replaced this one while its release was pending.
    if (m_target != nullptr && m_target->m_reference == this)
        m_target->m_reference = nullptr;
}

WeakRefCounter::~WeakRefCounter()
{
    std::lock_guard<std::shared_mutex> lock(LinkMutex());
    if (m_reference != nullptr)
        m_reference->m_target = nullptr;
}

SmartPtr<WeakRefCounter::WeakReference> WeakRefCounter::GetWeakReference()
{
    std::lock_guard<std::shared_mutex> lock(LinkMutex());
    // The count is raised under the lock: a record whose last weak pointer is being released
    // elsewhere is either revived here or already unlinked by its destructor.
    if (m_reference == nullptr || !m_reference->AddRefIfAlive()) {
        m_reference = new WeakReference(this);
        m_reference->AddRef();
    }
    return SmartPtr<WeakReference>::Adopt(m_reference);
}

} // namespace Tarv
