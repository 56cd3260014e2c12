// Staging of image pixels into power-of-two GL layout, lazy upload, and deletion of GL objects
// on the thread that owns the context.
#include "graphics/render/PixelDataGL.h"

#include "graphics/render/Batcher.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLCaps.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace Tarv
{

namespace
{

std::mutex s_queueLock;
std::vector<std::pair<unsigned int, unsigned int>> s_deleteQueue;
std::thread::id s_glThread;

int SourceBytesPerPixel(int format)
{
    static const int BYTES[] = {1, 2, 3, 4};
    return BYTES[format];
}

// 565 widened with bit replication, so white stays 255.
void Expand565(const std::uint8_t* in, std::uint8_t* out)
{
    std::uint16_t value = 0;
    std::memcpy(&value, in, 2);
    const unsigned red = (value >> 11) & 31u, green = (value >> 5) & 63u, blue = value & 31u;
    out[0] = static_cast<std::uint8_t>((red << 3) | (red >> 2));
    out[1] = static_cast<std::uint8_t>((green << 2) | (green >> 4));
    out[2] = static_cast<std::uint8_t>((blue << 3) | (blue >> 2));
}

// The batcher hears of the image going (owner), or of its names alone when the image was freed
// off the GL thread and only its names are left.
void DeleteNames(unsigned int texture, unsigned int framebuffer, PixelDataGL* owner)
{
    if (Batcher* batcher = Batcher::Instance.Get()) {
        if (owner != nullptr)
            batcher->ReleaseTexture(owner);
        else
            static_cast<OpenGLBatcher*>(batcher)->ReleaseNames(texture, framebuffer);
    }
    if (framebuffer != PixelDataGL::InvalidFramebuffer && framebuffer != 0)
        GLCalls::DeleteFramebuffers(1, &framebuffer);
    if (texture != 0)
        GLCalls::DeleteTextures(1, &texture);
}

} // namespace

PixelDataGL::PixelDataGL(int width, int height, int format)
    : m_paddedWidth(PaddedSize(width)), m_paddedHeight(PaddedSize(height)),
      m_uScale(1.0f / static_cast<float>(m_paddedWidth)),
      m_vScale(1.0f / static_cast<float>(m_paddedHeight))
{
    m_width = width;
    m_height = height;
    m_format = format;
}

int PixelDataGL::TexelBytes(int format)
{
    return format == FORMAT_ALPHA8 ? 1 : format == FORMAT_RGB888 ? 3 : format == FORMAT_RGBA8888 ? 4 : 0;
}

int PixelDataGL::PaddedSize(int size)
{
    int padded = 1;
    while (padded < size && padded < MAX_DIMENSION)
        padded *= 2;
    return padded;
}

bool PixelDataGL::CheckSize(int width, int height)
{
    if (width > MAX_DIMENSION || height > MAX_DIMENSION) {
        if (width > 0 && height > 0)
            std::fprintf(stderr, "brashwick: a %dx%d image is larger than %d pixels a side and "
                                 "is not drawn\n", width, height, MAX_DIMENSION);
        return false;
    }
    return width > 0 && height > 0;
}

void PixelDataGL::PadEdges(std::uint8_t* staged, int width, int height, int paddedWidth,
                       int paddedHeight, int texelBytes)
{
    const std::size_t texel = static_cast<std::size_t>(texelBytes);
    const std::size_t pitch = static_cast<std::size_t>(paddedWidth) * texel;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = staged + static_cast<std::size_t>(y) * pitch;
        const std::uint8_t* last = row + static_cast<std::size_t>(width - 1) * texel;
        for (int x = width; x < paddedWidth; ++x)
            std::memcpy(row + static_cast<std::size_t>(x) * texel, last, texel);
    }
    const std::uint8_t* lastRow = staged + static_cast<std::size_t>(height - 1) * pitch;
    for (int y = height; y < paddedHeight; ++y)
        std::memcpy(staged + static_cast<std::size_t>(y) * pitch, lastRow, pitch);
}

PixelDataGL* PixelDataGL::CreateFromPixels(int width, int height, int format, const std::uint8_t* bytes,
                                   std::size_t size)
{
    if (!CheckSize(width, height) || format < FORMAT_ALPHA8 || format > FORMAT_RGBA8888 ||
        bytes == nullptr)
        return nullptr;
    const std::size_t inPitch = static_cast<std::size_t>(width) * SourceBytesPerPixel(format);
    if (size / inPitch < static_cast<std::size_t>(height))
        return nullptr;

    const int staged = format == FORMAT_RGB565 ? FORMAT_RGB888 : format;
    const int paddedWidth = PaddedSize(width), paddedHeight = PaddedSize(height);
    const std::size_t texel = static_cast<std::size_t>(TexelBytes(staged));
    const std::size_t outPitch = static_cast<std::size_t>(paddedWidth) * texel;
    std::vector<std::uint8_t> out(outPitch * static_cast<std::size_t>(paddedHeight));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bytes + static_cast<std::size_t>(y) * inPitch;
        std::uint8_t* row = out.data() + static_cast<std::size_t>(y) * outPitch;
        if (format == FORMAT_RGB565) {
            for (int x = 0; x < width; ++x)
                Expand565(in + static_cast<std::size_t>(x) * 2, row + static_cast<std::size_t>(x) * 3);
        } else {
            std::memcpy(row, in, inPitch);
        }
    }
    PadEdges(out.data(), width, height, paddedWidth, paddedHeight, static_cast<int>(texel));
    return AdoptStaged(width, height, staged, std::move(out));
}

