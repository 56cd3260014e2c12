// Tarv::StagedPixelData: pixel data staged on the CPU (any thread) into the padded power-of-two
// texture layout, or an empty render target; CreateTexture (ImageSurface.h) turns it into a
// render-layer texture, which owns the GL side.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/PixelData.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Tarv
{

class StagedPixelData : public PixelData
{
public:
    // What the texture is made from; kept for the object's lifetime.
    struct UploadInfo
    {
        std::uint32_t internalFormat = 0; // GL_ALPHA, GL_RGB or GL_RGBA
        std::uint32_t pixelFormat = 0;    // always equal to internalFormat
        int textureHeight = 1;
        int textureWidth = 1;
        std::unique_ptr<std::uint8_t[]> stagedPixels; // texture layout, or null (empty target)
        SmartPtr<PixelData> source;
    };

    // Stages source's pixels (kind 0 or 1) into the texture layout; makes no GL call. A source
    // without pixels leaves nothing staged.
    explicit StagedPixelData(PixelData* source);
    // An empty render target: format 0 stays 0, 3 stays 3, anything else becomes 2.
    StagedPixelData(int width, int height, PixelFormat format);

    // The smallest power of two >= size; 1 for sizes up to 1.
    static int TextureSize(int size);
    // W x H pixels of the staged bytes per pixel (1, 3 or 4): each source row converted to
    // red, green, blue (, alpha) order and its last pixel repeated up to column W, the last row
    // repeated down to row H. Null when source holds no pixels, is too big or W, H are smaller
    // than its size. Run-length data that does not decode leaves zero bytes.
    static std::unique_ptr<std::uint8_t[]> StagePixels(const PixelData* source, int textureWidth,
                                                       int textureHeight);
    // The same staging into out (resized to fit), the form a texture adopts without a copy;
    // false (out unspecified) where StagePixels gives null.
    static bool StageInto(const PixelData* source, int textureWidth, int textureHeight,
                          std::vector<std::uint8_t>& out);

    const UploadInfo* GetUploadInfo() const { return m_uploadInfo.get(); }

    float GetUScale() const override { return m_uScale; }
    float GetVScale() const override { return m_vScale; }
    int GetKind() const override { return PIXEL_DATA_KIND_GL; }

private:
    void SetTextureSize(std::uint32_t glFormat);

    float m_uScale = 1.0f;
    float m_vScale = 1.0f;
    std::unique_ptr<UploadInfo> m_uploadInfo;
};

} // namespace Tarv
