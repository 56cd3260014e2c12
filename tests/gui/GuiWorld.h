// The world of the GUI tests: the fixture layouts under tests/gui/layouts and a temporary folder
// of generated images mounted in the file system, an asset dictionary, and the GUI's reports
// collected instead of printed.
#pragma once

#include "engine/core/Xml.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/AssetDict.h"
#include "gui/Control.h"
#include "gui/Layout.h"
#include "gui/Messages.h"
#include "tests/graphics/image/ImageFixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace GuiTest
{

// A layout document from the text between "<screen>" and "</screen>".
inline Tarv::XmlPtr Screen(const std::string& layers)
{
    return Tarv::Xml::CreateFromString("<screen>" + layers + "</screen>");
}

// One layer whose root is a plain control named "root" with these children.
inline Tarv::XmlPtr RootWith(const std::string& children)
{
    return Screen("<layer><item type=\"Control\" name=\"root\"><children>" + children +
                  "</children></item></layer>");
}

// An opaque RGBA PNG of width x height from a function of (x, y) giving r, g, b.
template <class Pixel>
std::vector<std::uint8_t> Png(int width, int height, Pixel pixel)
{
    ImageFixtures::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = 6;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto [r, g, b] = pixel(x, y);
            image.samples.insert(image.samples.end(), {unsigned(r), unsigned(g), unsigned(b), 255u});
        }
    return ImageFixtures::WritePng(image);
}

// Over Base (a plain test, or one that also draws on a private X server).
template <class Base = testing::Test>
class GuiWorld : public Base
{
protected:
    void SetUp() override
    {
        Base::SetUp();
        m_images = std::filesystem::temp_directory_path() /
                   ("brashwick-gui-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_images);
        Tarv::VfsInit();
        Tarv::VfsMountNative(BRASHWICK_SOURCE_DIR "/tests/gui/layouts/", "", Tarv::VFS_MOUNT_FALL_THROUGH);
        Tarv::VfsMountNative(m_images.string() + "/", "", Tarv::VFS_MOUNT_FALL_THROUGH);
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Plim::SetMessageHook([this](const Tarv::NarrowString& line) { messages.push_back(line); });
    }

    void TearDown() override
    {
        layout = Plim::Layout();
        Plim::SetMessageHook(nullptr);
        Tarv::AssetDict::Instance.Reset();
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_images);
        Base::TearDown();
    }

    void WriteImage(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(m_images / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    void WriteText(const std::string& name, const std::string& text)
    {
        std::ofstream(m_images / name) << text;
    }

    bool Load(const Tarv::XmlPtr& document) { return layout.Load(document); }

    // The control of that name in the first layer whose tree holds it; null when none.
    Plim::Control* Find(const std::string& name) const
    {
        for (const auto& layer : layout.GetLayers()) {
            std::vector<Plim::Node<Plim::Control>*> pending{layer->GetRoot()};
            while (!pending.empty()) {
                Plim::Node<Plim::Control>* node = pending.back();
                pending.pop_back();
                if (node == nullptr)
                    continue;
                if (node->GetName() == name)
                    return node->GetItem();
                pending.insert(pending.end(), node->GetChildren().begin(), node->GetChildren().end());
            }
        }
        return nullptr;
    }

    // The dump lines of the layout, without the heading and layer lines.
    std::vector<std::string> DumpLines() const
    {
        std::vector<std::string> lines;
        for (const auto& layer : layout.GetLayers())
            layer->Dump([&lines](const Tarv::NarrowString& line) { lines.push_back(line); });
        return lines;
    }

    Plim::Layout layout;
    std::vector<std::string> messages;

private:
    std::filesystem::path m_images;
};

} // namespace GuiTest
