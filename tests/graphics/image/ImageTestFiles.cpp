// Writers of the small image files the surface tests draw, and the mounted test folder.
#include "ImageTestFiles.h"

#include "engine/vfs/Vfs.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/image/RunLength.h"

#include <png.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>

namespace ImageTestFiles
{

namespace
{

void PutLittle(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

Bytes TgaHeader(int width, int height, int depth, int descriptor)
{
    Bytes file(18, 0);
    file[2] = 2;
    file[12] = std::uint8_t(width);
    file[13] = std::uint8_t(width >> 8);
    file[14] = std::uint8_t(height);
    file[15] = std::uint8_t(height >> 8);
    file[16] = std::uint8_t(depth);
    file[17] = std::uint8_t(descriptor);
    return file;
}

std::atomic<int> s_folderCount{0};

} // namespace

Folder::Folder(const char* tag)
{
    m_root = std::filesystem::temp_directory_path() /
             ("brashwick-" + std::string(tag) + "-" + std::to_string(::getpid()) + "-" +
              std::to_string(s_folderCount++));
    std::filesystem::create_directories(m_root);
    Tarv::VfsInit();
    Tarv::VfsMountNative(Tarv::NarrowString(m_root.string() + "/"), "", 0);
}

Folder::~Folder()
{
    Tarv::VfsShutdown();
    std::filesystem::remove_all(m_root);
}

void Folder::Write(const char* name, const Bytes& bytes) const
{
    std::filesystem::create_directories((m_root / name).parent_path());
    std::ofstream out(m_root / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Folder::WriteText(const char* name, const char* text) const
{
    Write(name, Bytes(text, text + std::strlen(text)));
}

namespace
{

Bytes Png(int width, int height, int colorType, const Bytes& samples)
{
    ImageFixtures::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = colorType;
    image.samples.assign(samples.begin(), samples.end());
    return ImageFixtures::WritePng(image);
}

std::vector<Tarv::NarrowString> s_fetched;

} // namespace

Bytes PngRgba(int width, int height, const Bytes& rgba)
{
    return Png(width, height, PNG_COLOR_TYPE_RGB_ALPHA, rgba);
}

Bytes PngGrey(int width, int height, const Bytes& grey)
{
    return Png(width, height, PNG_COLOR_TYPE_GRAY, grey);
}

std::vector<Tarv::NarrowString>& FetchedNames()
{
    return s_fetched;
}

Tarv::SmartPtr<Tarv::Surface> RecordingFetch(const Tarv::NarrowString& name)
{
    s_fetched.push_back(name);
    return Tarv::LoadSurface(name);
}

Bytes Tga24(int width, int height, const Bytes& rgba)
{
    Bytes file = TgaHeader(width, height, 24, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = rgba.data() + (std::size_t(y) * width + x) * 4;
            file.insert(file.end(), {p[2], p[1], p[0]});
        }
    }
    return file;
}

Bytes Tga16(int width, int height, const std::vector<std::uint16_t>& words)
{
    Bytes file = TgaHeader(width, height, 16, 0x20);
    for (std::uint16_t word : words)
        PutLittle(file, word, 2);
    return file;
}

Bytes C565(int width, int height, const std::vector<std::uint16_t>& words)
{
    Bytes file{'C', '5', '6', '5'};
    PutLittle(file, std::uint32_t(width), 4);
    PutLittle(file, std::uint32_t(height), 4);
    for (std::uint16_t word : words)
        PutLittle(file, word, 2);
    return file;
}

Bytes Crle(int width, int height, const Bytes& rgba)
{
    const Bytes runs = Tarv::EncodeRunLength(rgba.data(), width, height);
    Bytes file{'C', 'R', 'L', 'E'};
    PutLittle(file, std::uint32_t(width), 4);
    PutLittle(file, std::uint32_t(height), 4);
    PutLittle(file, std::uint32_t(runs.size()), 4);
    file.insert(file.end(), runs.begin(), runs.end());
    return file;
}

} // namespace ImageTestFiles
