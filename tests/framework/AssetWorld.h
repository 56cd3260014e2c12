// The world of the asset tests: generated sounds and images packed by the content packer into
// a real archive and mounted, with a service registry, an asset dictionary, a registry and a
// mixer whose device the test pulls by hand.
#pragma once

#include "audio/Mixer.h"
#include "engine/core/NarrowString.h"
#include "engine/registry/Registry.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "framework/AssetDict.h"
#include "framework/System.h"
#include "graphics/render/Surface.h"
#include "tests/audio/TestSources.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tests/engine/vfs/Archives.h"
#include "tests/graphics/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace AssetTest
{

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t RATE = 22050;

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// Font XML of the letters A-C, 3 wide and 5 high, in a row from the page's top-left corner.
inline Bytes FontXml()
{
    return Text("<font><characters>"
                "<char code=\"65\" x=\"0\" y=\"0\" width=\"3\" height=\"5\"/>"
                "<char code=\"66\" x=\"3\" y=\"0\" width=\"3\" height=\"5\"/>"
                "<char code=\"67\" x=\"6\" y=\"0\" width=\"3\" height=\"5\"/>"
                "</characters></font>");
}

// An RGBA PNG of one colour.
inline Bytes MakePng(int width, int height, std::uint8_t red)
{
    ImageFixtures::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = 6;
    for (int i = 0; i < width * height; ++i)
        image.samples.insert(image.samples.end(), {red, 20u, 30u, 255u});
    return ImageFixtures::WritePng(image);
}

// Mono 22050 Hz Ogg Vorbis of a sine, encoded once per (frequency, frames) by oggenc.
inline Bytes MakeOgg(double frequency, std::size_t frames, double peak = 12000.0)
{
    static std::map<std::pair<double, std::size_t>, Bytes> made;
    const auto key = std::make_pair(frequency, frames);
    const auto found = made.find(key);
    if (found != made.end())
        return found->second;
    TestFiles::TempDir dir;
    const std::string wav = dir.Path() + "/tone.wav";
    const std::string ogg = dir.Path() + "/tone.ogg";
    if (!AudioTest::WriteWav(wav, AudioTest::MakeTone(frequency, RATE, 1, frames, peak), 1, RATE) ||
        !AudioTest::EncodeOgg(wav, ogg))
        return Bytes();
    return made[key] = TestFiles::ReadBytes(ogg);
}

inline Bytes MakeWav(const std::vector<std::int16_t>& samples)
{
    return AudioTest::WaveBytes().Format(1, 1, RATE, 16).Data(samples).Bytes();
}

class AssetWorld : public testing::Test
{
protected:
    void SetUp() override
    {
        Tarv::VfsInit();
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    }

    void TearDown() override
    {
        Tarv::AssetDict::Instance.Reset();
        Quor::System::Destroy();
        if (m_mixer) {
            Tarv::Mixer::Instance = nullptr;
            m_mixer.Reset();
        }
        Tarv::Registry::Instance.Reset();
        Tarv::VfsShutdown();
    }

    // Packs the files into an archive with the content packer and mounts it at the root.
    void MountArchive(const std::map<std::string, Bytes>& files)
    {
        const Bytes archive = Archives::Pack(files, Tarv::ContainerWriter::Options());
        ASSERT_FALSE(archive.empty());
        const std::string path = m_dir.Path() + "/content" + std::to_string(m_archives++) + ".pak";
        ASSERT_TRUE(TestFiles::WriteBytes(path, archive));
        Tarv::VfsAddMount(new Tarv::PakMount(path.c_str(), "", 0));
    }

    // A mono 22050 Hz mixer on a device that never runs a thread.
    Tarv::Mixer* StartMixer()
    {
        Tarv::MixerConfig config;
        config.createDevice = &AudioTest::ManualDevice::Create;
        m_mixer = Tarv::SmartPtr<Tarv::Mixer>(new Tarv::Mixer({1, RATE}, config));
        Tarv::Mixer::Instance = m_mixer.Get();
        return m_mixer.Get();
    }

    // The next samples the mixer produces, as the device thread would read them.
    std::vector<std::int16_t> Pull(std::size_t samples)
    {
        std::vector<std::int16_t> out(samples);
        m_mixer->Read(out.data(), static_cast<unsigned>(samples * 2));
        return out;
    }

    TestFiles::TempDir m_dir;
    Tarv::SmartPtr<Tarv::Mixer> m_mixer;

private:
    int m_archives = 0;
};

} // namespace AssetTest
