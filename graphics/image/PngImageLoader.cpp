// PNG reading: libpng errors jump back here and become a null result; the decoded row size is
// checked against the buffer before any row is written.
#include "graphics/image/PngImageLoader.h"

#include "graphics/image/MemPixelData.h"
#include "graphics/render/PixelDataGL.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <utility>
#include <vector>

namespace Tarv
{

namespace
{

// Everything with a destructor lives here, outside the frame that calls setjmp.
struct PngReadState
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    // Either memory pixels (blue first) or, for a texture, the padded texture layout (red
    // first) the texture adopts.
    bool texture = false;
    SmartPtr<MemPixelData> pixels;
    std::vector<std::uint8_t> staged;
    int format = 0;
    int width = 0;
    int height = 0;
    std::vector<png_bytep> rows;
};

void ReadCallback(png_structp png, png_bytep out, png_size_t count)
{
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (count > state->size - state->offset)
        png_error(png, "truncated");
    std::memcpy(out, state->data + state->offset, count);
    state->offset += count;
}

void ErrorCallback(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void WarningCallback(png_structp, png_const_charp)
{
}

// Sets the transformations and returns the pixel format, or -1 for an image we refuse.
int PrepareTransforms(png_structp png, png_infop info, bool redFirst)
{
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (!PixelData::IsSizeAllowed(width, height))
        return -1;
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (hasTrns)
        png_set_tRNS_to_alpha(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) && !redFirst)
        png_set_bgr(png);
    // Grey with a transparency chunk gains an alpha byte, which format 0 cannot hold: it is
    // widened to RGBA like grey with alpha.
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA || (colorType == PNG_COLOR_TYPE_GRAY && hasTrns))
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);

    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return hasTrns ? PIXEL_FORMAT_RGBA8888 : PIXEL_FORMAT_A8;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_PALETTE: return hasTrns ? PIXEL_FORMAT_RGBA8888 : PIXEL_FORMAT_RGB888;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    case PNG_COLOR_TYPE_RGB_ALPHA: return PIXEL_FORMAT_RGBA8888;
    default: return -1;
    }
}

// Allocates the pixels and row table once libpng has reported the final row size.
bool AllocateRows(png_structp png, png_infop info, int format, PngReadState& state)
{
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    std::uint8_t* first = nullptr;
    std::size_t pitch = 0;
    if (state.texture) {
        const int texel = PixelData::GetFormatInfo(format)->bytesPerPixel;
        pitch = std::size_t(PixelDataGL::PaddedSize(int(width))) * std::size_t(texel);
        state.staged.resize(pitch * std::size_t(PixelDataGL::PaddedSize(int(height))));
        first = state.staged.data();
        if (png_get_rowbytes(png, info) != std::size_t(width) * std::size_t(texel))
            return false;
    } else {
        state.pixels = new MemPixelData(int(width), int(height), format);
        first = state.pixels->GetPixels();
        pitch = std::size_t(state.pixels->GetPitch());
        if (first == nullptr || png_get_rowbytes(png, info) != pitch)
            return false;
    }
    state.format = format;
    state.width = int(width);
    state.height = int(height);
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        state.rows[y] = first + std::size_t(y) * pitch;
    return true;
}

// Holds the setjmp; only plain locals here, so the jump skips no destructor.
bool ReadPng(png_structp png, png_infop info, PngReadState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &state, ReadCallback);
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    png_set_chunk_malloc_max(png, MAX_IMAGE_BYTES);
    png_read_info(png, info);
    const int format = PrepareTransforms(png, info, state.texture);
    if (format < 0)
        return false;
    png_read_update_info(png, info);
    if (!AllocateRows(png, info, format, state))
        return false;
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool PngImageLoader::Probe(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t SIGNATURE[4] = {137, 80, 78, 71};
    return data != nullptr && size >= 4 && std::memcmp(data, SIGNATURE, 4) == 0;
}

namespace
{

// Runs the reader over the whole file into state; false for a damaged or refused file.
bool RunPng(const std::uint8_t* data, std::size_t size, PngReadState& state)
{
    if (!PngImageLoader::Probe(data, size))
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorCallback,
                                             WarningCallback);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    state.data = data;
    state.size = size;
    const bool ok = ReadPng(png, info, state);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

} // namespace

SmartPtr<PixelData> PngImageLoader::Decode(const std::uint8_t* data, std::size_t size)
{
    PngReadState state;
    if (!RunPng(data, size, state))
        return nullptr;
    return SmartPtr<PixelData>(state.pixels.Get());
}

PixelDataGL* PngImageLoader::DecodeTexture(const std::uint8_t* data, std::size_t size)
{
    // Rows go straight into the padded texture layout, red first: no memory image, no staging
    // copy. The pixel formats 0, 2 and 3 are the texture's formats of the same numbers.
    PngReadState state;
    state.texture = true;
    if (!RunPng(data, size, state))
        return nullptr;
    return FinishStaged(state.width, state.height, state.format, std::move(state.staged));
}

} // namespace Tarv
