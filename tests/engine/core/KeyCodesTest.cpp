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
    EXPECT_STREQ(Tarv::GetKeyName(Tarv::KEY_A), "KEY_A");
    EXPECT_EQ(Tarv::GetKeyName(-1), nullptr);
    EXPECT_EQ(Tarv::GetKeyName(Tarv::KEY_COUNT), nullptr);
}

} // namespace
