// The image format registry: probes in the fixed order and hands the file to its reader.
#include "graphics/image/ImageLoader.h"

#include "engine/vfs/File.h"
#include "engine/vfs/SeekableStream.h"
#include "engine/vfs/Vfs.h"
#include "graphics/image/AnimImageLoader.h"
#include "graphics/image/AnimatedSurface.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/image/ImageLoader565.h"
#include "graphics/image/JpegImageLoader.h"
#include "graphics/image/PngImageLoader.h"
#include "graphics/image/RLEImageLoader.h"
#include "graphics/image/TgaImageLoader.h"
#include "graphics/render/PixelDataGL.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace Tarv
{

namespace
{

constexpr char ANIMATION_START[] = "<?xml version=\"1.0\"";
constexpr std::size_t ANIMATION_START_SIZE = sizeof(ANIMATION_START) - 1;
constexpr int READ_CHUNK = 64 * 1024;

// Reads up to count bytes, however the stream splits them; stops early only at its end.
std::size_t ReadFully(SeekableStream& stream, std::uint8_t* out, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const int chunk = int(std::min<std::size_t>(count - done, READ_CHUNK));
        const int got = stream.Read(out + done, chunk);
        if (got <= 0 || got > chunk)
            break;
        done += std::size_t(got);
    }
    return done;
}

// The paths being loaded on this thread, outermost first.
thread_local std::vector<NarrowString> t_loading;

// Marks a path as being loaded for the length of a scope.
class LoadingPath
{
public:
    explicit LoadingPath(const NarrowString& path) { t_loading.push_back(path); }
    ~LoadingPath() { t_loading.pop_back(); }
    LoadingPath(const LoadingPath&) = delete;
    LoadingPath& operator=(const LoadingPath&) = delete;
};

// A surface over a decoded texture, or null.
SmartPtr<Surface> SurfaceOf(PixelDataGL* texture)
{
    if (texture == nullptr)
        return nullptr;
    return SmartPtr<Surface>(new Surface(texture));
}

} // namespace

ImageFormat ImageLoader::ProbeFormat(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr)
        return ImageFormat::NONE;
    // TGA has no signature, so it comes second: a file goes to the first probe that takes it.
    if (PngImageLoader::Probe(data, size))
        return ImageFormat::PNG;
    if (TgaImageLoader::Probe(data, size))
        return ImageFormat::TGA;
    if (JpegImageLoader::Probe(data, size))
        return ImageFormat::JPEG;
    if (size >= ANIMATION_START_SIZE && std::memcmp(data, ANIMATION_START, ANIMATION_START_SIZE) == 0)
        return ImageFormat::ANIMATION;
    if (RLEImageLoader::Probe(data, size))
        return ImageFormat::CRLE;
    if (ImageLoader565::Probe(data, size))
        return ImageFormat::C565;
    return ImageFormat::NONE;
}

SmartPtr<ImageLoader> ImageLoader::FindLoader(const std::uint8_t* data, std::size_t size)
{
    switch (ProbeFormat(data, size)) {
    case ImageFormat::PNG: return SmartPtr<ImageLoader>(new PngImageLoader);
    case ImageFormat::TGA: return SmartPtr<ImageLoader>(new TgaImageLoader);
    case ImageFormat::JPEG: return SmartPtr<ImageLoader>(new JpegImageLoader);
    case ImageFormat::ANIMATION: return SmartPtr<ImageLoader>(new AnimImageLoader);
    case ImageFormat::CRLE: return SmartPtr<ImageLoader>(new RLEImageLoader);
    case ImageFormat::C565: return SmartPtr<ImageLoader>(new ImageLoader565);
    default: return nullptr;
    }
}

SmartPtr<PixelData> ImageLoader::DecodeImage(const std::uint8_t* data, std::size_t size)
{
    SmartPtr<ImageLoader> loader = FindLoader(data, size);
    if (!loader)
        return nullptr;
    return loader->Decode(data, size);
}

ImageFormat ImageLoader::ProbeFormat(SeekableStream* stream)
{
    if (stream == nullptr || !stream->Seek(0, SEEK_ORIGIN_START))
        return ImageFormat::NONE;
    // The longest probe reads the 19 bytes of the animation's XML declaration.
    std::uint8_t head[ANIMATION_START_SIZE];
    const std::size_t got = ReadFully(*stream, head, sizeof(head));
    stream->Seek(0, SEEK_ORIGIN_START);
    return ProbeFormat(head, got);
}

