// Tarv::OpenGLBatcher: the OpenGL ES 2.0 batcher. Geometry gathers in client arrays (16-bit
// indices, so at most 16384 vertices a batch) and goes up once per flush; every state setter
// returns at once when nothing changes, and flushes before anything does.
#pragma once

#include "graphics/render/Batcher.h"
#include "graphics/render/OpenGLShader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Tarv
{

// Why pending geometry was drawn (or dropped).
enum FlushReason {
    FLUSH_TARGET,
    FLUSH_TEXTURE,
    FLUSH_BLEND,
    FLUSH_BLEND_MODE,
    FLUSH_COLOUR_KEY,
    FLUSH_TEXTURED,
    FLUSH_CLIP,
    FLUSH_LINE_MODE,
    FLUSH_SHADER,
    FLUSH_LIMIT,
    FLUSH_EXPLICIT,
    FLUSH_RELEASE,
    FLUSH_REASON_COUNT
};

// What the batcher did since its stats were last reset.
struct BatcherStats {
    std::uint64_t drawCalls;
    std::uint64_t flushes[FLUSH_REASON_COUNT];
    std::uint64_t vertices;
    std::uint64_t indices;
    std::uint64_t bytesUploaded;
    std::uint64_t primitivesDiscarded; // dropped by Clear or by a target going away
};

class OpenGLBatcher : public Batcher
{
public:
    static constexpr std::size_t VERTEX_ARRAY_BYTES = 327680;
    static constexpr std::size_t INDEX_ARRAY_BYTES = 32768;

    // Needs a current GL context.
    OpenGLBatcher();
    ~OpenGLBatcher() override;
    OpenGLBatcher(const OpenGLBatcher&) = delete;
    OpenGLBatcher& operator=(const OpenGLBatcher&) = delete;

    void SetTexture(PixelData* texture, std::uint32_t flags, std::uint8_t alpha) override;
    void SetRenderTarget(PixelData* target, std::uint32_t flags) override;
    void SetBlendMode(int mode) override;
    void SetColorKey(bool on, float red, float green, float blue) override;
    void SetClipRect(const int rect[4]) override;
    void SetTextured(bool textured) override;
    void SetLineMode(bool lines) override;
    void SetAlpha(std::uint8_t alpha) override;
    void Flush() override;
    void ReleaseTexture(PixelData* texture) override;
    void Clear(const float* red, const float* green, const float* blue,
               const float* alpha) override;
    void AddLine(const BatchVertex* a, const BatchVertex* b) override;
    void AddTriangle(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c) override;
    void AddQuad(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c,
                 const BatchVertex* d) override;

    // A caller's program for the following primitives (not part of the Batcher interface);
    // null returns to the built-in ones.
    void SetShader(OpenGLShader* shader);
    // ReleaseTexture by the names alone, for textures freed off the GL thread whose names
    // are deleted later.
    void ReleaseNames(unsigned int texture, unsigned int framebuffer);

    const BatcherStats& GetStats() const { return m_stats; }
    void ResetStats() { m_stats = BatcherStats{}; }
    // Vertices waiting for the next flush.
    int GetPendingVertices() const { return m_vertexCount; }
    // The upload path of flushes: orphan the whole buffers, then fill the used part. On for the
    // "Intel" driver; a switch here lets both paths be tested and measured anywhere.
    void SetBufferOrphaning(bool orphan) { m_orphaning = orphan; }
    bool IsBufferOrphaning() const { return m_orphaning; }
    // The program in use, for tests.
    const OpenGLShader* GetCurrentShader() const { return m_current; }
    const OpenGLShader* GetBuiltInShader(int index) const;

private:
    void FlushFor(FlushReason reason);
    // Copies the vertices and appends their indices (offsets from the first new vertex),
    // flushing first when more than flushAboveBytes of the index array are in use.
    template <int VERTICES, int INDICES>
    void Append(const BatchVertex* const (&vertices)[VERTICES],
                const std::uint8_t (&offsets)[INDICES], int flushAboveBytes);
    void Discard();
    void SetBlending(bool on);
    void ChooseBuiltInShader();
    void SwitchTo(OpenGLShader* shader);
    void ApplyProjection(OpenGLShader* shader);
    void ApplyBlendFunc();
    void BindTarget(PixelDataGL* target);

    unsigned int m_vertexBuffer = 0;
    unsigned int m_indexBuffer = 0;
    std::unique_ptr<BatchVertex[]> m_vertices;
    std::unique_ptr<std::uint16_t[]> m_indices;
    int m_vertexCount = 0;
    int m_indexCount = 0;

    unsigned int m_boundTexture = 0;
    unsigned int m_framebuffer = 0;
    int m_blendMode = 0;
    bool m_blending = false;
    bool m_colourKey = false;
    bool m_alphaOnly = false;
    float m_key[3] = {0, 0, 0};
    int m_clip[4] = {0, 0, 0, 0};
    bool m_clipKnown = false;
    int m_targetWidth = 0;
    int m_targetHeight = 0;
    bool m_textured = true;
    bool m_lineMode = false;
    bool m_glsl = false;
    bool m_framebufferObjects = false;

    OpenGLShader m_keyShader;
    OpenGLShader m_textureShader;
    OpenGLShader m_alphaShader;
    OpenGLShader m_colourShader;
    OpenGLShader* m_current = nullptr;
    bool m_customShader = false;
    bool m_orphaning = false;

    BatcherStats m_stats{};
};

} // namespace Tarv
