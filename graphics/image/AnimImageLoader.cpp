// Animation XML to animated surfaces: the document is read by AnimationDocument, the frame
// images are fetched one by one, and frames without an image are dropped.
#include "graphics/image/AnimImageLoader.h"

#include "engine/vfs/SeekableStream.h"
#include "graphics/image/AnimatedSurface.h"
#include "graphics/image/AnimationDocument.h"
#include "graphics/image/ImageLoader.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace Tarv
{

namespace
{

constexpr char ANIMATION_START[] = "<?xml version=\"1.0\"";
constexpr int ANIMATION_START_SIZE = int(sizeof(ANIMATION_START) - 1);

std::atomic<SurfaceFetcher> s_fetcher{nullptr};

SmartPtr<Surface> FetchFrame(const NarrowString& name)
{
    const SurfaceFetcher fetcher = s_fetcher.load(std::memory_order_acquire);
    if (fetcher != nullptr)
        return fetcher(name);
    return ImageLoader::LoadFromFile(name, 5);
}

} // namespace

bool AnimImageLoader::Probe(SeekableStream* stream)
{
    if (stream == nullptr)
        return false;
    char head[ANIMATION_START_SIZE];
    return stream->Read(head, ANIMATION_START_SIZE) == ANIMATION_START_SIZE &&
           std::memcmp(head, ANIMATION_START, ANIMATION_START_SIZE) == 0;
}

SmartPtr<Surface> AnimImageLoader::Load(SeekableStream* stream, int)
{
    std::vector<std::uint8_t> bytes;
    if (!ImageLoader::ReadWholeStream(stream, bytes))
        return nullptr;
    return LoadFromMemory(bytes.data(), bytes.size());
}

SmartPtr<PixelData> AnimImageLoader::Decode(const std::uint8_t*, std::size_t)
{
    return nullptr;
}

SmartPtr<AnimatedSurface> AnimImageLoader::LoadFromMemory(const std::uint8_t* data,
                                                          std::size_t size)
{
    AnimationDocument document;
    if (data == nullptr || !document.Parse(data, size))
        return nullptr;
    std::vector<AnimatedSurface::Frame> frames;
    for (const AnimationFrameInfo& info : document.GetFrames()) {
        AnimatedSurface::Frame frame;
        frame.image = FetchFrame(info.image);
        if (!frame.image)
            continue;
        frame.seconds = info.seconds;
        frame.x = info.x;
        frame.y = info.y;
        frames.push_back(frame);
    }
    if (frames.empty())
        return nullptr;
    const NarrowString& script = document.GetScriptPath();
    return MakeSmart<AnimatedSurface>(frames, document.IsLooping(),
                                      script.empty() ? nullptr : script.c_str());
}

void AnimImageLoader::SetFrameFetcher(SurfaceFetcher fetcher)
{
    s_fetcher.store(fetcher, std::memory_order_release);
}

SurfaceFetcher AnimImageLoader::GetFrameFetcher()
{
    return s_fetcher.load(std::memory_order_acquire);
}

} // namespace Tarv
