// Typed values: copies own their content, counts follow copies of held pointers, and a read
// as the wrong type is a miss instead of a reinterpretation.
#include "engine/core/Any.h"

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "engine/core/WeakRefCounter.h"

#include <gtest/gtest.h>

namespace
{

class Image : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
};

} // namespace

TEST(Any, CopyOfAnEmptyValueIsEmpty)
{
    Tarv::Any empty;
    Tarv::Any copy(empty);
    EXPECT_TRUE(copy.IsEmpty());
    Tarv::Any assigned = 5;
    assigned = empty;
    EXPECT_TRUE(assigned.IsEmpty());
}

TEST(Any, CloningAHeldSmartPointerRaisesTheCountAndDestroyingTheCloneLowersIt)
{
    Tarv::SmartPtr<Image> image(new Image);
    Tarv::Any held(image);
    EXPECT_EQ(image->GetRefCount(), 2);
    {
        Tarv::Any clone(held);
        EXPECT_EQ(image->GetRefCount(), 3);
    }
    EXPECT_EQ(image->GetRefCount(), 2);
    held.Clear();
    EXPECT_EQ(image->GetRefCount(), 1);
}

TEST(Any, AHeldWeakPointerDoesNotKeepTheObject)
{
    Tarv::SmartPtr<Image> image(new Image);
    Tarv::Any entry{Tarv::WeakPtr<Image>(image)};
    Tarv::Any copy = entry;
    image.Reset();
    const Tarv::WeakPtr<Image>* weak = copy.Get<Tarv::WeakPtr<Image>>();
    ASSERT_NE(weak, nullptr);
    EXPECT_FALSE(weak->Lock());
}

TEST(Any, ReadingAsAnotherTypeIsAMiss)
{
    Tarv::Any number = 42;
    Tarv::Any flag = true;
    Tarv::Any text = "hello";

    int i = -1;
    bool b = false;
    Tarv::NarrowString s = "untouched";
    EXPECT_FALSE(number.Read(s));
    EXPECT_FALSE(text.Read(i));
    EXPECT_FALSE(flag.Read(i));
    EXPECT_FALSE(number.Read(b));
    EXPECT_EQ(i, -1);
    EXPECT_EQ(s, "untouched");
    EXPECT_EQ(number.Get<Tarv::SmartPtr<Image>>(), nullptr);

    EXPECT_TRUE(number.Read(i));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(flag.Read(b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(text.Read(s));
    EXPECT_EQ(s, "hello");
}

TEST(Any, AssignmentReplacesTheContentAndKeepsCopiesIndependent)
{
    Tarv::Any a = 1;
    Tarv::Any b = a;
    a = Tarv::Any(Tarv::NarrowString("two"));
    EXPECT_TRUE(a.Holds<Tarv::NarrowString>());
    ASSERT_TRUE(b.Holds<int>());
    *b.Get<int>() = 3;
    EXPECT_EQ(*b.Get<int>(), 3);
    a = a;
    EXPECT_EQ(*a.Get<Tarv::NarrowString>(), "two");
}
