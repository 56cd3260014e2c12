// "C565" and "CRLE" writing, in the layouts the engine's readers take.
#include "tools/image/ImageConvert.h"

#include "graphics/image/RunLength.h"

namespace Tarv
{

namespace
{

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

bool IsUsable(const RgbaImage& image)
{
    return image.width > 0 && image.height > 0
        && image.pixels.size() == std::size_t(image.width) * image.height * 4;
}

} // namespace

bool ImageConvert::WriteC565(const RgbaImage& image, std::vector<std::uint8_t>& out)
{
    if (!IsUsable(image))
        return false;
    out = {'C', '5', '6', '5'};
    PutU32(out, std::uint32_t(image.width));
    PutU32(out, std::uint32_t(image.height));
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        const std::uint8_t* p = &image.pixels[i];
        const unsigned word = ((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3);
        out.push_back(std::uint8_t(word & 0xFF));
        out.push_back(std::uint8_t(word >> 8));
    }
    return true;
}

bool ImageConvert::WriteCrle(const RgbaImage& image, std::vector<std::uint8_t>& out)
{
    if (!IsUsable(image))
        return false;
    const std::vector<std::uint8_t> runs = EncodeRunLength(image.pixels.data(), image.width, image.height);
    if (runs.empty())
        return false;
    out = {'C', 'R', 'L', 'E'};
    PutU32(out, std::uint32_t(image.width));
    PutU32(out, std::uint32_t(image.height));
    PutU32(out, std::uint32_t(runs.size()));
    out.insert(out.end(), runs.begin(), runs.end());
    return true;
}

} // namespace Tarv
