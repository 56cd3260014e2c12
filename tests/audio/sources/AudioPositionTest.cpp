// Cursors over one shared source keep their own places.
#include "audio/sources/AudioPosition.h"

#include "audio/sources/AudioBuffer.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "tests/audio/TestSources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using AudioTest::Ramp;
using AudioTest::VectorSource;

TEST(AudioPosition, TwoPositionsOverOneBufferKeepTheirOwnCursors)
{
    Tarv::SmartPtr<Tarv::AudioBuffer> buffer(Tarv::AudioBuffer::Create(new VectorSource(Ramp(500), 1, 22050)));
    ASSERT_TRUE(buffer);
    Tarv::AudioPosition first(buffer.Get());
    Tarv::AudioPosition second(buffer.Get());
    std::vector<std::int16_t> a(50), b(20);
    EXPECT_EQ(first.Read(a.data(), 100), 100u);
    EXPECT_EQ(second.Read(b.data(), 40), 40u);
    EXPECT_EQ(first.Tell(), 100u);
    EXPECT_EQ(second.Tell(), 40u);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[19], 19);
    EXPECT_EQ(first.Read(a.data(), 2), 2u);
    EXPECT_EQ(a[0], 50);
}

TEST(AudioPosition, RewindAndLengthLeaveTheOthersAlone)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(300), 2, 44100));
    Tarv::AudioPosition first(source.Get());
    Tarv::AudioPosition second(source.Get());
    EXPECT_EQ(first.GetChannels(), 2u);
    EXPECT_EQ(first.GetRate(), 44100u);
    EXPECT_EQ(first.GetLength(), 600u);
    std::vector<std::int16_t> data(100);
    first.Read(data.data(), 200);
    second.Read(data.data(), 60);
    first.Rewind();
    EXPECT_EQ(first.Tell(), 0u);
    EXPECT_EQ(second.Tell(), 60u);
    second.Read(data.data(), 2);
    EXPECT_EQ(data[0], 30);
}

TEST(AudioPosition, SeeksTheSourceBeforeEveryRead)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(300), 1, 22050));
    Tarv::AudioPosition position(source.Get());
    std::vector<std::int16_t> data(10);
    position.Read(data.data(), 20);
    position.Read(data.data(), 20);
    EXPECT_EQ(source->seeks, 2);
    source->Seek(100);
    position.Read(data.data(), 2);
    EXPECT_EQ(data[0], 20);
}

TEST(AudioPosition, HoldsItsSourceAndANullSourceReadsNothing)
{
    VectorSource* raw = new VectorSource(Ramp(10), 1, 22050);
    Tarv::WeakPtr<Tarv::AudioSource> weak(raw);
    {
        Tarv::SmartPtr<Tarv::AudioPosition> position(new Tarv::AudioPosition(raw));
        EXPECT_FALSE(weak.IsExpired());
    }
    EXPECT_TRUE(weak.IsExpired());
    Tarv::AudioPosition empty(nullptr);
    std::int16_t sample = 0;
    EXPECT_EQ(empty.Read(&sample, 2), 0u);
    EXPECT_EQ(empty.GetLength(), 0u);
}
