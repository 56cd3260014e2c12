// The mute stage zeroes exactly the valid bytes, and only while muted.
#include "audio/EffectMute.h"

#include "engine/core/SmartPtr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

TEST(EffectMute, ZeroesExactlyTheValidBytesOnlyWhileMuted)
{
    Tarv::SmartPtr<Tarv::EffectMute> mute(new Tarv::EffectMute({1, 22050}, false));
    std::vector<std::uint8_t> buffer(2050, 0x5A);
    EXPECT_EQ(mute->Process(buffer.data(), 2048, 2048), 2048u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(2050, 0x5A));
    mute->SetMuted(true);
    EXPECT_EQ(mute->Process(buffer.data(), 2048, 2048), 2048u);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), 2048);
    EXPECT_EQ(buffer[2048], 0x5A);
    std::fill(buffer.begin(), buffer.end(), 0x5A);
    EXPECT_EQ(mute->Process(buffer.data(), 2048, 100), 100u);
    EXPECT_EQ(buffer[99], 0);
    EXPECT_EQ(buffer[100], 0x5A);
}
