// Weak references: reading null once the object is gone, record sharing and renewal, and
// locking from several threads while objects die.
#include "engine/core/WeakPtr.h"

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{

class Cached : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
public:
    int value = 7;
};

} // namespace

TEST(WeakPtr, ReadsNullOnceTheObjectIsGoneAndSoDoItsCopies)
{
    Tarv::SmartPtr<Cached> strong(new Cached);
    Tarv::WeakPtr<Cached> weak(strong);
    Tarv::WeakPtr<Cached> copy = weak;
    EXPECT_EQ(Tarv::WeakPtr<Cached>(strong.Get()).GetRecord(), weak.GetRecord()) << "one record";
    {
        Tarv::SmartPtr<Cached> locked = weak.Lock();
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked->value, 7);
        EXPECT_EQ(strong->GetRefCount(), 2);
    }
    EXPECT_EQ(strong->GetRefCount(), 1) << "a weak pointer never keeps the object";

    strong.Reset();
    EXPECT_FALSE(weak.Lock());
    EXPECT_FALSE(copy.Lock());
    EXPECT_TRUE(copy.IsExpired());
    EXPECT_FALSE(copy.IsNull());
    Tarv::WeakPtr<Cached> null(static_cast<Cached*>(nullptr));
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null.Lock());
}

TEST(WeakPtr, ReleasingTheLastWeakPointerLeavesTheObjectUsableAndRenewsTheRecord)
{
    Tarv::SmartPtr<Cached> strong(new Cached);
    {
        Tarv::WeakPtr<Cached> first(strong);
        ASSERT_NE(first.GetRecord(), nullptr);
    }
    EXPECT_EQ(strong->value, 7);
    Tarv::WeakPtr<Cached> second(strong);
    ASSERT_TRUE(second.Lock());
    strong.Reset();
    EXPECT_FALSE(second.Lock());
}

TEST(WeakPtr, AnObjectThatWasNeverCountedStillClearsItsRecord)
{
    Tarv::WeakPtr<Cached> weak;
    {
        Cached member;
        weak = Tarv::WeakPtr<Cached>(&member);
        // A member has no owners: a lock must not revive it into a counted object.
        EXPECT_FALSE(weak.Lock());
        EXPECT_FALSE(weak.IsNull());
    }
    EXPECT_FALSE(weak.Lock());
}

// Objects die on one thread while others lock weak pointers to them: a lock either yields a
// live object or null, never a dying one (run under ThreadSanitizer and ASan in CI).
TEST(WeakPtr, LockingRacesWithDestructionSafely)
{
    constexpr int ROUNDS = 2000;
    std::atomic<int> damaged{0};
    for (int round = 0; round < ROUNDS; round += 100) {
        std::vector<Tarv::SmartPtr<Cached>> objects;
        std::vector<Tarv::WeakPtr<Cached>> weaks;
        for (int i = 0; i < 100; ++i) {
            objects.push_back(Tarv::MakeSmart<Cached>());
            weaks.emplace_back(objects.back());
        }
        std::thread reader([&] {
            for (int pass = 0; pass < 3; ++pass) {
                for (const Tarv::WeakPtr<Cached>& weak : weaks) {
                    Tarv::SmartPtr<Cached> object = weak.Lock();
                    if (object && object->value != 7)
                        ++damaged;
                    Tarv::WeakPtr<Cached> again(object);
                }
            }
        });
        objects.clear();
        reader.join();
        for (const Tarv::WeakPtr<Cached>& weak : weaks)
            EXPECT_FALSE(weak.Lock());
    }
    EXPECT_EQ(damaged.load(), 0);
}
