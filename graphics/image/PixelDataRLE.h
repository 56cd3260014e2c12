// Tarv::PixelDataRLE: run-length encoded pixels (format 4) as read from "CRLE" files; they are
// decoded once, when a texture is staged from them.
#pragma once

#include "graphics/render/PixelData.h"
#include "engine/core/SmartPtr.h"

#include <memory>

namespace Tarv
{

class PixelDataRLE : public PixelData
{
public:
    // Copies size bytes of encoded data; a negative size or null data holds none.
    PixelDataRLE(int width, int height, int size, const std::uint8_t* data);

    // The checked way in for data from files: null unless the size is allowed and the data
    // decodes to exactly width x height pixels (see DecodeRunLength).
    static SmartPtr<PixelDataRLE> Create(int width, int height, int size, const std::uint8_t* data);

    std::uint8_t* GetPixels() override { return m_data.get(); }
    const std::uint8_t* GetPixelsConst() const override { return m_data.get(); }
    int GetKind() const override { return PIXEL_DATA_KIND_RLE; }

    int GetSize() const { return m_size; }

private:
    int m_size = 0;
    std::unique_ptr<std::uint8_t[]> m_data;
};

} // namespace Tarv
