// Accelerometer polling: the interval, the orientation mapping and damaged or missing files.
#include "platform/Accelerometer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace
{

using Tarv::Accelerometer;

class AccelerometerFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char path[] = "/tmp/brashwick-coord-XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        m_path = path;
    }
    void TearDown() override { std::remove(m_path.c_str()); }
    void Write(const std::string& text) { std::ofstream(m_path) << text; }

    std::string m_path;
};

TEST_F(AccelerometerFile, LandscapeAndPortraitMapping)
{
    Write("10 -980 30\n");
    int values[3] = {0, 0, 0};
    ASSERT_EQ(Accelerometer::ReadFile(m_path, values), Accelerometer::ReadResult::OK);
    float out[3];
    Accelerometer::Map(2, values, out);
    EXPECT_FLOAT_EQ(out[0], -0.01f);
    EXPECT_FLOAT_EQ(out[1], -0.98f);
    EXPECT_FLOAT_EQ(out[2], 0.03f);
    Accelerometer::Map(1, values, out);
    EXPECT_FLOAT_EQ(out[0], -0.98f);
    EXPECT_FLOAT_EQ(out[1], 0.01f);
    EXPECT_FLOAT_EQ(out[2], 0.03f);
}

TEST_F(AccelerometerFile, FewerThanThreeNumbersSkipTheSampleButKeepPolling)
{
    Accelerometer accelerometer;
    accelerometer.SetPath(m_path);
    float out[3] = {7, 7, 7};
    for (const char* text : {"12 34", "", "x 1 2", "1 2 y"}) {
        Write(text);
        accelerometer.Enable(0.0f);
        EXPECT_FALSE(accelerometer.Advance(0.016f, 2, out)) << text;
        EXPECT_TRUE(accelerometer.IsOn()) << text;
    }
    EXPECT_EQ(out[0], 7.0f);
    Write("1 2 3");
    EXPECT_TRUE(accelerometer.Advance(0.016f, 2, out));
}

TEST_F(AccelerometerFile, MissingFileSwitchesPollingOff)
{
    Accelerometer accelerometer;
    accelerometer.SetPath(m_path + ".missing");
    accelerometer.Enable(0.1f);
    float out[3];
    EXPECT_FALSE(accelerometer.Advance(0.2f, 2, out));
    EXPECT_FALSE(accelerometer.IsOn());
    // Enabling again tries again.
    accelerometer.SetPath(m_path);
    Write("1 2 3");
    accelerometer.Enable(0.1f);
    EXPECT_TRUE(accelerometer.Advance(0.2f, 2, out));
}

TEST_F(AccelerometerFile, ReadsOnlyWhenTheTimerPassesTheInterval)
{
    Write("0 1000 0");
    Accelerometer accelerometer;
    accelerometer.SetPath(m_path);
    float out[3];
    EXPECT_FALSE(accelerometer.Advance(10.0f, 2, out)) << "disabled polling never reads";
    accelerometer.Enable(0.0f);
    accelerometer.Disable();
    EXPECT_FALSE(accelerometer.Advance(10.0f, 2, out));
    accelerometer.Enable(0.5f);
    // The timer starts at the interval: the first pass with time above 0 reads.
    EXPECT_FALSE(accelerometer.Advance(0.0f, 2, out));
    EXPECT_TRUE(accelerometer.Advance(0.016f, 2, out));
    // Then every 32 frames of 16 ms (0.512 s), since the timer restarts from 0.
    int frame = 0;
    while (!accelerometer.Advance(0.016f, 2, out))
        ++frame;
    EXPECT_EQ(frame + 1, 32);
}

} // namespace
