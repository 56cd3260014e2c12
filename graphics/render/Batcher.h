// Tarv::Batcher: the one way drawing reaches the GPU. Surfaces describe each operation as state
// calls followed by primitives; the batcher caches the state and draws runs of primitives that
// share it with one call. Tarv::BatchVertex is the vertex record it takes.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <cstdint>

namespace Tarv
{

class PixelData;
class PixelDataGL;

// 20 bytes, uploaded as is: position in target pixels (origin top-left), texture coordinate
// over the padded texture, colour normalised by GL.
struct BatchVertex {
    float x;
    float y;
    float u;
    float v;
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
    std::uint8_t a;
};
static_assert(sizeof(BatchVertex) == 20, "vertices are uploaded as they are");

class Batcher : public RefCounter
{
public:
    // The one batcher: null until the GL initialisation (OpenGLCaps::Init) makes it.
    static SmartPtr<Batcher> Instance;

    // All calls: main thread, GL context current. Pointers are borrowed for the call.
    // The source texture of the following primitives; flags bit 2 asks for linear filtering at
    // upload; alpha 255 on an RGB texture needs no blending.
    virtual void SetTexture(PixelData* texture, std::uint32_t flags, std::uint8_t alpha) = 0;
    // Where the following primitives go: the screen or an off-screen target.
    virtual void SetRenderTarget(PixelData* target, std::uint32_t flags) = 0;
    // 0: alpha blending; 1: additive.
    virtual void SetBlendMode(int mode) = 0;
    // Texels of the key colour (components 0 to 1) are discarded while it is on.
    virtual void SetColorKey(bool on, float red, float green, float blue) = 0;
    // x, y, w, h in target pixels, origin top-left.
    virtual void SetClipRect(const int rect[4]) = 0;
    virtual void SetTextured(bool textured) = 0;
    virtual void SetLineMode(bool lines) = 0;
    // Alpha of untextured drawing: decides blending.
    virtual void SetAlpha(std::uint8_t alpha) = 0;
    // Draws everything pending.
    virtual void Flush() = 0;
    // The texture and framebuffer object of this texture pixel data are about to be deleted:
    // forget them, drawing what needs the texture first or dropping what was meant for a target
    // that goes away. Other pixel data has no GL objects: nothing happens.
    virtual void ReleaseTexture(PixelData* texture) = 0;
    // Drops pending geometry and clears the clip rectangle of the target.
    virtual void Clear(const float* red, const float* green, const float* blue,
                       const float* alpha) = 0;
    virtual void AddLine(const BatchVertex* a, const BatchVertex* b) = 0;
    virtual void AddTriangle(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c) = 0;
    // Corners top-left, top-right, bottom-right, bottom-left.
    virtual void AddQuad(const BatchVertex* a, const BatchVertex* b, const BatchVertex* c,
                         const BatchVertex* d) = 0;
};

} // namespace Tarv
