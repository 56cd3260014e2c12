// Staged pixel data: the conversion of decoded pixels into the texture layout (red first,
// edges padded by the texture's own helper), done on the CPU so the upload is a single call.
#include "graphics/image/StagedPixelData.h"

#include "graphics/image/PixelDataRLE.h"
#include "graphics/image/RunLength.h"
#include "graphics/render/PixelDataGL.h"

#include <GLES2/gl2.h>

#include <cstring>

namespace Tarv
{

namespace
{

int StagedBytesPerPixel(PixelFormat sourceFormat)
{
    switch (sourceFormat) {
    case PIXEL_FORMAT_A8: return 1;
    case PIXEL_FORMAT_RGB565:
    case PIXEL_FORMAT_RGB888: return 3;
    default: return 4;
    }
}

void ConvertRow(const std::uint8_t* in, PixelFormat format, int width, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x) {
        switch (format) {
        case PIXEL_FORMAT_A8:
            out[x] = in[x];
            break;
        case PIXEL_FORMAT_RGB565: {
            const unsigned v = unsigned(in[2 * x]) | (unsigned(in[2 * x + 1]) << 8);
            const unsigned r5 = v >> 11, g6 = (v >> 5) & 0x3F, b5 = v & 0x1F;
            out[3 * x] = std::uint8_t((r5 << 3) | (r5 >> 2));
            out[3 * x + 1] = std::uint8_t((g6 << 2) | (g6 >> 4));
            out[3 * x + 2] = std::uint8_t((b5 << 3) | (b5 >> 2));
            break;
        }
        case PIXEL_FORMAT_RGB888:
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
            break;
        default:
            out[4 * x] = in[4 * x + 2];
            out[4 * x + 1] = in[4 * x + 1];
            out[4 * x + 2] = in[4 * x];
            out[4 * x + 3] = in[4 * x + 3];
            break;
        }
    }
}

} // namespace

StagedPixelData::StagedPixelData(PixelData* source)
{
    m_uploadInfo.reset(new UploadInfo);
    if (source == nullptr)
        return;
    m_width = source->GetWidth();
    m_height = source->GetHeight();
    m_pitch = source->GetPitch();
    const PixelFormat sourceFormat = source->GetFormat();
    if (sourceFormat == PIXEL_FORMAT_A8)
        m_format = PIXEL_FORMAT_A8;
    else if (sourceFormat == PIXEL_FORMAT_RGB565 || sourceFormat == PIXEL_FORMAT_RGB888)
        m_format = PIXEL_FORMAT_RGB888;
    else
        m_format = PIXEL_FORMAT_RGBA8888;
    SetTextureSize(m_format == PIXEL_FORMAT_A8 ? GL_ALPHA
                   : m_format == PIXEL_FORMAT_RGB888 ? GL_RGB : GL_RGBA);
    m_uploadInfo->source = source;
    m_uploadInfo->stagedPixels = StagePixels(source, m_uploadInfo->textureWidth,
                                             m_uploadInfo->textureHeight);
}

StagedPixelData::StagedPixelData(int width, int height, PixelFormat format)
{
    m_uploadInfo.reset(new UploadInfo);
    m_width = width;
    m_height = height;
    m_pitch = width;
    m_format = (format == PIXEL_FORMAT_A8 || format == PIXEL_FORMAT_RGBA8888) ? format
                                                                              : PIXEL_FORMAT_RGB888;
    SetTextureSize(m_format == PIXEL_FORMAT_A8 ? GL_ALPHA
                   : m_format == PIXEL_FORMAT_RGB888 ? GL_RGB : GL_RGBA);
}

void StagedPixelData::SetTextureSize(std::uint32_t glFormat)
{
    m_uploadInfo->internalFormat = glFormat;
    m_uploadInfo->pixelFormat = glFormat;
    m_uploadInfo->textureWidth = TextureSize(m_width);
    m_uploadInfo->textureHeight = TextureSize(m_height);
    m_uScale = 1.0f / float(m_uploadInfo->textureWidth);
    m_vScale = 1.0f / float(m_uploadInfo->textureHeight);
}

int StagedPixelData::TextureSize(int size)
{
    return PixelDataGL::PaddedSize(size);
}

std::unique_ptr<std::uint8_t[]> StagedPixelData::StagePixels(const PixelData* source, int textureWidth,
                                                         int textureHeight)
{
    std::vector<std::uint8_t> staged;
    if (!StageInto(source, textureWidth, textureHeight, staged))
        return nullptr;
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[staged.size()]);
    std::memcpy(out.get(), staged.data(), staged.size());
    return out;
}

bool StagedPixelData::StageInto(const PixelData* source, int textureWidth, int textureHeight,
                            std::vector<std::uint8_t>& out)
{
    if (source == nullptr || source->GetPixelsConst() == nullptr)
        return false;
    const int width = source->GetWidth();
    const int height = source->GetHeight();
    if (!IsSizeAllowed(width, height) || textureWidth < width || textureHeight < height)
        return false;
    const PixelFormat format = source->GetFormat();
    const int staged = StagedBytesPerPixel(format);
    const std::size_t stride = std::size_t(textureWidth) * staged;
    out.assign(stride * std::size_t(textureHeight), 0);

    if (format == PIXEL_FORMAT_RLE) {
        // Only PixelDataRLE reports the run-length kind; its data size bounds the decoder.
        if (source->GetKind() != PIXEL_DATA_KIND_RLE)
            return false;
        const auto* rle = static_cast<const PixelDataRLE*>(source);
        DecodeRunLength(rle->GetPixelsConst(), std::size_t(rle->GetSize()), width, height,
                        out.data(), stride);
    } else {
        const int bytesPerPixel = GetFormatInfo(format)->bytesPerPixel;
        const std::size_t pitch = std::size_t(width) * bytesPerPixel;
        for (int y = 0; y < height; ++y)
            ConvertRow(source->GetPixelsConst() + pitch * y, format, width, out.data() + stride * y);
    }
    PixelDataGL::PadEdges(out.data(), width, height, textureWidth, textureHeight, staged);
    return true;
}

} // namespace Tarv
