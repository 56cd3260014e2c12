// Fuzzes the image probe and every reader, then stages what they decode into a texture layout,
// so malformed headers, runs and compressed data are driven through all of it; the whole input
// also goes through the probed reader's straight-to-texture decoding.
#include "graphics/image/ImageLoader.h"
#include "graphics/image/ImageLoader565.h"
#include "graphics/image/JpegImageLoader.h"
#include "graphics/image/StagedPixelData.h"
#include "graphics/image/PngImageLoader.h"
#include "graphics/image/RLEImageLoader.h"
#include "graphics/image/TgaImageLoader.h"
#include "graphics/render/PixelDataGL.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace
{

// Staging pads to powers of two; keep the fuzzer's memory use small.
constexpr int MAX_STAGED_PIXELS = 1 << 20;

void Stage(const Tarv::SmartPtr<Tarv::PixelData>& pixels)
{
    if (!pixels || std::int64_t(pixels->GetWidth()) * pixels->GetHeight() > MAX_STAGED_PIXELS)
        return;
    Tarv::StagedPixelData texture(pixels.Get());
    std::vector<std::uint8_t> tga;
    Tarv::TgaImageLoader().Encode(*pixels, tga);
}

// Decodes the signature followed by the fuzzer's bytes with one reader.
Tarv::SmartPtr<Tarv::PixelData> DecodeWith(Tarv::ImageLoader&& loader,
                                           std::initializer_list<std::uint8_t> prefix,
                                           const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(prefix);
    bytes.insert(bytes.end(), data, data + size);
    return loader.Decode(bytes.data(), bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Stage(Tarv::ImageLoader::DecodeImage(data, size));
    if (Tarv::SmartPtr<Tarv::ImageLoader> loader = Tarv::ImageLoader::FindLoader(data, size))
        Tarv::SmartPtr<Tarv::PixelDataGL> texture(loader->DecodeTexture(data, size));
    // Each reader also sees every input past its own signature, so TGA and the raw formats get
    // headers the probe would send elsewhere.
    if (size < 1)
        return 0;
    const std::uint8_t* body = data + 1;
    const std::size_t bodySize = size - 1;
    switch (data[0] % 5) {
    case 0: Stage(DecodeWith(Tarv::RLEImageLoader(), {'C', 'R', 'L', 'E'}, body, bodySize)); break;
    case 1: Stage(DecodeWith(Tarv::ImageLoader565(), {'C', '5', '6', '5'}, body, bodySize)); break;
    case 2: Stage(DecodeWith(Tarv::TgaImageLoader(), {}, body, bodySize)); break;
    case 3: Stage(DecodeWith(Tarv::JpegImageLoader(), {0xFF, 0xD8, 0xFF, 0xE0}, body, bodySize)); break;
    default: Stage(DecodeWith(Tarv::PngImageLoader(), {137, 80, 78, 71, 13, 10, 26, 10}, body, bodySize)); break;
    }
    return 0;
}
