// The image format registry: probes in the fixed order and hands the file to its reader.
#include "graphics/image/ImageLoader.h"

#include "graphics/image/ImageLoader565.h"
#include "graphics/image/JpegImageLoader.h"
#include "graphics/image/PngImageLoader.h"
#include "graphics/image/RLEImageLoader.h"
#include "graphics/image/TgaImageLoader.h"

#include <cstring>

namespace Tarv
{

namespace
{

constexpr char ANIMATION_START[] = "<?xml version=\"1.0\"";
constexpr std::size_t ANIMATION_START_SIZE = sizeof(ANIMATION_START) - 1;

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

bool ImageLoader::Save(const PixelData&, std::vector<std::uint8_t>&)
{
    return false;
}

} // namespace Tarv
