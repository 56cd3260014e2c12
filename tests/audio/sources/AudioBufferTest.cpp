// A buffered source holds exactly what its decoder delivered.
#include "audio/sources/AudioBuffer.h"

#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "tests/audio/TestSources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using AudioTest::Ramp;
using AudioTest::VectorSource;

namespace
{

// Claims a length it does not hold, and hands out at most chunk bytes per read.
class LyingSource : public VectorSource
{
public:
    LyingSource(unsigned claimed, unsigned chunk) : VectorSource(Ramp(100), 1, 11025), m_claimed(claimed), m_chunk(chunk) {}
    unsigned GetLength() override { return m_claimed; }
    unsigned Read(void* buffer, unsigned bytes) override { return VectorSource::Read(buffer, std::min(bytes, m_chunk)); }

private:
    unsigned m_claimed;
    unsigned m_chunk;
};

} // namespace

TEST(AudioBuffer, CopiesTheWholeSourceAndDropsIt)
{
    VectorSource* raw = new VectorSource(Ramp(1000), 2, 44100);
    Tarv::WeakPtr<Tarv::AudioSource> weak(raw);
    Tarv::SmartPtr<Tarv::AudioBuffer> buffer(Tarv::AudioBuffer::Create(raw));
    ASSERT_TRUE(buffer);
    EXPECT_TRUE(weak.IsExpired());
    EXPECT_EQ(buffer->GetLength(), 2000u);
    EXPECT_EQ(buffer->GetChannels(), 2u);
    EXPECT_EQ(buffer->GetRate(), 44100u);
    std::vector<std::int16_t> data(1000);
    buffer->Seek(1990);
    EXPECT_EQ(buffer->Read(data.data(), 100), 10u);
    EXPECT_EQ(data[0], 995);
    EXPECT_EQ(buffer->Read(data.data(), 100), 0u);
    EXPECT_EQ(buffer->Tell(), 2000u);
    buffer->Seek(5000);
    EXPECT_EQ(buffer->Read(data.data(), 100), 0u);
    EXPECT_EQ(buffer->Tell(), 5000u);
    buffer->Rewind();
    EXPECT_EQ(buffer->Read(data.data(), 4), 4u);
    EXPECT_EQ(data[1], 1);
}

TEST(AudioBuffer, KeepsOnlyWhatASourceThatClaimsMoreDelivers)
{
    Tarv::SmartPtr<Tarv::AudioBuffer> buffer(Tarv::AudioBuffer::Create(new LyingSource(100000, 64)));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->GetLength(), 200u);
    std::vector<std::int16_t> data(100);
    EXPECT_EQ(buffer->Read(data.data(), 1000), 200u);
    EXPECT_EQ(data[99], 99);
}

TEST(AudioBuffer, EndlessSourceGivesAnEmptyBufferAndHugeOneGivesNull)
{
    Tarv::SmartPtr<Tarv::AudioBuffer> empty(Tarv::AudioBuffer::Create(new LyingSource(0, 64)));
    ASSERT_TRUE(empty);
    std::int16_t sample = 0;
    EXPECT_EQ(empty->Read(&sample, 2), 0u);
    EXPECT_EQ(Tarv::AudioBuffer::Create(new LyingSource(0xFFFFFFF0u, 64)), nullptr);
    EXPECT_EQ(Tarv::AudioBuffer::Create(nullptr), nullptr);
}
