// LuaArguments: each entry owns its value, typed as its tag says, in the order added.
#include "framework/LuaArguments.h"

#include "engine/core/NarrowString.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(LuaArguments, EntriesOwnTheirValuesUnderTheirTags)
{
    char text[] = "fruit";
    Quor::LuaArguments args;
    args.AddInt(12);
    args.AddString(text);
    args.AddBool(true);
    std::strcpy(text, "bad");

    const auto& entries = args.GetEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].type, Quor::LuaArguments::TYPE_INT);
    EXPECT_EQ(*entries[0].value.Get<int>(), 12);
    EXPECT_EQ(entries[1].type, Quor::LuaArguments::TYPE_STRING);
    EXPECT_EQ(*entries[1].value.Get<Tarv::NarrowString>(), "fruit");
    EXPECT_EQ(entries[2].type, Quor::LuaArguments::TYPE_BOOL);
    EXPECT_EQ(*entries[2].value.Get<bool>(), true);
    // The value is what the tag names, never read as another type.
    EXPECT_EQ(entries[0].value.Get<bool>(), nullptr);
}