bool ImageLoader::ReadWholeStream(SeekableStream* stream, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (stream == nullptr || !stream->Seek(0, SEEK_ORIGIN_START))
        return false;
    for (;;) {
        const std::size_t at = out.size();
        out.resize(at + READ_CHUNK);
        const std::size_t got = ReadFully(*stream, out.data() + at, READ_CHUNK);
        out.resize(at + got);
        if (out.size() > MAX_IMAGE_FILE_BYTES) {
            out.clear();
            stream->Seek(0, SEEK_ORIGIN_START);
            return false;
        }
        if (got < READ_CHUNK)
            break;
    }
    stream->Seek(0, SEEK_ORIGIN_START);
    return true;
}

SmartPtr<PixelData> ImageLoader::LoadPixelsFromStream(SeekableStream* stream)
{
    // Probing first keeps a file of no known format from being read whole.
    if (ProbeFormat(stream) == ImageFormat::NONE)
        return nullptr;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeStream(stream, bytes))
        return nullptr;
    return DecodeImage(bytes.data(), bytes.size());
}

SmartPtr<PixelData> ImageLoader::LoadPixelsFromFile(const NarrowString& path)
{
    SmartPtr<File> file(VfsOpenRead(path.c_str()));
    if (!file)
        return nullptr;
    return LoadPixelsFromStream(file.Get());
}

SmartPtr<Surface> ImageLoader::LoadFromStream(SeekableStream* stream, int argument)
{
    const ImageFormat format = ProbeFormat(stream);
    if (format == ImageFormat::NONE)
        return nullptr;
    if (format == ImageFormat::ANIMATION)
        return AnimImageLoader().Load(stream, argument);
    SmartPtr<ImageLoader> loader;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeStream(stream, bytes) || !(loader = FindLoader(bytes.data(), bytes.size())))
        return nullptr;
    return SurfaceOf(loader->DecodeTexture(bytes.data(), bytes.size()));
}

SmartPtr<Surface> ImageLoader::LoadFromFile(const NarrowString& path, int argument)
{
    if (t_loading.size() >= std::size_t(MAX_NESTED_IMAGE_LOADS) ||
        std::find(t_loading.begin(), t_loading.end(), path) != t_loading.end())
        return nullptr;
    LoadingPath loading(path);
    SmartPtr<File> file(VfsOpenRead(path.c_str()));
    if (!file)
        return nullptr;
    return LoadFromStream(file.Get(), argument);
}

SmartPtr<Surface> ImageLoader::Load(SeekableStream* stream, int)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeStream(stream, bytes))
        return nullptr;
    return SurfaceOf(DecodeTexture(bytes.data(), bytes.size()));
}

PixelDataGL* ImageLoader::DecodeTexture(const std::uint8_t* data, std::size_t size)
{
    const SmartPtr<PixelData> pixels = Decode(data, size);
    return pixels ? CreateTexture(pixels.Get()) : nullptr;
}

PixelDataGL* ImageLoader::FinishStaged(int width, int height, int format,
                                   std::vector<std::uint8_t>&& staged)
{
    const int texel = PixelDataGL::TexelBytes(format);
    if (texel == 0 || !PixelDataGL::CheckSize(width, height) ||
        staged.size() != std::size_t(PixelDataGL::PaddedSize(width)) *
                             std::size_t(PixelDataGL::PaddedSize(height)) * std::size_t(texel))
        return nullptr;
    PixelDataGL::PadEdges(staged.data(), width, height, PixelDataGL::PaddedSize(width),
                      PixelDataGL::PaddedSize(height), texel);
    return PixelDataGL::AdoptStaged(width, height, format, std::move(staged));
}

bool ImageLoader::SaveToStream(SeekableStream* stream, const PixelData& pixels)
{
    std::vector<std::uint8_t> bytes;
    if (stream == nullptr || !Encode(pixels, bytes) || bytes.size() > std::size_t(INT_MAX))
        return false;
    return stream->Write(bytes.data(), int(bytes.size())) == int(bytes.size());
}

bool ImageLoader::Save(SeekableStream*, Surface*)
{
    return false;
}

bool ImageLoader::Encode(const PixelData&, std::vector<std::uint8_t>&)
{
    return false;
}

} // namespace Tarv
