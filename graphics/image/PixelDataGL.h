// Tarv::PixelDataGL: the pixel data behind every surface, a power-of-two texture. Construction
// stages the pixels on the CPU (any thread); the texture is created later by the drawing thread
// through the texture backend that the graphics layer installs.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/image/PixelData.h"

#include <cstdint>
#include <memory>

namespace Tarv
{

class PixelDataGL : public PixelData
{
public:
    // What the upload needs; freed by CompleteUpload or the destructor.
    struct UploadInfo
    {
        std::uint32_t internalFormat = 0; // GL_ALPHA, GL_RGB or GL_RGBA
        std::uint32_t pixelFormat = 0;    // always equal to internalFormat
        int textureHeight = 1;
        int textureWidth = 1;
        std::unique_ptr<std::uint8_t[]> stagedPixels; // texture layout, or null (empty target)
        SmartPtr<PixelData> source;
    };

    // The GL calls, supplied by the graphics layer and called on the drawing thread only.
    // upload creates the texture from GetUploadInfo (with linear filtering when flags & 2) and
    // then calls CompleteUpload; release deletes the texture and framebuffer of a dying object.
    struct TextureBackend
    {
        void (*upload)(PixelDataGL& data, std::uint32_t flags);
        void (*release)(PixelDataGL& data);
    };

    // Framebuffer name of a texture that has none yet.
    static const std::uint32_t INVALID_FRAMEBUFFER;

    // Stages source's pixels (kind 0 or 1) into the texture layout; makes no GL call. A source
    // without pixels leaves nothing staged.
    explicit PixelDataGL(PixelData* source);
    // An empty render target: format 0 stays 0, 3 stays 3, anything else becomes 2.
    PixelDataGL(int width, int height, PixelFormat format);
    ~PixelDataGL() override;

    // Installs the backend (null removes it); safe to call from any thread.
    static void SetTextureBackend(const TextureBackend* backend);

    // The smallest power of two >= size; 1 for sizes up to 1.
    static int TextureSize(int size);
    // W x H pixels of the staged bytes per pixel (1, 3 or 4): each source row converted to
    // red, green, blue (, alpha) order and its last pixel repeated up to column W, the last row
    // repeated down to row H. Null when source holds no pixels, is too big or W, H are smaller
    // than its size. Run-length data that does not decode leaves zero bytes.
    static std::unique_ptr<std::uint8_t[]> StagePixels(const PixelData* source, int textureWidth,
                                                       int textureHeight);

    // Creates the texture through the backend unless it exists; drawing thread only.
    void Upload(std::uint32_t flags);
    // Called by the backend once the texture exists: frees the staging and the source.
    void CompleteUpload(std::uint32_t texture);
    const UploadInfo* GetUploadInfo() const { return m_uploadInfo.get(); }

    float GetUScale() const override { return m_uScale; }
    float GetVScale() const override { return m_vScale; }
    int GetKind() const override { return PIXEL_DATA_KIND_GL; }

    std::uint32_t GetTexture() const { return m_texture; }
    std::uint32_t GetFramebuffer() const { return m_framebuffer; }
    void SetFramebuffer(std::uint32_t framebuffer) { m_framebuffer = framebuffer; }
    bool IsUploaded() const { return m_uploaded; }

private:
    void SetTextureSize(std::uint32_t glFormat);

    std::uint32_t m_texture = 0;
    std::uint32_t m_framebuffer = INVALID_FRAMEBUFFER;
    bool m_uploaded = false;
    float m_uScale = 1.0f;
    float m_vScale = 1.0f;
    std::unique_ptr<UploadInfo> m_uploadInfo;
};

} // namespace Tarv
