// Tarv::SmartPtr: the one strong owner type for RefCounter objects.
#pragma once

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

namespace Tarv
{

template <class T>
class SmartPtr
{
public:
    SmartPtr() = default;
    SmartPtr(std::nullptr_t) {}
    SmartPtr(T* object) : m_object(object) { Acquire(); }
    SmartPtr(const SmartPtr& other) : m_object(other.m_object) { Acquire(); }
    SmartPtr(SmartPtr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    SmartPtr(const SmartPtr<U>& other) : m_object(other.Get()) { Acquire(); }

    ~SmartPtr() { Reset(); }

    // The new target is raised before the old one is released, so self-assignment is safe.
    SmartPtr& operator=(const SmartPtr& other)
    {
        if (other.m_object != nullptr)
            other.m_object->AddRef();
        T* old = m_object;
        m_object = other.m_object;
        if (old != nullptr)
            old->Release();
        return *this;
    }

    SmartPtr& operator=(SmartPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = m_object;
            m_object = other.m_object;
            other.m_object = nullptr;
            if (old != nullptr)
                old->Release();
        }
        return *this;
    }

    SmartPtr& operator=(T* object) { return *this = SmartPtr(object); }

    void Reset()
    {
        T* old = m_object;
        m_object = nullptr;
        if (old != nullptr)
            old->Release();
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Takes over one count that the caller already raised (used by weak locks).
    static SmartPtr Adopt(T* object)
    {
        SmartPtr result;
        result.m_object = object;
        return result;
    }

private:
    void Acquire()
    {
        if (m_object != nullptr)
            m_object->AddRef();
    }

    T* m_object = nullptr;
};

template <class T, class U>
bool operator==(const SmartPtr<T>& a, const SmartPtr<U>& b) { return a.Get() == b.Get(); }
template <class T, class U>
bool operator!=(const SmartPtr<T>& a, const SmartPtr<U>& b) { return a.Get() != b.Get(); }
template <class T>
bool operator==(const SmartPtr<T>& a, std::nullptr_t) { return a.Get() == nullptr; }
template <class T>
bool operator!=(const SmartPtr<T>& a, std::nullptr_t) { return a.Get() != nullptr; }
template <class T>
bool operator<(const SmartPtr<T>& a, const SmartPtr<T>& b) { return std::less<T*>()(a.Get(), b.Get()); }

// Makes a new counted object owned by the returned pointer.
template <class T, class... Args>
SmartPtr<T> MakeSmart(Args&&... args)
{
    return SmartPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace Tarv
