// The OpenGL ES 2.0 batcher: state cache, client-side geometry and one upload per flush.
#include "graphics/render/OpenGLBatcher.h"

#include "engine/core/Report.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLCaps.h"
#include "graphics/render/ShaderSources.h"
#include "graphics/render/PixelDataGL.h"

#include <cstdio>
#include <cstring>

namespace Tarv
{

namespace
{

constexpr int MAX_VERTICES =
    static_cast<int>(OpenGLBatcher::VERTEX_ARRAY_BYTES / sizeof(BatchVertex));
constexpr int MAX_INDICES = static_cast<int>(OpenGLBatcher::INDEX_ARRAY_BYTES / 2);
// After a release the cached framebuffer names nothing that a target can have.
constexpr unsigned int UNKNOWN_FRAMEBUFFER = 0xfffffffeu;
constexpr unsigned int UNKNOWN_TEXTURE = 0xffffffffu;

// The texture pixel data behind a surface. The image layer's staging object answers the same
// kind without being a texture, so the type is checked too; anything else has no GL objects
// and is passed over.
PixelDataGL* TextureOf(PixelData* pixels)
{
    return pixels != nullptr && pixels->GetKind() == PIXEL_DATA_KIND_GL ? dynamic_cast<PixelDataGL*>(pixels)
                                                                        : nullptr;
}

} // namespace

OpenGLBatcher::OpenGLBatcher()
    : m_vertices(new BatchVertex[MAX_VERTICES]), m_indices(new std::uint16_t[MAX_INDICES]),
      m_glsl(OpenGLCaps::HasGlsl()), m_framebufferObjects(OpenGLCaps::HasFramebufferObjects()),
      m_orphaning(OpenGLCaps::GetVendor() == "Intel")
{
    GLCalls::GenBuffers(1, &m_vertexBuffer);
    GLCalls::GenBuffers(1, &m_indexBuffer);
    GLCalls::BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    GLCalls::BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    m_current = &m_textureShader;
    if (m_glsl) {
        m_keyShader.SetSources(ShaderSources::TEXTURED_VERTEX, ShaderSources::COLOUR_KEY_FRAGMENT);
        m_textureShader.SetSources(ShaderSources::TEXTURED_VERTEX, ShaderSources::TEXTURE_FRAGMENT);
        m_alphaShader.SetSources(ShaderSources::TEXTURED_VERTEX, ShaderSources::ALPHA_FRAGMENT);
        m_colourShader.SetSources(ShaderSources::COLOUR_VERTEX, ShaderSources::COLOUR_FRAGMENT);
        for (OpenGLShader* shader : {&m_keyShader, &m_alphaShader, &m_textureShader}) {
            shader->Use();
            shader->SetUniformInt("tex", 0);
        }
    }
    GLCalls::EnableVertexAttribArray(0);
    GLCalls::EnableVertexAttribArray(1);
    GLCalls::EnableVertexAttribArray(2);
    GLCalls::VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(BatchVertex), nullptr);
    GLCalls::VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(BatchVertex),
                                 reinterpret_cast<const void*>(8));
    GLCalls::VertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(BatchVertex),
                                 reinterpret_cast<const void*>(16));
    ApplyBlendFunc();
    // The cache starts from known GL state, also when it replaces an earlier batcher.
    GLCalls::Disable(GL_BLEND);
    GLCalls::BindFramebuffer(GL_FRAMEBUFFER, 0);
    GLCalls::BindTexture(GL_TEXTURE_2D, 0);
}

OpenGLBatcher::~OpenGLBatcher()
{
    GLCalls::DisableVertexAttribArray(0);
    GLCalls::DisableVertexAttribArray(1);
    GLCalls::DisableVertexAttribArray(2);
    GLCalls::DeleteBuffers(1, &m_vertexBuffer);
    GLCalls::DeleteBuffers(1, &m_indexBuffer);
}

const OpenGLShader* OpenGLBatcher::GetBuiltInShader(int index) const
{
    const OpenGLShader* shaders[] = {&m_keyShader, &m_textureShader, &m_alphaShader,
                                     &m_colourShader};
    return index >= 0 && index < 4 ? shaders[index] : nullptr;
}

