// Font set tests: the first name becomes the default, names are never replaced, and unknown
// names reach the default font.
#include "graphics/text/FontSet.h"

#include "tests/graphics/text/TextTestFonts.h"

#include <gtest/gtest.h>

using Tarv::FontEx;
using Tarv::SmartPtr;
using Tarv::Text::FontSet;

TEST(FontSet, FirstNameIsTheDefaultAndUnknownNamesFindIt)
{
    SmartPtr<FontEx> a(new FontEx()), b(new FontEx()), c(new FontEx());
    FontSet set;
    EXPECT_EQ(set.GetFont("any"), nullptr);
    EXPECT_FALSE(set.HasDefaultFont());
    set.AddFont("A", a.Get());
    set.AddFont("B", b.Get());
    EXPECT_EQ(set.GetDefaultName(), "A");
    EXPECT_EQ(set.GetFont("B"), b.Get());
    EXPECT_EQ(set.GetFont("nope"), a.Get());
    EXPECT_EQ(set.GetFont(""), a.Get());
    EXPECT_TRUE(set.HasDefaultFont());
    set.AddFont("A", c.Get());
    EXPECT_EQ(set.GetFont("A"), a.Get());
    EXPECT_EQ(set.GetFontCount(), 2u);
    EXPECT_EQ(c->GetRefCount(), 1); // the refused font was not referenced
}

TEST(FontSet, AFontUnderTheEmptyNameLeavesTheDefaultOpen)
{
    SmartPtr<FontEx> first(new FontEx()), second(new FontEx());
    FontSet set;
    set.AddFont("", first.Get());
    EXPECT_TRUE(set.GetDefaultName().empty());
    EXPECT_EQ(set.GetFont("x"), first.Get());
    set.AddFont("B", second.Get());
    EXPECT_EQ(set.GetFont("x"), second.Get());
    EXPECT_EQ(set.GetFont(""), first.Get());
}

TEST(FontSet, HoldsItsFontsUntilItGoes)
{
    FontEx* font = new FontEx();
    SmartPtr<FontEx> watch(font);
    {
        SmartPtr<FontSet> set(new FontSet());
        set->AddFont("f", font);
        EXPECT_EQ(font->GetRefCount(), 2);
    }
    EXPECT_EQ(font->GetRefCount(), 1);
}