PixelDataGL* PixelDataGL::AdoptStaged(int width, int height, int format, std::vector<std::uint8_t>&& staged)
{
    const int texel = TexelBytes(format);
    if (!CheckSize(width, height) || texel == 0 ||
        staged.size() != static_cast<std::size_t>(PaddedSize(width)) *
                             static_cast<std::size_t>(PaddedSize(height)) *
                             static_cast<std::size_t>(texel))
        return nullptr;
    PixelDataGL* texture = new PixelDataGL(width, height, format);
    texture->m_staged = std::move(staged);
    return texture;
}

bool PixelDataGL::ReadStaged(int x, int y, Color& out) const
{
    if (m_staged.empty() || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    const int texel = TexelBytes(m_format);
    const std::uint8_t* p = m_staged.data() +
        (static_cast<std::size_t>(y) * m_paddedWidth + static_cast<std::size_t>(x)) * texel;
    if (texel == 1)
        out = Color{0, 0, 0, p[0]};
    else
        out = Color{p[0], p[1], p[2], texel == 4 ? p[3] : std::uint8_t(255)};
    return true;
}

PixelDataGL* PixelDataGL::CreateTarget(int width, int height, int format)
{
    if (!CheckSize(width, height))
        return nullptr;
    // Alpha and RGBA targets keep their format; every other format number draws as RGB.
    if (format != PixelDataGL::FORMAT_ALPHA8 && format != PixelDataGL::FORMAT_RGBA8888)
        format = PixelDataGL::FORMAT_RGB888;
    PixelDataGL* texture = new PixelDataGL(width, height, format);
    texture->m_target = true;
    return texture;
}

PixelDataGL* PixelDataGL::CreateScreen(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    PixelDataGL* texture = new PixelDataGL(width, height, PixelDataGL::FORMAT_RGB565);
    texture->m_screen = true;
    texture->m_uploaded = true;
    texture->m_framebuffer = 0;
    return texture;
}

PixelDataGL::~PixelDataGL()
{
    if (m_screen || (m_texture == 0 && (m_framebuffer == InvalidFramebuffer || m_framebuffer == 0)))
        return;
    if (std::this_thread::get_id() != s_glThread) {
        std::lock_guard<std::mutex> guard(s_queueLock);
        s_deleteQueue.emplace_back(m_texture, m_framebuffer);
        return;
    }
    DeleteNames(m_texture, m_framebuffer, this);
}

void PixelDataGL::SetGLThread()
{
    s_glThread = std::this_thread::get_id();
}

void PixelDataGL::DeleteQueuedNames()
{
    std::vector<std::pair<unsigned int, unsigned int>> queued;
    {
        std::lock_guard<std::mutex> guard(s_queueLock);
        queued.swap(s_deleteQueue);
    }
    for (const auto& names : queued)
        DeleteNames(names.first, names.second, nullptr);
}

bool PixelDataGL::Upload(std::uint32_t flags)
{
    if (m_uploaded)
        return m_texture != 0;
    m_uploaded = true;
    const int limit = OpenGLCaps::GetMaxTextureSize();
    if (limit > 0 && (m_paddedWidth > limit || m_paddedHeight > limit)) {
        // Reached once per texture: the upload is not tried again.
        std::fprintf(stderr, "brashwick: a %dx%d image needs a %dx%d texture, over this "
                             "driver's limit of %d, and is not drawn\n",
                     m_width, m_height, m_paddedWidth, m_paddedHeight, limit);
        m_staged = std::vector<std::uint8_t>();
        return false;
    }
    // An alpha render target gets RGBA storage: OpenGL ES 2.0 cannot attach an alpha-only
    // texture as a colour buffer, so nothing could be drawn into it. It still draws as an alpha
    // image, from the storage's alpha channel.
    GLenum glFormat = m_format == PixelDataGL::FORMAT_ALPHA8   ? GL_ALPHA
                      : m_format == PixelDataGL::FORMAT_RGB888 ? GL_RGB
                                                               : GL_RGBA;
    if (m_target && m_format == PixelDataGL::FORMAT_ALPHA8)
        glFormat = GL_RGBA;
    GLCalls::GenTextures(1, &m_texture);
    GLCalls::BindTexture(GL_TEXTURE_2D, m_texture);
    const GLint filter = (flags & 2u) != 0 ? GL_LINEAR : GL_NEAREST;
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    GLCalls::TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(glFormat), m_paddedWidth,
                        m_paddedHeight, glFormat, GL_UNSIGNED_BYTE,
                        m_staged.empty() ? nullptr : m_staged.data());
    m_staged = std::vector<std::uint8_t>();
    return true;
}

void PixelDataGL::Resize(int width, int height)
{
    if (!m_screen || width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
}

} // namespace Tarv
