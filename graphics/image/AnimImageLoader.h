// Tarv::AnimImageLoader: reads an animation XML file into a Tarv::AnimatedSurface, fetching
// each frame image by its asset name through a replaceable fetcher.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/image/ImageSurface.h"

#include <cstddef>
#include <cstdint>

namespace Tarv
{

class AnimatedSurface;
class SeekableStream;

class AnimImageLoader : public ImageLoader
{
public:
    // True when the stream's next 19 bytes are exactly `<?xml version="1.0"`; false for a
    // null stream or a shorter read. Reads from the current position and does not rewind.
    static bool Probe(SeekableStream* stream);

    // The whole stream (from byte 0, left rewound) read as an animated surface; the loader
    // argument is not read. Null when the document does not parse or none of its frames has an
    // image: frames whose image cannot be fetched are left out.
    SmartPtr<Surface> Load(SeekableStream* stream, int argument) override;
    static SmartPtr<AnimatedSurface> LoadFromMemory(const std::uint8_t* data, std::size_t size);
    // An animation is no pixel data: null. (Save is the base's: animations cannot be written.)
    SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) override;

    // How frame images are fetched by their asset name. Null (the default) loads each name
    // as a plain path through ImageLoader::LoadFromFile, options included in the path. The
    // asset dictionary installs its own get-or-load. Any thread; set it before loading starts.
    static void SetFrameFetcher(SurfaceFetcher fetcher);
    static SurfaceFetcher GetFrameFetcher();
};

} // namespace Tarv
