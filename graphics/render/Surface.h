// Tarv::Surface: the drawable image of the engine, both a drawing target (the screen or an
// off-screen target) and a source. Every drawing operation becomes state calls and primitives
// on the one batcher; a surface never touches pixels itself.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"
#include "graphics/render/PixelDataGL.h"

#include <cstdint>

namespace Tarv
{

class Surface : public RefCounter, public WeakRefCounter
{
public:
    // Flag bits (the image asset options "ck" and "linear" set them).
    static constexpr std::uint32_t FLAG_COLOR_KEY = 1; // as a source, key-coloured texels vanish
    static constexpr std::uint32_t FLAG_LINEAR = 2;    // linear filtering, decided at upload

    // Makes the texture of memory (kind 0) or run-length (kind 1) pixel data; installed by the
    // image layer, which knows those kinds.
    using TextureMaker = PixelDataGL* (*)(const PixelData* source);
    static void SetTextureMaker(TextureMaker maker);

    // A surface over pixel data. A texture (kind 3) becomes the pixel data itself (a counted
    // reference); memory or run-length pixels are made into a new texture by the installed
    // maker, and the surface keeps no reference to them (a source nobody else holds is freed).
    // Anything else, or null, gives a surface without pixel data: its drawing operations do
    // nothing, and it draws nothing as a source.
    explicit Surface(PixelData* source);
    // An empty off-screen target, contents undefined until cleared or drawn into. Without pixel
    // data when the size or format is not valid.
    Surface(int width, int height, int format);
    ~Surface() override;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // The pixel data's own pixel access, coordinates passed unchanged (not offset by rect).
    // Texture pixels cannot be read or written from the CPU: every pixel reads opaque black and
    // nothing is written. SetPixel hands on only coordinates within rect, both ends included.
    virtual Color GetPixel(int x, int y);
    virtual void SetPixel(int x, int y, const Color& colour);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    // Flags AND mask; GetFlags(0xffffffff) gives all of them.
    virtual std::uint32_t GetFlags(std::uint32_t mask) const { return m_flags & mask; }
    // Advances an animation; true while it runs (always, for a still image).
    virtual bool Update(const float& dt);
    // Added to the destination of a blit (an animation frame's offset).
    virtual int GetDrawOffsetX() const { return 0; }
    virtual int GetDrawOffsetY() const { return 0; }
    // Where this image starts inside its pixel data (an atlas region's corner).
    virtual int GetSourceX() const { return 0; }
    virtual int GetSourceY() const { return 0; }

    void SetFlags(std::uint32_t flags) { m_flags = flags; }
    std::uint8_t GetAlpha() const { return m_alpha; }
    void SetAlpha(std::uint8_t alpha) { m_alpha = alpha; }
    // The clip rectangle as a target and the source rectangle of Copy: x, y, w, h.
    const int* GetRect() const { return m_rect; }
    void SetRect(int x, int y, int width, int height);
    PixelDataGL* GetPixelData() const { return m_pixelData.Get(); }

    // Drawing into this surface. Positions are target pixels from the top-left corner of the
    // pixel data; colours are 4 bytes r, g, b, a. Nothing is drawn until the batcher flushes.
    void ClearGrey(int grey);
    void ClearColor(const std::uint8_t* colour);
    void DrawLine(int x1, int y1, int x2, int y2, const std::uint8_t* colour);
    void DrawRect(int x1, int y1, int x2, int y2, const std::uint8_t* colour);
    void FillRect(int x1, int y1, int x2, int y2, const std::uint8_t* colour);
    // Source rect x, y, w, h, clipped against the source's pixel data; a clipped left or top
    // edge does not move the destination.
    void Blit(int x, int y, Surface* source, const int sourceRect[4]);
    // As Blit, the colour multiplied by the tint's r, g, b (its alpha byte is not used).
    void BlitTinted(int x, int y, const std::uint8_t* tint, Surface* source,
                    const int sourceRect[4]);
    // The whole source turned by angle (radians, clockwise on the screen) and scaled about the
    // pivot (px, py in source pixels), placed with the pivot at (x, y). mirror 1 flips top to
    // bottom, 2 left to right.
    void BlitTransformed(Surface* source, const float* x, const float* y, const float* angle,
                         const float* scale, const float* pivot, int mirror);
    void BlitTransformedRect(Surface* source, const float* x, const float* y, const float* angle,
                             const float* scale, const float* pivot, int mirror,
                             const int sourceRect[4]);
    void BlitTransformedTinted(Surface* source, const float* x, const float* y,
                               const float* angle, const float* scale, const float* pivot,
                               int mirror, const int sourceRect[4], const std::uint8_t* tint);
    // A new off-screen surface (count 0) of this size and format with this surface drawn into
    // it. Null for the screen, which cannot be read as a source, and without pixel data.
    Surface* Copy();
    // Accepted for the asset options "565" and "rle"; they change nothing.
    void ConvertTo565() {}
    void ConvertToRle() {}

protected:
    Surface();
    void SetPixelData(PixelDataGL* pixelData);
    // The state every drawing into this surface starts with; false when it cannot be drawn.
    bool BeginDrawing(bool textured) const;
    // The state of lines and filled rectangles, blending by the colour's alpha.
    bool BeginUntextured(bool lineMode, std::uint8_t alpha) const;
    // The source's texture and colour key; false when the source cannot be drawn.
    bool BeginSource(Surface* source) const;
    void AddTransformedQuad(Surface* source, const float* x, const float* y, const float* angle,
                            const float* scale, const float* pivot, int mirror,
                            const int sourceRect[4], const std::uint8_t* tint) const;

    std::uint32_t m_flags = 0;
    SmartPtr<PixelDataGL> m_pixelData;
    int m_rect[4] = {0, 0, 0, 0};
    std::uint8_t m_alpha = 255;
};

} // namespace Tarv
