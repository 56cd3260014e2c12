// Tarv::Texture: the GL side of an image: pixels staged in the layout GL wants until the first
// draw uploads them, the texture name, the framebuffer object when it is drawn into, and the
// texture-coordinate scales. Also stands for the screen's default framebuffer.
#pragma once

#include "engine/core/RefCounter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarv
{

// Pixel formats of the engine's images.
constexpr int PIXEL_FORMAT_ALPHA8 = 0;   // 1 byte: alpha only (font pages)
constexpr int PIXEL_FORMAT_RGB565 = 1;   // 2 bytes, native order; staged as RGB888
constexpr int PIXEL_FORMAT_RGB888 = 2;   // 3 bytes r, g, b
constexpr int PIXEL_FORMAT_RGBA8888 = 3; // 4 bytes r, g, b, a

class Texture : public RefCounter
{
public:
    // No framebuffer object made yet; 0 is the default framebuffer (the screen).
    static constexpr unsigned int NO_FRAMEBUFFER = 0xffffffffu;
    // Larger images are refused before anything is allocated.
    static constexpr int MAX_DIMENSION = 8192;

    // An image from tightly packed rows of the given format, copied (and staged) at once; no GL
    // call is made, so a loader thread may do this. Null when the size or format is not valid
    // or `size` holds fewer bytes than width x height pixels. Count 0.
    static Texture* CreateFromPixels(int width, int height, int format, const std::uint8_t* bytes,
                                     std::size_t size);
    // An empty off-screen target; texture and framebuffer object are made at first use. Null
    // for a size or format that is not valid. Count 0.
    static Texture* CreateTarget(int width, int height, int format);
    // The screen's default framebuffer: texture and framebuffer name 0, never uploaded.
    static Texture* CreateScreen(int width, int height);

    // Tells the batcher, then deletes the GL objects. Off the GL thread the names are queued and
    // deleted by the next DeleteQueuedNames on the GL thread.
    ~Texture() override;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // The thread that owns the GL context; OpenGLCaps::Init records it.
    static void SetGLThread();
    // Deletes the names that textures freed on other threads left behind (GL thread only).
    static void DeleteQueuedNames();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The engine format of the image as drawn (565 images are staged and drawn as RGB888).
    int GetFormat() const { return m_format; }
    bool IsScreen() const { return m_screen; }
    bool IsRenderTarget() const { return m_target; }
    // Texture u and v per pixel: 1 / padded width and 1 / padded height.
    float GetUScale() const { return m_uScale; }
    float GetVScale() const { return m_vScale; }
    int GetPaddedWidth() const { return m_paddedWidth; }
    int GetPaddedHeight() const { return m_paddedHeight; }

    unsigned int GetTextureName() const { return m_texture; }
    unsigned int GetFramebuffer() const { return m_framebuffer; }
    void SetFramebuffer(unsigned int framebuffer) { m_framebuffer = framebuffer; }
    // True once the upload has been made (or tried: a refused upload leaves name 0).
    bool HasTexture() const { return m_uploaded; }
    // False when the upload was refused (larger than the driver's limit): draws nothing.
    bool IsDrawable() const { return !m_uploaded || m_texture != 0; }

    // The colour that the colour key discards: magenta unless set.
    const std::uint8_t* GetColorKey() const { return m_colorKey; }
    void SetColorKey(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    // Makes and fills the GL texture (bound to GL_TEXTURE_2D afterwards) and frees the staged
    // pixels. flags bit 2 selects linear filtering. False when the driver cannot hold it.
    bool Upload(std::uint32_t flags);

    // The screen's new size (screen only).
    void Resize(int width, int height);

    // Staged bytes, for tests: padded rows, 1, 3 or 4 bytes a texel; empty after upload.
    const std::vector<std::uint8_t>& GetStagedPixels() const { return m_staged; }

private:
    Texture(int width, int height, int format);

    int m_width;
    int m_height;
    int m_format;
    int m_paddedWidth;
    int m_paddedHeight;
    float m_uScale;
    float m_vScale;
    unsigned int m_texture = 0;
    unsigned int m_framebuffer = NO_FRAMEBUFFER;
    bool m_uploaded = false;
    bool m_screen = false;
    bool m_target = false;
    std::uint8_t m_colorKey[4] = {255, 0, 255, 255};
    std::vector<std::uint8_t> m_staged;
};

} // namespace Tarv
