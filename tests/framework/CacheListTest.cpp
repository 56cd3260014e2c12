// The cache list: exact names, whole-extension patterns in any directory and any case, the
// used flags, removal of patterns with their names, and the registered service.
#include "framework/CacheList.h"

#include "framework/System.h"

#include <gtest/gtest.h>

namespace
{

using Quor::CacheList;

TEST(CacheList, PatternMatchesItsExtensionInEveryDirectoryAndMarksItUsed)
{
    CacheList list;
    list.Add("*.ogg");
    EXPECT_FALSE(list.IsUsed(".ogg"));
    EXPECT_TRUE(list.Contains("music/menu_music.ogg"));
    EXPECT_TRUE(list.IsUsed(".ogg"));
    EXPECT_FALSE(list.Contains("images/a.png"));
}

TEST(CacheList, PatternBehindADirectoryAppliesEverywhere)
{
    CacheList list;
    list.Add("sfx/*.ogg");
    EXPECT_EQ(list.GetEntryCount(), 1u);
    EXPECT_TRUE(list.Contains("music/theme.ogg"));
}

TEST(CacheList, ExtensionsAreWholeAndCaseBlind)
{
    CacheList list;
    list.Add("*.jpeg");
    EXPECT_TRUE(list.Contains("a.jpeg"));
    EXPECT_TRUE(list.Contains("a.JPEG"));
    EXPECT_FALSE(list.Contains("a.jpe"));
    EXPECT_FALSE(list.Contains("a.jpegx"));
    list.Add("*.ogg");
    EXPECT_TRUE(list.Contains("SFX/LOUD.OGG"));
    // A dot in a directory is no extension.
    EXPECT_FALSE(list.Contains("x.ogg/readme"));
}

TEST(CacheList, ExactNamesMatchOnlyThemselves)
{
    CacheList list;
    list.Add("sfx/menu_ok1.ogg");
    EXPECT_TRUE(list.Contains("sfx/menu_ok1.ogg"));
    EXPECT_FALSE(list.Contains("music/menu_ok1.ogg"));
    EXPECT_FALSE(list.Contains("sfx/Menu_ok1.ogg"));
}

TEST(CacheList, ExactEntryWinsOverThePattern)
{
    CacheList list;
    list.Add("*.ogg");
    list.Add("a.ogg");
    EXPECT_TRUE(list.Contains("a.ogg"));
    EXPECT_TRUE(list.IsUsed("a.ogg"));
    EXPECT_FALSE(list.IsUsed(".ogg"));
}

TEST(CacheList, AddingTwiceKeepsOneEntryAndItsFlag)
{
    CacheList list;
    list.Add("a.ogg");
    list.Contains("a.ogg");
    list.Add("a.ogg");
    EXPECT_EQ(list.GetEntryCount(), 1u);
    EXPECT_TRUE(list.IsUsed("a.ogg"));
}

TEST(CacheList, PatternWithoutExtensionIsRefused)
{
    CacheList list;
    list.Add("*");
    list.Add("dir/*");
    EXPECT_EQ(list.GetEntryCount(), 0u);
    EXPECT_FALSE(list.Contains("readme"));
}

TEST(CacheList, RemovingAPatternErasesItsNamesAndReportsUse)
{
    CacheList list;
    list.Add("*.ogg");
    list.Add("sfx/a.ogg");
    list.Add("b.png");
    EXPECT_TRUE(list.Remove("*.ogg"));
    EXPECT_EQ(list.GetEntryCount(), 1u);

    list.Add("sfx/c.ogg");
    EXPECT_FALSE(list.Remove("*.ogg"));
    list.Add("sfx/c.ogg");
    list.Contains("sfx/c.ogg");
    EXPECT_TRUE(list.Remove("*.ogg"));
    EXPECT_TRUE(list.Remove("b.png"));
    EXPECT_FALSE(list.Remove("b.png"));
}

TEST(CacheList, ExtensionKey)
{
    EXPECT_EQ(CacheList::GetExtension("music/a.ogg"), ".ogg");
    EXPECT_EQ(CacheList::GetExtension("a.JPEG"), ".jpeg");
    EXPECT_EQ(CacheList::GetExtension("a.tar.gz"), ".gz");
    EXPECT_EQ(CacheList::GetExtension("noext"), "");
    EXPECT_EQ(CacheList::GetExtension("a.b/c"), "");
}

TEST(CacheList, ServiceIsCreatedOnFirstUse)
{
    EXPECT_EQ(CacheList::GetInstance(), nullptr);
    Quor::System::Create(nullptr);
    CacheList* list = CacheList::GetInstance();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(CacheList::GetInstance(), list);
    EXPECT_EQ(Quor::System::GetInstance()->GetService("CacheList"), list);
    Quor::System::Destroy();
}

} // namespace
