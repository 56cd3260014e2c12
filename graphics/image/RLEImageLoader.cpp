// "CRLE" reading: the header's sizes are checked against the file and the runs validated once.
#include "graphics/image/RLEImageLoader.h"

#include "graphics/image/PixelDataRLE.h"

#include <climits>
#include <cstring>

namespace Tarv
{

bool RLEImageLoader::Probe(const std::uint8_t* data, std::size_t size)
{
    return data != nullptr && size >= 4 && std::memcmp(data, "CRLE", 4) == 0;
}

SmartPtr<PixelData> RLEImageLoader::Decode(const std::uint8_t* data, std::size_t size)
{
    if (!Probe(data, size) || size < CRLE_HEADER_SIZE)
        return nullptr;
    const std::uint32_t width = ReadLittle32(data + 4);
    const std::uint32_t height = ReadLittle32(data + 8);
    const std::uint32_t dataSize = ReadLittle32(data + 12);
    if (!PixelData::IsSizeAllowed(width, height) || dataSize > size - CRLE_HEADER_SIZE
        || dataSize > unsigned(INT_MAX))
        return nullptr;
    return SmartPtr<PixelData>(
        PixelDataRLE::Create(int(width), int(height), int(dataSize), data + CRLE_HEADER_SIZE).Get());
}

} // namespace Tarv
