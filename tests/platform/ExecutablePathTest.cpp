// The executable's folder comes from the running program, not from how it was started.
#include "platform/ExecutablePath.h"

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

namespace
{

TEST(ExecutablePath, BareProgramNameStillFindsTheFolder)
{
    // Started through PATH, argv[0] names no folder at all.
    const std::string folder = Tarv::GetExecutableDirectory("tarv_platform_tests");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(access((folder + "/tarv_platform_tests").c_str(), X_OK), 0) << folder;
}

TEST(ExecutablePath, WrongArgv0IsIgnored)
{
    EXPECT_EQ(Tarv::GetExecutableDirectory("/nowhere/else/prog"),
              Tarv::GetExecutableDirectory(nullptr));
}

} // namespace
