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

TEST(SmartPtr, ReleasingTheOnlyOwnerDestroysAtOnce)
{
    int destroyed = 0;
    Tarv::SmartPtr<Counted> p(new Counted(&destroyed));
    EXPECT_EQ(p->GetRefCount(), 1);
    p.Reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(p);
}

TEST(SmartPtr, ReleasingOneOfTwoOwnersKeepsTheObject)
{
    int destroyed = 0;
    Tarv::SmartPtr<Counted> a(new Counted(&destroyed));
    {
        Tarv::SmartPtr<Counted> b = a;
        EXPECT_EQ(a->GetRefCount(), 2);
    }
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a->GetRefCount(), 1);
}

TEST(SmartPtr, SelfAssignmentKeepsTheObjectAlive)
{
    int destroyed = 0;
    Tarv::SmartPtr<Counted> p(new Counted(&destroyed));
    Tarv::SmartPtr<Counted>& alias = p;
    p = alias;
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(p->GetRefCount(), 1);
}

TEST(SmartPtr, AssignmentReleasesThePreviousTarget)
{
    int firstDestroyed = 0;
    int secondDestroyed = 0;
    Tarv::SmartPtr<Counted> p(new Counted(&firstDestroyed));
    p = Tarv::SmartPtr<Counted>(new Counted(&secondDestroyed));
    EXPECT_EQ(firstDestroyed, 1);
    EXPECT_EQ(secondDestroyed, 0);
    p = nullptr;
    EXPECT_EQ(secondDestroyed, 1);
}

TEST(SmartPtr, MoveTransfersOwnershipWithoutCounting)
{
    int destroyed = 0;
    Tarv::SmartPtr<Counted> a(new Counted(&destroyed));
    Tarv::SmartPtr<Counted> b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b->GetRefCount(), 1);
    b = std::move(b);
    EXPECT_EQ(destroyed, 0);
}

TEST(SmartPtr, DerivedConvertsToBase)
{
    int destroyed = 0;
    Tarv::SmartPtr<Derived> derived(new Derived(&destroyed));
    Tarv::SmartPtr<Counted> base = derived;
    EXPECT_EQ(base, derived);
    EXPECT_EQ(derived->GetRefCount(), 2);
}
