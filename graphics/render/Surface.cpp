// Drawing operations of surfaces: each sets the batcher's state in a fixed order and adds its
// primitives, so that repeated blits of one image into one target change no state at all.
#include "graphics/render/Surface.h"

#include "graphics/render/Batcher.h"
#include "graphics/render/OpenGLBatcher.h"

#include <algorithm>
#include <cmath>

namespace Tarv
{

namespace
{

constexpr float INV_255 = 1.0f / 255.0f;

BatchVertex Vertex(float x, float y, float u, float v, const std::uint8_t* colour,
                   std::uint8_t alpha)
{
    return BatchVertex{x, y, u, v, colour[0], colour[1], colour[2], alpha};
}

const std::uint8_t WHITE[4] = {255, 255, 255, 255};

Surface::TextureMaker s_textureMaker = nullptr;

} // namespace

void Surface::SetTextureMaker(TextureMaker maker)
{
    s_textureMaker = maker;
}

Surface::Surface() = default;

Surface::Surface(PixelData* source)
{
    const SmartPtr<PixelData> held(source);
    const int kind = source != nullptr ? source->GetKind() : -1;
    PixelDataGL* texture = kind == PIXEL_DATA_KIND_GL ? dynamic_cast<PixelDataGL*>(source) : nullptr;
    if (texture == nullptr && s_textureMaker != nullptr &&
        (kind == PIXEL_DATA_KIND_MEMORY || kind == PIXEL_DATA_KIND_RLE || kind == PIXEL_DATA_KIND_GL))
        texture = s_textureMaker(source);
    SetPixelData(texture);
}

Surface::Surface(int width, int height, int format)
{
    SetPixelData(PixelDataGL::CreateTarget(width, height, format));
}

Surface::~Surface() = default;

void Surface::SetPixelData(PixelDataGL* pixelData)
{
    m_pixelData = pixelData;
    if (pixelData != nullptr)
        SetRect(0, 0, pixelData->GetWidth(), pixelData->GetHeight());
}

int Surface::GetWidth() const
{
    return m_pixelData.Get() != nullptr ? m_pixelData->GetWidth() : 0;
}

int Surface::GetHeight() const
{
    return m_pixelData.Get() != nullptr ? m_pixelData->GetHeight() : 0;
}

bool Surface::Update(const float&)
{
    return true;
}

void Surface::SetRect(int x, int y, int width, int height)
{
    m_rect[0] = x;
    m_rect[1] = y;
    m_rect[2] = width;
    m_rect[3] = height;
}

bool Surface::BeginDrawing(bool textured) const
{
    Batcher* batcher = Batcher::Instance.Get();
    if (batcher == nullptr || m_pixelData.Get() == nullptr)
        return false;
    static_cast<OpenGLBatcher*>(batcher)->SetShader(nullptr);
    batcher->SetTextured(textured);
    batcher->SetRenderTarget(m_pixelData.Get(), GetFlags(0xffffffffu));
    return true;
}

bool Surface::BeginSource(Surface* source) const
{
    // The screen is only ever a target: its default framebuffer is no texture.
    PixelDataGL* texture = source != nullptr ? source->m_pixelData.Get() : nullptr;
    if (texture == nullptr || texture->IsScreen() || texture == m_pixelData.Get() ||
        !texture->IsDrawable() || !BeginDrawing(true))
        return false;
    Batcher* batcher = Batcher::Instance.Get();
    const std::uint32_t flags = source->GetFlags(0xffffffffu);
    batcher->SetTexture(texture, flags, source->m_alpha);
    batcher->SetClipRect(m_rect);
    batcher->SetBlendMode(0);
    if ((flags & FLAG_COLOR_KEY) != 0) {
        const Color& key = texture->GetColorKey();
        batcher->SetColorKey(true, key.r * INV_255, key.g * INV_255, key.b * INV_255);
    } else {
        batcher->SetColorKey(false, 0, 0, 0);
    }
    batcher->SetLineMode(false);
    return texture->IsDrawable();
}

bool Surface::BeginUntextured(bool lineMode, std::uint8_t alpha) const
{
    if (!BeginDrawing(false))
        return false;
    Batcher* batcher = Batcher::Instance.Get();
    batcher->SetClipRect(m_rect);
    batcher->SetBlendMode(0);
    batcher->SetColorKey(false, 0, 0, 0);
    batcher->SetLineMode(lineMode);
    batcher->SetAlpha(alpha);
    return true;
}

void Surface::ClearGrey(int grey)
{
    const std::uint8_t level = static_cast<std::uint8_t>(std::clamp(grey, 0, 255));
    const std::uint8_t colour[4] = {level, level, level, 255};
    ClearColor(colour);
}

void Surface::ClearColor(const std::uint8_t* colour)
{
    Batcher* batcher = Batcher::Instance.Get();
    if (batcher == nullptr || m_pixelData.Get() == nullptr || colour == nullptr)
        return;
    batcher->SetRenderTarget(m_pixelData.Get(), GetFlags(0xffffffffu));
    batcher->SetClipRect(m_rect);
    // An off-screen RGBA target is cleared transparent; everything else opaque.
    const float red = colour[0] * INV_255, green = colour[1] * INV_255,
                blue = colour[2] * INV_255;
    const float alpha = m_pixelData->GetFormat() == PixelDataGL::FORMAT_RGBA8888 ? 0.0f : 1.0f;
    batcher->Clear(&red, &green, &blue, &alpha);
}

void Surface::DrawLine(int x1, int y1, int x2, int y2, const std::uint8_t* colour)
{
    if (colour == nullptr || !BeginUntextured(true, colour[3]))
        return;
    Batcher* batcher = Batcher::Instance.Get();
    const BatchVertex a = Vertex(static_cast<float>(x1), static_cast<float>(y1), 0, 0, colour,
                                 colour[3]);
    const BatchVertex b = Vertex(static_cast<float>(x2), static_cast<float>(y2), 0, 0, colour,
                                 colour[3]);
    batcher->AddLine(&a, &b);
}

void Surface::DrawRect(int x1, int y1, int x2, int y2, const std::uint8_t* colour)
{
    if (colour == nullptr || !BeginUntextured(true, colour[3]))
        return;
    Batcher* batcher = Batcher::Instance.Get();
    const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    const float fx2 = static_cast<float>(x2), fy2 = static_cast<float>(y2);
    const BatchVertex corners[4] = {Vertex(fx1, fy1, 0, 0, colour, colour[3]),
                                    Vertex(fx2, fy1, 0, 0, colour, colour[3]),
                                    Vertex(fx2, fy2, 0, 0, colour, colour[3]),
                                    Vertex(fx1, fy2, 0, 0, colour, colour[3])};
    for (int i = 0; i < 4; ++i)
        batcher->AddLine(&corners[i], &corners[(i + 1) % 4]);
}

void Surface::FillRect(int x1, int y1, int x2, int y2, const std::uint8_t* colour)
{
    if (colour == nullptr || !BeginUntextured(false, colour[3]))
        return;
    Batcher* batcher = Batcher::Instance.Get();
    const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    const float fx2 = static_cast<float>(x2), fy2 = static_cast<float>(y2);
    const BatchVertex a = Vertex(fx1, fy1, 0, 0, colour, colour[3]);
    const BatchVertex b = Vertex(fx2, fy1, 0, 0, colour, colour[3]);
    const BatchVertex c = Vertex(fx2, fy2, 0, 0, colour, colour[3]);
    const BatchVertex d = Vertex(fx1, fy2, 0, 0, colour, colour[3]);
    batcher->AddQuad(&a, &b, &c, &d);
}

void Surface::Blit(int x, int y, Surface* source, const int sourceRect[4])
{
    BlitTinted(x, y, WHITE, source, sourceRect);
}

void Surface::BlitTinted(int x, int y, const std::uint8_t* tint, Surface* source,
                         const int sourceRect[4])
{
    if (tint == nullptr || sourceRect == nullptr || !BeginSource(source))
        return;
    const PixelDataGL* texture = source->m_pixelData.Get();
    const int left = std::max(sourceRect[0], 0);
    const int top = std::max(sourceRect[1], 0);
    // In 64 bits: a hostile rect near INT_MAX must not overflow.
    const long long right = std::min<long long>(
        static_cast<long long>(sourceRect[0]) + sourceRect[2], texture->GetWidth());
    const long long bottom = std::min<long long>(
        static_cast<long long>(sourceRect[1]) + sourceRect[3], texture->GetHeight());
    const float width = static_cast<float>(std::max<long long>(right - left, 0));
    const float height = static_cast<float>(std::max<long long>(bottom - top, 0));
    const float x0 = static_cast<float>(x + source->GetDrawOffsetX());
    const float y0 = static_cast<float>(y + source->GetDrawOffsetY());
    const float uScale = texture->GetUScale(), vScale = texture->GetVScale();
    const float uLeft = static_cast<float>(source->GetSourceX() + left) * uScale;
    const float uRight = uLeft + width * uScale;
    const float vTop = static_cast<float>(source->GetSourceY() + top) * vScale;
    const float vBottom = vTop + height * vScale;
    const std::uint8_t alpha = source->m_alpha;
    const BatchVertex a = Vertex(x0, y0, uLeft, vTop, tint, alpha);
    const BatchVertex b = Vertex(x0 + width, y0, uRight, vTop, tint, alpha);
    const BatchVertex c = Vertex(x0 + width, y0 + height, uRight, vBottom, tint, alpha);
    const BatchVertex d = Vertex(x0, y0 + height, uLeft, vBottom, tint, alpha);
    Batcher::Instance->AddQuad(&a, &b, &c, &d);
}

void Surface::BlitTransformed(Surface* source, const float* x, const float* y, const float* angle,
                              const float* scale, const float* pivot, int mirror)
{
    if (source == nullptr)
        return;
    const int rect[4] = {0, 0, source->GetWidth(), source->GetHeight()};
    AddTransformedQuad(source, x, y, angle, scale, pivot, mirror, rect, WHITE);
}

void Surface::BlitTransformedRect(Surface* source, const float* x, const float* y,
                                  const float* angle, const float* scale, const float* pivot,
                                  int mirror, const int sourceRect[4])
{
    AddTransformedQuad(source, x, y, angle, scale, pivot, mirror, sourceRect, WHITE);
}

void Surface::BlitTransformedTinted(Surface* source, const float* x, const float* y,
                                    const float* angle, const float* scale, const float* pivot,
                                    int mirror, const int sourceRect[4],
                                    const std::uint8_t* tint)
{
    AddTransformedQuad(source, x, y, angle, scale, pivot, mirror, sourceRect, tint);
}

void Surface::AddTransformedQuad(Surface* source, const float* x, const float* y,
                                 const float* angle, const float* scale, const float* pivot,
                                 int mirror, const int sourceRect[4],
                                 const std::uint8_t* tint) const
{
    if (x == nullptr || y == nullptr || angle == nullptr || scale == nullptr || pivot == nullptr ||
        sourceRect == nullptr || tint == nullptr || !BeginSource(source))
        return;
    const PixelDataGL* texture = source->m_pixelData.Get();
    const float sw = static_cast<float>(sourceRect[2]), sh = static_cast<float>(sourceRect[3]);
    const float px = pivot[0], py = pivot[1];
    const float corners[4][2] = {{-px, -py}, {sw - px, -py}, {sw - px, sh - py}, {-px, sh - py}};
    const float c = static_cast<float>(std::cos(static_cast<double>(*angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(*angle)));
    const float u0 = static_cast<float>(source->GetSourceX() + sourceRect[0]);
    const float v0 = static_cast<float>(source->GetSourceY() + sourceRect[1]);
    const float uScale = texture->GetUScale(), vScale = texture->GetVScale();
    const float texels[4][2] = {{u0 * uScale, v0 * vScale},
                                {(u0 + sw) * uScale, v0 * vScale},
                                {(u0 + sw) * uScale, (v0 + sh) * vScale},
                                {u0 * uScale, (v0 + sh) * vScale}};
    static const int ORDER[3][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 0, 3, 2}};
    const int* order = ORDER[mirror == 1 ? 1 : mirror == 2 ? 2 : 0];
    BatchVertex v[4];
    for (int i = 0; i < 4; ++i) {
        const float cx = corners[i][0], cy = corners[i][1];
        v[i] = Vertex(*x + *scale * (c * cx - s * cy), *y + *scale * (s * cx + c * cy),
                      texels[order[i]][0], texels[order[i]][1], tint, source->m_alpha);
    }
    Batcher::Instance->AddQuad(&v[0], &v[1], &v[2], &v[3]);
}

Surface* Surface::Copy()
{
    if (m_pixelData.Get() == nullptr || m_pixelData->IsScreen())
        return nullptr;
    Surface* copy = new Surface(GetWidth(), GetHeight(), m_pixelData->GetFormat());
    copy->ClearGrey(0);
    copy->Blit(0, 0, this, m_rect);
    return copy;
}

Color Surface::GetPixel(int x, int y)
{
    // Without pixel data, what the base pixel data reads.
    return m_pixelData.Get() != nullptr ? m_pixelData->GetPixel(x, y) : Color{0, 0, 0, 255};
}

void Surface::SetPixel(int x, int y, const Color& colour)
{
    if (m_pixelData.Get() != nullptr && x >= m_rect[0] && y >= m_rect[1] &&
        x <= m_rect[0] + m_rect[2] && y <= m_rect[1] + m_rect[3])
        m_pixelData->SetPixel(x, y, colour);
}

} // namespace Tarv
