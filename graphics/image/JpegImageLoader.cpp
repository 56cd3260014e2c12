// JPEG reading: the library's errors jump back here instead of ending the process, and only
// 1- and 3-component images are decoded, straight into blue, green, red rows.
#include "graphics/image/JpegImageLoader.h"

#include "graphics/image/MemPixelData.h"
#include "graphics/render/PixelDataGL.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

// jpeglib.h needs the stdio declarations above it; jerror.h needs jpeglib.h.
#include <jpeglib.h>
#include <jerror.h>

namespace Tarv
{

namespace
{

// Progressive files can ask for thousands of scans; real images need far fewer.
constexpr int MAX_SCANS = 256;

struct JpegErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

struct JpegReadState
{
    jpeg_decompress_struct info;
    JpegErrorManager error;
    jpeg_progress_mgr progress;
    // Memory pixels (blue first), or for a texture the padded texture layout (red first).
    bool texture = false;
    SmartPtr<MemPixelData> pixels;
    std::vector<std::uint8_t> staged;
    int width = 0;
    int height = 0;
};

void ErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(error->jump, 1);
}

void OutputMessage(j_common_ptr)
{
}

// Warnings are dropped, except the end of data inside the image: the library would fill the
// rest with grey, and a truncated file should not pass for an image.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ErrorExit(info);
}

void LimitScans(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > MAX_SCANS)
        ErrorExit(info);
}

// Holds the setjmp; state owns everything with a destructor.
bool ReadJpeg(JpegReadState& state, const std::uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct& info = state.info;
    if (setjmp(state.error.jump))
        return false;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!PixelData::IsSizeAllowed(info.image_width, info.image_height))
        return false;
    if (info.num_components != 1 && info.num_components != 3)
        return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        return false;
    info.out_color_space = state.texture ? JCS_EXT_RGB : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    if (info.output_components != 3
        || !PixelData::IsSizeAllowed(info.output_width, info.output_height))
        return false;
    state.width = int(info.output_width);
    state.height = int(info.output_height);
    std::uint8_t* first = nullptr;
    std::size_t pitch = 0;
    if (state.texture) {
        pitch = std::size_t(PixelDataGL::PaddedSize(state.width)) * 3;
        state.staged.resize(pitch * std::size_t(PixelDataGL::PaddedSize(state.height)));
        first = state.staged.data();
    } else {
        state.pixels = new MemPixelData(state.width, state.height, PIXEL_FORMAT_RGB888);
        first = state.pixels->GetPixels();
        pitch = std::size_t(state.pixels->GetPitch());
    }
    if (first == nullptr)
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = first + std::size_t(info.output_scanline) * pitch;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

bool JpegImageLoader::Probe(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t START[4] = {0xFF, 0xD8, 0xFF, 0xE0};
    return data != nullptr && size >= 4 && std::memcmp(data, START, 4) == 0;
}

namespace
{

// Runs the decoder over the whole file into state; false for a damaged or refused file.
bool RunJpeg(const std::uint8_t* data, std::size_t size, JpegReadState& state)
{
    if (!JpegImageLoader::Probe(data, size))
        return false;
    state.info.err = jpeg_std_error(&state.error.base);
    state.error.base.error_exit = ErrorExit;
    state.error.base.output_message = OutputMessage;
    state.error.base.emit_message = EmitMessage;
    std::memset(&state.progress, 0, sizeof(state.progress));
    state.progress.progress_monitor = LimitScans;
    if (setjmp(state.error.jump))
        return false;
    jpeg_create_decompress(&state.info);
    state.info.progress = &state.progress;
    const bool ok = ReadJpeg(state, data, size);
    jpeg_destroy_decompress(&state.info);
    return ok;
}

} // namespace

SmartPtr<PixelData> JpegImageLoader::Decode(const std::uint8_t* data, std::size_t size)
{
    JpegReadState state;
    if (!RunJpeg(data, size, state))
        return nullptr;
    return SmartPtr<PixelData>(state.pixels.Get());
}

PixelDataGL* JpegImageLoader::DecodeTexture(const std::uint8_t* data, std::size_t size)
{
    JpegReadState state;
    state.texture = true;
    if (!RunJpeg(data, size, state))
        return nullptr;
    return FinishStaged(state.width, state.height, PIXEL_FORMAT_RGB888, std::move(state.staged));
}

} // namespace Tarv