void OpenGLBatcher::SetRenderTarget(PixelData* pixels, std::uint32_t flags)
{
    PixelDataGL* target = TextureOf(pixels);
    if (target == nullptr)
        return;
    if (target->GetFramebuffer() == m_framebuffer && target->HasTexture() &&
        target->GetWidth() == m_targetWidth && target->GetHeight() == m_targetHeight)
        return;
    FlushFor(FLUSH_TARGET);
    if (!target->HasTexture()) {
        target->Upload(flags);
        GLCalls::BindTexture(GL_TEXTURE_2D, m_boundTexture == UNKNOWN_TEXTURE ? 0 : m_boundTexture);
    }
    if (m_framebufferObjects && target->GetFramebuffer() != m_framebuffer)
        BindTarget(target);
    m_targetHeight = target->GetHeight();
    m_targetWidth = target->GetWidth();
    ApplyProjection(m_current);
    // The scissor box depends on the target (flipped on the screen) and its height.
    m_clipKnown = false;
}

void OpenGLBatcher::BindTarget(PixelDataGL* target)
{
    if (target->GetFramebuffer() == PixelDataGL::InvalidFramebuffer) {
        unsigned int framebuffer = 0;
        GLCalls::GenFramebuffers(1, &framebuffer);
        GLCalls::BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        GLCalls::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                      target->GetTextureName(), 0);
        target->SetFramebuffer(framebuffer);
        if (GLCalls::CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            Tarv::Report("brashwick: a %dx%d render target cannot be drawn into",
                         target->GetWidth(), target->GetHeight());
    } else {
        GLCalls::BindFramebuffer(GL_FRAMEBUFFER, target->GetFramebuffer());
    }
    m_framebuffer = target->GetFramebuffer();
}

void OpenGLBatcher::ApplyProjection(OpenGLShader* shader)
{
    if (shader == nullptr || m_targetWidth <= 0 || m_targetHeight <= 0)
        return;
    const float width = static_cast<float>(m_targetWidth);
    const float height = static_cast<float>(m_targetHeight);
    // The screen has y pointing down from the top-left corner; an off-screen target keeps its
    // row 0 at v = 0, so that it shows upright when drawn later as a source.
    if (m_framebuffer == 0)
        shader->SetUniformVec3("screen", 2.0f / width, -2.0f / height, -1.0f);
    else
        shader->SetUniformVec3("screen", 2.0f / width, 2.0f / height, 1.0f);
    GLCalls::Viewport(0, 0, m_targetWidth, m_targetHeight);
}

void OpenGLBatcher::SwitchTo(OpenGLShader* shader)
{
    if (shader == m_current)
        return;
    shader->Use();
    m_current = shader;
    ApplyProjection(shader);
    // The key may have changed while another program was in use.
    if (shader == &m_keyShader)
        m_keyShader.SetUniformVec3("key", m_key[0], m_key[1], m_key[2]);
}

void OpenGLBatcher::ChooseBuiltInShader()
{
    if (!m_glsl || m_customShader)
        return;
    if (!m_textured)
        SwitchTo(&m_colourShader);
    else if (m_colourKey)
        SwitchTo(&m_keyShader);
    else
        SwitchTo(m_alphaOnly ? &m_alphaShader : &m_textureShader);
}

void OpenGLBatcher::SetTexture(PixelData* pixels, std::uint32_t flags, std::uint8_t alpha)
{
    PixelDataGL* texture = TextureOf(pixels);
    if (texture == nullptr)
        return;
    if (texture->GetTextureName() != m_boundTexture || !texture->HasTexture()) {
        FlushFor(FLUSH_TEXTURE);
        if (texture->HasTexture())
            GLCalls::BindTexture(GL_TEXTURE_2D, texture->GetTextureName());
        else
            texture->Upload(flags);
        m_boundTexture = texture->GetTextureName();
        // Kept up to date on every bind, whatever the colour key: a stale flag would draw an
        // alpha texture with the colour program after a keyed sprite, or the reverse.
        m_alphaOnly = texture->GetFormat() == 0;
        ChooseBuiltInShader();
    }
    SetBlending(texture->GetFormat() != 2 || alpha != 255 || m_blendMode == 1);
}

void OpenGLBatcher::SetBlending(bool on)
{
    if (on == m_blending)
        return;
    FlushFor(FLUSH_BLEND);
    if (on)
        GLCalls::Enable(GL_BLEND);
    else
        GLCalls::Disable(GL_BLEND);
    m_blending = on;
}

void OpenGLBatcher::SetAlpha(std::uint8_t alpha)
{
    SetBlending(alpha != 255 || m_blendMode == 1);
}

