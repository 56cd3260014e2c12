// Fuzzes the image probe and every reader, then stages what they decode into a texture layout,
// so malformed headers, runs and compressed data are driven through all of it.
#include "graphics/image/ImageLoader.h"
#include "graphics/image/ImageLoader565.h"
#include "graphics/image/JpegImageLoader.h"
#include "graphics/image/PixelDataGL.h"
#include "graphics/image/PngImageLoader.h"
#include "graphics/image/RLEImageLoader.h"
#include "graphics/image/TgaImageLoader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

// Staging pads to powers of two; keep the fuzzer's memory use small.
constexpr int MAX_STAGED_PIXELS = 1 << 20;

void Stage(const Tarv::SmartPtr<Tarv::PixelData>& pixels)
{
    if (!pixels || std::int64_t(pixels->GetWidth()) * pixels->GetHeight() > MAX_STAGED_PIXELS)
        return;
    Tarv::PixelDataGL texture(pixels.Get());
    std::vector<std::uint8_t> tga;
    Tarv::TgaImageLoader().Save(*pixels, tga);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Stage(Tarv::ImageLoader::DecodeImage(data, size));
    // Each reader also sees every input past its own signature, so TGA and the raw formats get
    // headers the probe would send elsewhere.
    if (size < 1)
        return 0;
    std::vector<std::uint8_t> body(data + 1, data + size);
    switch (data[0] % 5) {
    case 0: body.insert(body.begin(), {'C', 'R', 'L', 'E'}); Stage(Tarv::RLEImageLoader().Decode(body.data(), body.size())); break;
    case 1: body.insert(body.begin(), {'C', '5', '6', '5'}); Stage(Tarv::ImageLoader565().Decode(body.data(), body.size())); break;
    case 2: Stage(Tarv::TgaImageLoader().Decode(body.data(), body.size())); break;
    case 3: body.insert(body.begin(), {0xFF, 0xD8, 0xFF, 0xE0}); Stage(Tarv::JpegImageLoader().Decode(body.data(), body.size())); break;
    default: body.insert(body.begin(), {137, 80, 78, 71, 13, 10, 26, 10}); Stage(Tarv::PngImageLoader().Decode(body.data(), body.size())); break;
    }
    return 0;
}
