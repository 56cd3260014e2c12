// Shared by the tests that read scene files: a temporary folder mounted in the file system,
// an asset dictionary that loads the PNG images written there, and a service registry.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/registry/Registry.h"
#include "engine/vfs/Vfs.h"
#include "framework/AssetDict.h"
#include "framework/System.h"
#include "tests/graphics/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace SceneTest
{

// The folder, the file system, the registries and the asset dictionary for one test.
class SceneFilesWorld
{
public:
    SceneFilesWorld()
    {
        static std::atomic<int> s_count{0};
        m_dir = std::filesystem::temp_directory_path() /
                ("brashwick-scene-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
        std::filesystem::create_directories(m_dir);
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.string() + "/", "", 0);
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    }

    ~SceneFilesWorld()
    {
        Tarv::AssetDict::Instance.Reset();
        Quor::System::Destroy();
        Tarv::Registry::Instance.Reset();
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_dir);
    }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    // An opaque RGBA PNG of one colour, its right half in blue when split is set.
    void WritePng(const std::string& name, int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                  bool split = false)
    {
        ImageFixtures::PngImage image;
        image.width = width;
        image.height = height;
        image.colorType = 6;
        for (int i = 0; i < width * height; ++i) {
            if (split && i % width >= width / 2)
                image.samples.insert(image.samples.end(), {0, 0, 255, 255});
            else
                image.samples.insert(image.samples.end(), {r, g, b, 255});
        }
        const ImageFixtures::Bytes bytes = ImageFixtures::WritePng(image);
        std::ofstream(m_dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path m_dir;
};

class SceneFiles : public ::testing::Test, public SceneFilesWorld
{
protected:
    // Each test gets its world from construction to destruction; these stay for fixtures
    // that extend the set-up.
    void SetUp() override {}
    void TearDown() override {}
};

} // namespace SceneTest