void OpenGLBatcher::ApplyBlendFunc()
{
    // The destination alpha is composed separately (one minus the coverage), so an off-screen
    // RGBA target drawn with alpha keeps the alpha it should have when drawn on again.
    if (m_blendMode == 1)
        GLCalls::BlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    else
        GLCalls::BlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE,
                                   GL_ONE_MINUS_SRC_ALPHA);
}

void OpenGLBatcher::SetBlendMode(int mode)
{
    if (mode == m_blendMode)
        return;
    FlushFor(FLUSH_BLEND_MODE);
    m_blendMode = mode;
    if (mode == 1)
        SetBlending(true);
    if (mode == 0 || mode == 1)
        ApplyBlendFunc();
}

void OpenGLBatcher::SetColorKey(bool on, float red, float green, float blue)
{
    if (m_customShader || !m_glsl)
        return;
    if (on == m_colourKey &&
        (!on || (red == m_key[0] && green == m_key[1] && blue == m_key[2])))
        return;
    FlushFor(FLUSH_COLOUR_KEY);
    m_colourKey = on;
    m_key[0] = red;
    m_key[1] = green;
    m_key[2] = blue;
    const OpenGLShader* before = m_current;
    ChooseBuiltInShader();
    if (on && m_current == &m_keyShader && before == &m_keyShader)
        m_keyShader.SetUniformVec3("key", red, green, blue);
}

void OpenGLBatcher::SetClipRect(const int rect[4])
{
    if (m_clipKnown && rect[0] == m_clip[0] && rect[1] == m_clip[1] && rect[2] == m_clip[2] &&
        rect[3] == m_clip[3])
        return;
    FlushFor(FLUSH_CLIP);
    if (m_framebuffer != 0)
        GLCalls::Scissor(rect[0], rect[1], rect[2], rect[3]);
    else
        GLCalls::Scissor(rect[0], m_targetHeight - rect[1] - rect[3], rect[2], rect[3]);
    std::memcpy(m_clip, rect, sizeof(m_clip));
    m_clipKnown = true;
}

void OpenGLBatcher::SetTextured(bool textured)
{
    if (textured == m_textured)
        return;
    FlushFor(FLUSH_TEXTURED);
    m_textured = textured;
    ChooseBuiltInShader();
}

void OpenGLBatcher::SetLineMode(bool lines)
{
    if (lines == m_lineMode)
        return;
    FlushFor(FLUSH_LINE_MODE);
    m_lineMode = lines;
}

void OpenGLBatcher::SetShader(OpenGLShader* shader)
{
    if (!m_glsl)
        return;
    if (shader == nullptr) {
        if (!m_customShader)
            return;
        // Geometry added under the caller's program is drawn with it; what follows goes back
        // to the built-in program for the current state at once.
        FlushFor(FLUSH_SHADER);
        m_customShader = false;
        ChooseBuiltInShader();
        return;
    }
    FlushFor(FLUSH_SHADER);
    m_customShader = true;
    if (shader == m_current)
        return;
    shader->Use();
    m_current = shader;
    ApplyProjection(shader);
}

void OpenGLBatcher::Flush()
{
    FlushFor(FLUSH_EXPLICIT);
}

void OpenGLBatcher::FlushFor(FlushReason reason)
{
    if (m_vertexCount == 0)
        return;
    const std::size_t vertexBytes = static_cast<std::size_t>(m_vertexCount) * sizeof(BatchVertex);
    const std::size_t indexBytes = static_cast<std::size_t>(m_indexCount) * 2;
    if (m_orphaning) {
        GLCalls::BufferData(GL_ARRAY_BUFFER, VERTEX_ARRAY_BYTES, nullptr, GL_STREAM_DRAW);
        GLCalls::BufferData(GL_ELEMENT_ARRAY_BUFFER, INDEX_ARRAY_BYTES, nullptr, GL_STREAM_DRAW);
        GLCalls::BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(vertexBytes),
                               m_vertices.get());
        GLCalls::BufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(indexBytes),
                               m_indices.get());
    } else {
        GLCalls::BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexBytes),
                            m_vertices.get(), GL_STREAM_DRAW);
        GLCalls::BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes),
                            m_indices.get(), GL_STREAM_DRAW);
    }
    GLCalls::DrawElements(m_lineMode ? GL_LINES : GL_TRIANGLES, m_indexCount, GL_UNSIGNED_SHORT,
                          nullptr);
    ++m_stats.drawCalls;
    ++m_stats.flushes[reason];
    m_stats.vertices += static_cast<std::uint64_t>(m_vertexCount);
    m_stats.indices += static_cast<std::uint64_t>(m_indexCount);
    m_stats.bytesUploaded += vertexBytes + indexBytes;
    m_vertexCount = 0;
    m_indexCount = 0;
}

