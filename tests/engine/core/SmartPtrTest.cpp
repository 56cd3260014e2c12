// Strong ownership: counts, release at the last owner, self-assignment, conversions.
#include "engine/core/SmartPtr.h"

#include "engine/core/RefCounter.h"

#include <gtest/gtest.h>

namespace
{

class Counted : public Tarv::RefCounter
{
public:
    explicit Counted(int* destroyed) : m_destroyed(destroyed) {}
    ~Counted() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

class Derived : public Counted
{
public:
    using Counted::Counted;
};

} // namespace

// Counts follow owners; the last release destroys at once; self-assignment and self-move keep the
// object; assignment releases the previous target; a move does not count; derived converts to base.
TEST(SmartPtr, OwnersCountAndTheLastOneDestroys)
{
    int first = 0, second = 0;
    Tarv::SmartPtr<Counted> a(new Counted(&first));
    {
        Tarv::SmartPtr<Counted> b = a;
        EXPECT_EQ(a->GetRefCount(), 2);
        Tarv::SmartPtr<Counted>& alias = b;
        b = alias;
        b = std::move(b);
        EXPECT_EQ(a->GetRefCount(), 2);
    }
    EXPECT_EQ(first, 0);
    EXPECT_EQ(a->GetRefCount(), 1);
    Tarv::SmartPtr<Counted> moved(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(moved->GetRefCount(), 1);
    moved = Tarv::SmartPtr<Counted>(new Counted(&second));
    EXPECT_EQ(first, 1);
    moved.Reset();
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(moved);

    int destroyed = 0;
    Tarv::SmartPtr<Derived> derived(new Derived(&destroyed));
    Tarv::SmartPtr<Counted> base = derived;
    EXPECT_EQ(base, derived);
    EXPECT_EQ(derived->GetRefCount(), 2);
    base = nullptr;
    derived = nullptr;
    EXPECT_EQ(destroyed, 1);
}
