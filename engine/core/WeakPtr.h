// Tarv::WeakPtr: remembers an object without keeping it alive; Lock reads null once it is gone.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"

#include <cstddef>

namespace Tarv
{

// T derives from both RefCounter (for Lock's strong pointer) and WeakRefCounter.
template <class T>
class WeakPtr
{
public:
    WeakPtr() = default;
    WeakPtr(std::nullptr_t) {}
    WeakPtr(T* object)
    {
        if (object != nullptr)
            m_record = static_cast<WeakRefCounter*>(object)->GetWeakReference();
    }
    WeakPtr(const SmartPtr<T>& object) : WeakPtr(object.Get()) {}

    // A strong pointer to the object, or null when the weak pointer is null or the object has
    // died (or is dying on another thread). Thread-safe.
    SmartPtr<T> Lock() const
    {
        if (!m_record)
            return SmartPtr<T>();
        T* object = WeakRefCounter::WithTarget(m_record.Get(), [](WeakRefCounter* target) -> T* {
            if (target == nullptr)
                return nullptr;
            T* whole = static_cast<T*>(target);
            return whole->AddRefIfAlive() ? whole : nullptr;
        });
        return SmartPtr<T>::Adopt(object);
    }

    // True once the object is gone (or for a null weak pointer).
    bool IsExpired() const { return !Lock(); }

    bool IsNull() const { return !m_record; }
    void Reset() { m_record.Reset(); }

    // True when both refer to the same object (or both are null).
    bool operator==(const WeakPtr& other) const { return m_record == other.m_record; }
    bool operator!=(const WeakPtr& other) const { return m_record != other.m_record; }

    // The shared record, for tests of the weak protocol.
    const WeakRefCounter::WeakReference* GetRecord() const { return m_record.Get(); }

private:
    SmartPtr<WeakRefCounter::WeakReference> m_record;
};

} // namespace Tarv
