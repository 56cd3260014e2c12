// Shared by the image surface tests: a temporary folder mounted as the virtual file system
// root, and small image files of every format written on the spot.
#pragma once

#include "ImageFixtures.h"
#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace Tarv
{
class Surface;
}

namespace ImageTestFiles
{

using ImageFixtures::Bytes;

// Mounts a fresh folder as the root of the virtual file system; unmounts and removes it.
class Folder
{
public:
    explicit Folder(const char* tag);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    void Write(const char* name, const Bytes& bytes) const;
    void WriteText(const char* name, const char* text) const;

private:
    std::filesystem::path m_root;
};

// Pixels are given as red, green, blue, alpha quadruples, top row first.
Bytes PngRgba(int width, int height, const Bytes& rgba);
Bytes PngGrey(int width, int height, const Bytes& grey);
// 24-bit (bottom row first, as most writers store it) and 16-bit X1R5G5B5 TGA files.
Bytes Tga24(int width, int height, const Bytes& rgba);
Bytes Tga16(int width, int height, const std::vector<std::uint16_t>& words);
Bytes C565(int width, int height, const std::vector<std::uint16_t>& words);
Bytes Crle(int width, int height, const Bytes& rgba);

// A page or frame fetcher that loads with LoadSurface and records every name it was given.
Tarv::SmartPtr<Tarv::Surface> RecordingFetch(const Tarv::NarrowString& name);
std::vector<Tarv::NarrowString>& FetchedNames();

} // namespace ImageTestFiles