void OpenGLBatcher::Discard()
{
    if (m_vertexCount != 0)
        ++m_stats.primitivesDiscarded;
    m_vertexCount = 0;
    m_indexCount = 0;
}

void OpenGLBatcher::ReleaseTexture(PixelData* pixels)
{
    const PixelDataGL* texture = TextureOf(pixels);
    if (texture != nullptr)
        ReleaseNames(texture->GetTextureName(), texture->GetFramebuffer());
}

void OpenGLBatcher::ReleaseNames(unsigned int texture, unsigned int framebuffer)
{
    if (m_framebufferObjects && framebuffer != PixelDataGL::InvalidFramebuffer && framebuffer != 0 &&
        framebuffer == m_framebuffer) {
        // What is pending was meant for the target that goes away.
        Discard();
        m_framebuffer = UNKNOWN_FRAMEBUFFER;
        m_targetWidth = 0;
        m_targetHeight = 0;
    } else if (texture != 0 && texture == m_boundTexture) {
        FlushFor(FLUSH_RELEASE);
    }
    // GL may hand the deleted names out again; the cache must not take them for bound.
    if (texture != 0 && texture == m_boundTexture)
        m_boundTexture = UNKNOWN_TEXTURE;
}

void OpenGLBatcher::Clear(const float* red, const float* green, const float* blue,
                          const float* alpha)
{
    Discard();
    GLCalls::ClearColor(*red, *green, *blue, *alpha);
    GLCalls::Clear(GL_COLOR_BUFFER_BIT);
}

template <int VERTICES, int INDICES>
void OpenGLBatcher::Append(const BatchVertex* const (&vertices)[VERTICES],
                           const std::uint8_t (&offsets)[INDICES], int flushAboveBytes)
{
    const int vertexCount = VERTICES, indexCount = INDICES;
    // The thresholds keep at most 16383 indices pending, and so at most that many vertices.
    if (m_indexCount * 2 > flushAboveBytes)
        FlushFor(FLUSH_LIMIT);
    BatchVertex* out = m_vertices.get() + m_vertexCount;
    for (int i = 0; i < vertexCount; ++i)
        out[i] = *vertices[i];
    std::uint16_t* index = m_indices.get() + m_indexCount;
    for (int i = 0; i < indexCount; ++i)
        index[i] = static_cast<std::uint16_t>(m_vertexCount + offsets[i]);
    m_vertexCount += vertexCount;
    m_indexCount += indexCount;
}

void OpenGLBatcher::AddLine(const BatchVertex* a, const BatchVertex* b)
{
    static const std::uint8_t OFFSETS[2] = {0, 1};
    const BatchVertex* vertices[2] = {a, b};
    Append(vertices, OFFSETS, 32763);
}

void OpenGLBatcher::AddTriangle(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c)
{
    static const std::uint8_t OFFSETS[3] = {0, 1, 2};
    const BatchVertex* vertices[3] = {a, b, c};
    Append(vertices, OFFSETS, 32761);
}

void OpenGLBatcher::AddQuad(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c,
                            const BatchVertex* d)
{
    // Every blit and glyph comes here, so this is written out rather than going through
    // Append (about 10% fewer instructions a blit). 2730 quads fill 32760 index bytes; the
    // next one would not fit.
    if (m_indexCount * 2 > 32755)
        FlushFor(FLUSH_LIMIT);
    BatchVertex* out = m_vertices.get() + m_vertexCount;
    out[0] = *a;
    out[1] = *b;
    out[2] = *c;
    out[3] = *d;
    // Two triangles sharing the top-left to bottom-right diagonal.
    std::uint16_t* index = m_indices.get() + m_indexCount;
    const std::uint16_t n = static_cast<std::uint16_t>(m_vertexCount);
    index[0] = n;
    index[1] = static_cast<std::uint16_t>(n + 1);
    index[2] = static_cast<std::uint16_t>(n + 2);
    index[3] = n;
    index[4] = static_cast<std::uint16_t>(n + 2);
    index[5] = static_cast<std::uint16_t>(n + 3);
    m_vertexCount += 4;
    m_indexCount += 6;
}

} // namespace Tarv
