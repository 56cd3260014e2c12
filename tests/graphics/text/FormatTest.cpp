// Text format tests: inheritance through live parents, copies, linking and flattening.
#include "graphics/text/Format.h"

#include <gtest/gtest.h>

using Tarv::SmartPtr;
using namespace Tarv::Text;

namespace
{

bool IsColor(const Format::Color4& c, int r, int g, int b, int a)
{
    return c.r == r && c.g == g && c.b == b && c.a == a;
}

} // namespace

TEST(Format, UnsetAttributesComeFromTheLiveParentOnly)
{
    SmartPtr<Format> child(new Format());
    {
        SmartPtr<Format> parent(new Format());
        parent->SetColor(255, 0, 0, 255);
        parent->SetAlignment(ALIGN_RIGHT);
        child->SetAlignment(ALIGN_LEFT); // a default value still overrides
        child->InsertBetween(parent.Get(), nullptr);
        EXPECT_TRUE(IsColor(child->GetColor(), 255, 0, 0, 255));
        EXPECT_EQ(child->GetAlignment(), ALIGN_LEFT);
        EXPECT_EQ(parent->GetChild().Get(), child.Get());
    }
    EXPECT_TRUE(IsColor(child->GetColor(), 0, 0, 0, 255));
}

TEST(Format, ACopyKeepsValuesAndFontSetButNoLinks)
{
    SmartPtr<Format> parent(new Format());
    parent->SetColor(1, 2, 3, 4);
    SmartPtr<Format> child(new Format());
    child->SetLetterSpacing(3);
    SmartPtr<FontSet> set(new FontSet());
    child->SetFontSet(set.Get());
    child->InsertBetween(parent.Get(), nullptr);
    const Format copy(*child);
    EXPECT_TRUE(IsColor(copy.GetColor(), 0, 0, 0, 255));
    EXPECT_EQ(copy.GetLetterSpacing(), 3);
    EXPECT_EQ(copy.GetFontSet(), set.Get());
    EXPECT_FALSE(copy.GetParent());
    EXPECT_EQ(copy.GetRefCount(), 0);
}

TEST(Format, InsertBetweenNullsClearsOnlyTheTargetsLinks)
{
    SmartPtr<Format> parent(new Format()), middle(new Format()), child(new Format());
    middle->InsertBetween(parent.Get(), child.Get());
    EXPECT_EQ(child->GetParent().Get(), middle.Get());
    middle->InsertBetween(nullptr, nullptr);
    EXPECT_FALSE(middle->GetParent());
    EXPECT_FALSE(middle->GetChild());
    EXPECT_EQ(child->GetParent().Get(), middle.Get());
    EXPECT_EQ(parent->GetChild().Get(), middle.Get());
}

TEST(Format, InheritFontSetTakesTheParentsSet)
{
    SmartPtr<Format> parent(new Format()), child(new Format());
    SmartPtr<FontSet> set(new FontSet());
    parent->SetFontSet(set.Get());
    child->InheritFontSet();
    EXPECT_EQ(child->GetFontSet(), nullptr);
    child->InsertBetween(parent.Get(), nullptr);
    child->InheritFontSet();
    EXPECT_EQ(child->GetFontSet(), set.Get());
}

class FormatFlatten : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root->SetColor(9, 9, 9, 9);
        root->SetLineSpacing(4);
        middle->SetColor(5, 5, 5, 5);
        middle->InsertBetween(root.Get(), nullptr);
        bottom->SetLetterSpacing(2);
        bottom->InsertBetween(middle.Get(), nullptr);
    }
    SmartPtr<Format> root{new Format()}, middle{new Format()}, bottom{new Format()};
};

TEST_F(FormatFlatten, TopEqualToBottomCopiesOnlyBottomsOwnSettings)
{
    Format target;
    target.Flatten(bottom.Get(), bottom.Get());
    EXPECT_EQ(target.GetSetMask(), FORMAT_LETTER_SPACING);
    EXPECT_EQ(target.GetLetterSpacing(), 2);
}

TEST_F(FormatFlatten, TopAtTheRootCopiesTheNearestValueOfEverySetting)
{
    Format target;
    target.SetAlignment(ALIGN_CENTER);
    target.Flatten(root.Get(), bottom.Get());
    EXPECT_EQ(target.GetSetMask(), FORMAT_COLOR | FORMAT_LINE_SPACING | FORMAT_LETTER_SPACING);
    EXPECT_TRUE(IsColor(target.GetColor(), 5, 5, 5, 5));
    EXPECT_EQ(target.GetLineSpacing(), 4);
}

TEST_F(FormatFlatten, SiblingsCopyBottomAloneAndTopBelowBottomCopiesNothing)
{
    SmartPtr<Format> sibling(new Format());
    sibling->InsertBetween(middle.Get(), nullptr);
    Format target;
    target.Flatten(sibling.Get(), bottom.Get());
    EXPECT_EQ(target.GetSetMask(), FORMAT_LETTER_SPACING);
    SmartPtr<Format> below(new Format());
    below->InsertBetween(bottom.Get(), nullptr);
    target.Flatten(below.Get(), bottom.Get());
    EXPECT_EQ(target.GetSetMask(), 0u);
}

TEST_F(FormatFlatten, ALinkCycleEndsTheWalk)
{
    root->InsertBetween(bottom.Get(), nullptr); // bottom -> middle -> root -> bottom
    Format target;
    target.Flatten(nullptr, bottom.Get());
    EXPECT_EQ(target.GetSetMask(), FORMAT_COLOR | FORMAT_LINE_SPACING | FORMAT_LETTER_SPACING);
    EXPECT_EQ(bottom->GetAlignment(), 0);
}
