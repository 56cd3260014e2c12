// Font set tests: the first name becomes the default, names are never replaced, and unknown
// names reach the default font.
#include "graphics/text/FontSet.h"

#include "graphics/text/Format.h"
#include "graphics/text/RichString.h"
#include "graphics/text/Typesetter.h"
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

// A null font is filed like any other: it takes the default name and answers null, and text laid
// out in such a set places no glyph instead of reading a font that is not there.
TEST(FontSet, ANullFontIsFiledAndAnswersNull)
{
    SmartPtr<FontSet> set(new FontSet());
    set->AddFont("A", nullptr);
    SmartPtr<FontEx> b(new FontEx());
    set->AddFont("B", b.Get());
    EXPECT_EQ(set->GetDefaultName(), "A");
    EXPECT_EQ(set->GetFontCount(), 2u);
    EXPECT_TRUE(set->HasDefaultFont());
    EXPECT_EQ(set->GetFont("nope"), nullptr);
    EXPECT_EQ(set->GetFont("B"), b.Get());
    Tarv::Text::Format format;
    format.SetFontSet(set.Get());
    const Tarv::RichString text{Tarv::WideString(U"a b"), format};
    Tarv::Text::Typesetter typesetter;
    const std::int32_t box[4] = {0, 0, 100, 0};
    const Tarv::GlyphArray glyphs = typesetter.Layout(text, box);
    ASSERT_NE(glyphs.get(), nullptr);
    EXPECT_EQ(glyphs[0].image, nullptr);
}
