// The mute stage zeroes exactly the valid bytes, and only while muted.
#include "audio/EffectMute.h"

#include "engine/core/SmartPtr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(EffectMute, MutedZeroesExactlyTheValidBytes)
{
    Tarv::EffectMute mute({1, 22050}, true);
    std::vector<std::uint8_t> buffer(2050, 0xAB);
    EXPECT_EQ(mute.Process(buffer.data(), 2048, 2048), 2048u);
    for (std::size_t i = 0; i < 2048; ++i)
        ASSERT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[2048], 0xAB);
    EXPECT_EQ(buffer[2049], 0xAB);
}

TEST(EffectMute, UnmutedChangesNothingAndSwitchesLive)
{
    Tarv::SmartPtr<Tarv::EffectMute> mute(new Tarv::EffectMute({1, 22050}, false));
    std::vector<std::uint8_t> buffer(2048, 0x5A);
    EXPECT_EQ(mute->Process(buffer.data(), 2048, 2048), 2048u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(2048, 0x5A));
    mute->SetMuted(true);
    EXPECT_EQ(mute->Process(buffer.data(), 2048, 100), 100u);
    EXPECT_EQ(buffer[99], 0);
    EXPECT_EQ(buffer[100], 0x5A);
    EXPECT_FALSE(mute->IsFinished());
    EXPECT_EQ(mute->GetInputSize(1234), 1234u);
}
