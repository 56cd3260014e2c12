// The cache list: exact names, extension patterns in any directory, the used flags, removal of
// patterns with their names, and the registered service.
#include "framework/CacheList.h"

#include "framework/System.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using Quor::CacheList;

// A pattern keeps its last "." and up to three characters after it, case-sensitive, and
// matches in every directory (even behind a directory of its own); exact names match only
// themselves; a pattern without an extension is refused.
TEST(CacheList, WhatAnEntryMatches)
{
    const struct { const char* entry; const char* name; bool contained; } cases[] = {
        {"*.ogg", "music/menu_music.ogg", true}, {"*.ogg", "images/a.png", false},
        {"sfx/*.ogg", "music/theme.ogg", true}, {"*.jpeg", "a.JPEG", false}, {"*.jpeg", "a.jpe", true},
        {"*.jpeg", "a.jpegx", true}, {"*.ogg", "SFX/LOUD.OGG", false}, {"*.ogg", "x.ogg/readme", true},
        {"sfx/menu_ok1.ogg", "sfx/menu_ok1.ogg", true}, {"sfx/menu_ok1.ogg", "music/menu_ok1.ogg", false},
        {"sfx/menu_ok1.ogg", "sfx/Menu_ok1.ogg", false}, {"*", "readme", false}, {"dir/*", "dir/readme", false},
        {"*.gz", "a.tar.gz", true}};
    for (const auto& c : cases) {
        CacheList list;
        list.Add(c.entry);
        EXPECT_EQ(list.Contains(c.name), c.contained) << c.entry << " " << c.name;
        EXPECT_EQ(list.GetEntryCount(), c.entry[std::strlen(c.entry) - 1] == '*' ? 0u : 1u) << c.entry;
    }
    CacheList list;
    list.Add("*.ogg");
    EXPECT_FALSE(list.IsUsed(".ogg"));
    list.Contains("a/b.ogg");
    EXPECT_TRUE(list.IsUsed(".ogg"));
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
