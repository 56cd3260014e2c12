// Tarv::PixelDataGL: the texture pixel data (kind 3) behind every surface: pixels staged in the
// layout GL wants until the first draw uploads them, the texture name, the framebuffer object
// when it is drawn into, and the texture-coordinate scales. Also stands for the screen's
// default framebuffer. Its pixels live on the GPU: the pixel access is the base one.
#pragma once

#include "graphics/render/PixelData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarv
{

class PixelDataGL : public PixelData
{
public:
    // Formats of the pixels handed in; the numbers are the engine's image formats, the byte
    // order is the one GL takes (red first).
    static constexpr int FORMAT_ALPHA8 = 0;   // 1 byte: alpha only (font pages)
    static constexpr int FORMAT_RGB565 = 1;   // 2 bytes, native order; staged as RGB888
    static constexpr int FORMAT_RGB888 = 2;   // 3 bytes r, g, b
    static constexpr int FORMAT_RGBA8888 = 3; // 4 bytes r, g, b, a

    // No framebuffer object made yet; 0 is the default framebuffer (the screen).
    static constexpr unsigned int InvalidFramebuffer = 0xffffffffu;
    // Larger images are refused before anything is allocated.
    static constexpr int MAX_DIMENSION = 8192;

    // An image from tightly packed rows of the given format, copied (and staged) at once; no GL
    // call is made, so a loader thread may do this. Null when the size or format is not valid
    // or `size` holds fewer bytes than width x height pixels. Count 0.
    static PixelDataGL* CreateFromPixels(int width, int height, int format, const std::uint8_t* bytes,
                                     std::size_t size);
    // Takes pixels already in texture layout without a copy: PaddedSize(width) x
    // PaddedSize(height) texels of TexelBytes(format) bytes (format 0, 2 or 3), as the image
    // readers decode them. Null (staged left untouched) when the sizes or format do not fit.
    // Count 0. The one way staged pixels enter a texture: CreateFromPixels stages through it.
    static PixelDataGL* AdoptStaged(int width, int height, int format,
                                std::vector<std::uint8_t>&& staged);
    // The staging helpers every image path shares. TexelBytes: 1, 3 or 4 for the staged formats
    // 0, 2 and 3, else 0. PaddedSize: the smallest power of two >= size (1 up to size 1).
    static int TexelBytes(int format);
    static int PaddedSize(int size);
    // True when both sides are 1..MAX_DIMENSION. A side over MAX_DIMENSION is reported on
    // stderr (the image then draws nothing); other sizes are damaged data and not reported.
    static bool CheckSize(int width, int height);
    // Finishes a staging whose first width texels of the first height rows are set: each row's
    // last texel is repeated up to paddedWidth and the last row down to paddedHeight, so linear
    // filtering at the right and bottom edges never mixes in padding.
    static void PadEdges(std::uint8_t* staged, int width, int height, int paddedWidth,
                         int paddedHeight, int texelBytes);
    // An empty off-screen target; texture and framebuffer object are made at first use. Null
    // for a size or format that is not valid. Count 0.
    static PixelDataGL* CreateTarget(int width, int height, int format);
    // The screen's default framebuffer: texture and framebuffer name 0, never uploaded.
    static PixelDataGL* CreateScreen(int width, int height);

    // Tells the batcher, then deletes the GL objects. Off the GL thread the names are queued and
    // deleted by the next DeleteQueuedNames on the GL thread.
    ~PixelDataGL() override;
    PixelDataGL(const PixelDataGL&) = delete;
    PixelDataGL& operator=(const PixelDataGL&) = delete;

    // The thread that owns the GL context; OpenGLCaps::Init records it.
    static void SetGLThread();
    // Deletes the names that textures freed on other threads left behind (GL thread only).
    static void DeleteQueuedNames();

    // GetFormat: the engine format of the image as drawn (565 images are staged and drawn as
    // RGB888).
    int GetKind() const override { return PIXEL_DATA_KIND_GL; }
    bool IsScreen() const { return m_screen; }
    bool IsRenderTarget() const { return m_target; }
    // Texture u and v per pixel: 1 / padded width and 1 / padded height.
    float GetUScale() const override { return m_uScale; }
    float GetVScale() const override { return m_vScale; }
    int GetPaddedWidth() const { return m_paddedWidth; }
    int GetPaddedHeight() const { return m_paddedHeight; }

    unsigned int GetTextureName() const { return m_texture; }
    unsigned int GetFramebuffer() const { return m_framebuffer; }
    void SetFramebuffer(unsigned int framebuffer) { m_framebuffer = framebuffer; }
    // True once the upload has been made (or tried: a refused upload leaves name 0).
    bool HasTexture() const { return m_uploaded; }
    // False when the upload was refused (larger than the driver's limit): draws nothing.
    bool IsDrawable() const { return !m_uploaded || m_texture != 0; }

    // Makes and fills the GL texture (bound to GL_TEXTURE_2D afterwards) and frees the staged
    // pixels. flags bit 2 selects linear filtering. False when the driver cannot hold it; that
    // is reported once on stderr, and the texture then draws nothing.
    bool Upload(std::uint32_t flags);

    // The screen's new size (screen only).
    void Resize(int width, int height);

    // Staged bytes, for tests: padded rows, 1, 3 or 4 bytes a texel; empty after upload.
    const std::vector<std::uint8_t>& GetStagedPixels() const { return m_staged; }
    // The staged texel at (x, y) inside the image: alpha-only texels read (0, 0, 0, alpha),
    // RGB ones are opaque. False once uploaded or outside the image.
    bool ReadStaged(int x, int y, Color& out) const;

private:
    PixelDataGL(int width, int height, int format);

    int m_paddedWidth;
    int m_paddedHeight;
    float m_uScale;
    float m_vScale;
    unsigned int m_texture = 0;
    unsigned int m_framebuffer = InvalidFramebuffer;
    bool m_uploaded = false;
    bool m_screen = false;
    bool m_target = false;
    std::vector<std::uint8_t> m_staged;
};

} // namespace Tarv
