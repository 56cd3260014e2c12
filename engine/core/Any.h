// Tarv::Any: one value of a few known types (registry values, cached assets, script arguments).
// Unlike a bare holder, it knows the type it holds: reading it as another type is a miss.
#pragma once

#include <typeinfo>
#include <utility>

namespace Tarv
{

class Any
{
public:
    class Placeholder
    {
    public:
        virtual ~Placeholder() = default;
        virtual Placeholder* Clone() const = 0;
        virtual const std::type_info& GetType() const = 0;
    };

    template <class T>
    class Holder : public Placeholder
    {
    public:
        explicit Holder(const T& v) : value(v) {}
        Placeholder* Clone() const override { return new Holder(value); }
        const std::type_info& GetType() const override { return typeid(T); }

        T value;
    };

    Any() = default;
    template <class T>
    Any(const T& value) : m_content(new Holder<T>(value)) {}
    // String literals are held as the string type callers read them as.
    Any(const char* text);

    Any(const Any& other) : m_content(other.m_content != nullptr ? other.m_content->Clone() : nullptr) {}
    Any(Any&& other) noexcept : m_content(other.m_content) { other.m_content = nullptr; }
    ~Any() { delete m_content; }

    Any& operator=(const Any& other)
    {
        Any copy(other);
        std::swap(m_content, copy.m_content);
        return *this;
    }
    Any& operator=(Any&& other) noexcept
    {
        std::swap(m_content, other.m_content);
        return *this;
    }

    bool IsEmpty() const { return m_content == nullptr; }
    void Clear() { *this = Any(); }

    template <class T>
    bool Holds() const { return m_content != nullptr && m_content->GetType() == typeid(T); }

    // The value when this holds a T, else null. The pointer lives as long as this value.
    template <class T>
    const T* Get() const
    {
        return Holds<T>() ? &static_cast<const Holder<T>*>(m_content)->value : nullptr;
    }
    template <class T>
    T* Get()
    {
        return Holds<T>() ? &static_cast<Holder<T>*>(m_content)->value : nullptr;
    }

    // Copies the value into out when this holds a T; leaves out alone and returns false otherwise.
    template <class T>
    bool Read(T& out) const
    {
        const T* value = Get<T>();
        if (value == nullptr)
            return false;
        out = *value;
        return true;
    }

private:
    Placeholder* m_content = nullptr;
};

} // namespace Tarv
