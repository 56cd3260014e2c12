// The tint effect: vertex-colour tinting, or the tint program when a factor brightens.
#include "graphics/render/Tint.h"

#include "graphics/render/Batcher.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/ShaderSources.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"

#include <cmath>
#include <limits>

namespace Tarv
{

namespace
{

// Factor times 255, truncated towards zero. A NaN, or a product outside the int range, has no
// defined conversion: NaN counts as 0 and the product is bounded to the int range.
int ToStored(float factor)
{
    const double product = static_cast<double>(factor) * 255.0;
    if (std::isnan(product))
        return 0;
    if (product >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (product <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(product);
}

} // namespace

Tint::Tint()
{
    if ((GetFeatures() & FEATURE_SHADER_TINT) != 0)
        m_shader.SetSources(ShaderSources::TEXTURE_ONLY_VERTEX, ShaderSources::TINT_FRAGMENT);
}

void Tint::SetColor(const float* red, const float* green, const float* blue)
{
    m_red = ToStored(*red);
    m_green = ToStored(*green);
    m_blue = ToStored(*blue);
}

void Tint::Apply(Surface* source, Surface* target)
{
    Batcher* batcher = Batcher::Instance.Get();
    PixelDataGL* texture = source != nullptr ? source->GetPixelData() : nullptr;
    if (batcher == nullptr || texture == nullptr || texture->IsScreen() || target == nullptr ||
        target->GetPixelData() == nullptr || texture == target->GetPixelData())
        return;
    const bool brighten = (m_red > 255 || m_green > 255 || m_blue > 255) &&
                          (GetFeatures() & FEATURE_SHADER_TINT) != 0;
    if (brighten) {
        static_cast<OpenGLBatcher*>(batcher)->SetShader(&m_shader);
        m_shader.SetUniformVec3("vColor", m_red / 255.0f, m_green / 255.0f, m_blue / 255.0f);
    } else {
        static_cast<OpenGLBatcher*>(batcher)->SetShader(nullptr);
    }
    batcher->SetTextured(true);
    batcher->SetRenderTarget(target->GetPixelData(), target->GetFlags(0xffffffffu));
    batcher->SetTexture(texture, source->GetFlags(0xffffffffu), source->GetAlpha());
    batcher->SetClipRect(target->GetRect());
    batcher->SetBlendMode(0);
    batcher->SetColorKey(false, 0, 0, 0);
    batcher->SetLineMode(false);
    if (!texture->IsDrawable())
        return;

    const float x0 = static_cast<float>(source->GetDrawOffsetX());
    const float y0 = static_cast<float>(source->GetDrawOffsetY());
    const float width = static_cast<float>(texture->GetWidth());
    const float height = static_cast<float>(texture->GetHeight());
    const float uLeft = static_cast<float>(source->GetSourceX()) * texture->GetUScale();
    const float uRight = uLeft + width * texture->GetUScale();
    const float vTop = static_cast<float>(source->GetSourceY()) * texture->GetVScale();
    const float vBottom = vTop + height * texture->GetVScale();
    // On the shader path the program ignores the vertex colour; on the built-in path every
    // factor is at most 255 here.
    const std::uint8_t r = static_cast<std::uint8_t>(m_red & 0xff);
    const std::uint8_t g = static_cast<std::uint8_t>(m_green & 0xff);
    const std::uint8_t b = static_cast<std::uint8_t>(m_blue & 0xff);
    const BatchVertex a{x0, y0, uLeft, vTop, r, g, b, 255};
    const BatchVertex bv{x0 + width, y0, uRight, vTop, r, g, b, 255};
    const BatchVertex c{x0 + width, y0 + height, uRight, vBottom, r, g, b, 255};
    const BatchVertex d{x0, y0 + height, uLeft, vBottom, r, g, b, 255};
    batcher->AddQuad(&a, &bv, &c, &d);
}

} // namespace Tarv
