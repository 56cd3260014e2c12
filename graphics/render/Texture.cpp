// Staging of image pixels into power-of-two GL layout, lazy upload, and deletion of GL objects
// on the thread that owns the context.
#include "graphics/render/Texture.h"

#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLCaps.h"

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

int PowerOfTwo(int size)
{
    int padded = 1;
    while (padded < size)
        padded *= 2;
    return padded;
}

bool IsValidSize(int width, int height)
{
    return width > 0 && height > 0 && width <= Texture::MAX_DIMENSION &&
           height <= Texture::MAX_DIMENSION;
}

int SourceBytesPerPixel(int format)
{
    static const int BYTES[] = {1, 2, 3, 4};
    return BYTES[format];
}

int StagedBytesPerPixel(int format)
{
    return format == PIXEL_FORMAT_ALPHA8 ? 1 : format == PIXEL_FORMAT_RGBA8888 ? 4 : 3;
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

void DeleteNames(unsigned int texture, unsigned int framebuffer)
{
    if (Batcher::Instance.Get() != nullptr)
        Batcher::Instance->ReleaseNames(texture, framebuffer);
    if (framebuffer != Texture::NO_FRAMEBUFFER && framebuffer != 0)
        GLCalls::DeleteFramebuffers(1, &framebuffer);
    if (texture != 0)
        GLCalls::DeleteTextures(1, &texture);
}

} // namespace

Texture::Texture(int width, int height, int format)
    : m_width(width), m_height(height), m_format(format), m_paddedWidth(PowerOfTwo(width)),
      m_paddedHeight(PowerOfTwo(height)), m_uScale(1.0f / static_cast<float>(m_paddedWidth)),
      m_vScale(1.0f / static_cast<float>(m_paddedHeight))
{
}

Texture* Texture::CreateFromPixels(int width, int height, int format, const std::uint8_t* bytes,
                                   std::size_t size)
{
    if (!IsValidSize(width, height) || format < PIXEL_FORMAT_ALPHA8 ||
        format > PIXEL_FORMAT_RGBA8888 || bytes == nullptr)
        return nullptr;
    const std::size_t inPixel = static_cast<std::size_t>(SourceBytesPerPixel(format));
    const std::size_t inPitch = static_cast<std::size_t>(width) * inPixel;
    if (size / inPitch < static_cast<std::size_t>(height))
        return nullptr;

    const int drawnFormat = format == PIXEL_FORMAT_RGB565 ? PIXEL_FORMAT_RGB888 : format;
    Texture* texture = new Texture(width, height, drawnFormat);
    const std::size_t outPixel = static_cast<std::size_t>(StagedBytesPerPixel(drawnFormat));
    const std::size_t outPitch = static_cast<std::size_t>(texture->m_paddedWidth) * outPixel;
    std::vector<std::uint8_t>& out = texture->m_staged;
    out.assign(outPitch * static_cast<std::size_t>(texture->m_paddedHeight), 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bytes + static_cast<std::size_t>(y) * inPitch;
        std::uint8_t* row = out.data() + static_cast<std::size_t>(y) * outPitch;
        if (format == PIXEL_FORMAT_RGB565) {
            for (int x = 0; x < width; ++x)
                Expand565(in + static_cast<std::size_t>(x) * 2,
                          row + static_cast<std::size_t>(x) * 3);
        } else {
            std::memcpy(row, in, inPitch);
        }
        // Edge texels repeat to the right and downwards, so filtering never mixes in padding.
        const std::uint8_t* last = row + static_cast<std::size_t>(width - 1) * outPixel;
        for (int x = width; x < texture->m_paddedWidth; ++x)
            std::memcpy(row + static_cast<std::size_t>(x) * outPixel, last, outPixel);
    }
    const std::uint8_t* lastRow = out.data() + static_cast<std::size_t>(height - 1) * outPitch;
    for (int y = height; y < texture->m_paddedHeight; ++y)
        std::memcpy(out.data() + static_cast<std::size_t>(y) * outPitch, lastRow, outPitch);
    return texture;
}

Texture* Texture::CreateTarget(int width, int height, int format)
{
    if (!IsValidSize(width, height) || format < PIXEL_FORMAT_ALPHA8 ||
        format > PIXEL_FORMAT_RGBA8888)
        return nullptr;
    Texture* texture =
        new Texture(width, height, format == PIXEL_FORMAT_RGB565 ? PIXEL_FORMAT_RGB888 : format);
    texture->m_target = true;
    return texture;
}

Texture* Texture::CreateScreen(int width, int height)
{
    if (!IsValidSize(width, height))
        return nullptr;
    Texture* texture = new Texture(width, height, PIXEL_FORMAT_RGB565);
    texture->m_screen = true;
    texture->m_uploaded = true;
    texture->m_framebuffer = 0;
    return texture;
}

Texture::~Texture()
{
    if (m_screen || (m_texture == 0 && (m_framebuffer == NO_FRAMEBUFFER || m_framebuffer == 0)))
        return;
    if (std::this_thread::get_id() != s_glThread) {
        std::lock_guard<std::mutex> guard(s_queueLock);
        s_deleteQueue.emplace_back(m_texture, m_framebuffer);
        return;
    }
    DeleteNames(m_texture, m_framebuffer);
}

void Texture::SetGLThread()
{
    s_glThread = std::this_thread::get_id();
}

void Texture::DeleteQueuedNames()
{
    std::vector<std::pair<unsigned int, unsigned int>> queued;
    {
        std::lock_guard<std::mutex> guard(s_queueLock);
        queued.swap(s_deleteQueue);
    }
    for (const auto& names : queued)
        DeleteNames(names.first, names.second);
}

void Texture::SetColorKey(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    m_colorKey[0] = red;
    m_colorKey[1] = green;
    m_colorKey[2] = blue;
}

bool Texture::Upload(std::uint32_t flags)
{
    if (m_uploaded)
        return m_texture != 0;
    m_uploaded = true;
    const int limit = OpenGLCaps::GetMaxTextureSize();
    if (limit > 0 && (m_paddedWidth > limit || m_paddedHeight > limit)) {
        m_staged = std::vector<std::uint8_t>();
        return false;
    }
    // Render targets always get RGBA storage: an RGB colour attachment is not renderable on
    // every ES 2.0 driver. Alpha targets likewise, since alpha alone cannot be drawn into.
    GLenum glFormat = GL_RGBA;
    if (!m_target)
        glFormat = m_format == PIXEL_FORMAT_ALPHA8   ? GL_ALPHA
                   : m_format == PIXEL_FORMAT_RGB888 ? GL_RGB
                                                     : GL_RGBA;
    GLCalls::GenTextures(1, &m_texture);
    GLCalls::BindTexture(GL_TEXTURE_2D, m_texture);
    const GLint filter = (flags & 2u) != 0 ? GL_LINEAR : GL_NEAREST;
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    GLCalls::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    GLCalls::TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(glFormat), m_paddedWidth,
                        m_paddedHeight, glFormat, GL_UNSIGNED_BYTE,
                        m_staged.empty() ? nullptr : m_staged.data());
    m_staged = std::vector<std::uint8_t>();
    return true;
}

void Texture::Resize(int width, int height)
{
    if (!m_screen || !IsValidSize(width, height))
        return;
    m_width = width;
    m_height = height;
}

} // namespace Tarv
