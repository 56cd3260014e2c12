// The key codes and their script names.
#include "engine/core/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

TEST(KeyCodes, NamesCoverEveryNamedCodeOnce)
{
    std::set<std::string> names;
    for (int key = 0; key < Tarv::KEY_COUNT; ++key) {
        const char* name = Tarv::GetKeyName(key);
        if (key >= 32 && key <= 34) {
            EXPECT_EQ(name, nullptr) << key;
            continue;
        }
        ASSERT_NE(name, nullptr) << key;
        EXPECT_EQ(std::string(name).rfind("KEY_", 0), 0u) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 66u);
}

TEST(KeyCodes, NamesMatchTheirCodes)
{
    EXPECT_STREQ(Tarv::GetKeyName(Tarv::KEY_INVALID), "KEY_INVALID");
    EXPECT_STREQ(Tarv::GetKeyName(Tarv::KEY_0), "KEY_0");
    EXPECT_STREQ(Tarv::GetKeyName(13), "KEY_0");
    EXPECT_STREQ(Tarv::GetKeyName(22), "KEY_9");
    EXPECT_STREQ(Tarv::GetKeyName(31), "KEY_TILDE");
    EXPECT_STREQ(Tarv::GetKeyName(35), "KEY_A");
    EXPECT_STREQ(Tarv::GetKeyName(60), "KEY_Z");
    EXPECT_STREQ(Tarv::GetKeyName(68), "KEY_PSP_SELECT");
}

TEST(KeyCodes, OutOfRangeHasNoName)
{
    EXPECT_EQ(Tarv::GetKeyName(-1), nullptr);
    EXPECT_EQ(Tarv::GetKeyName(69), nullptr);
}

} // namespace
