// Tarv::Tint: multiplies the colours of a surface by a factor per channel; factors above 1.0
// brighten through a shader of its own. The developer console colours its text with it.
#pragma once

#include "graphics/render/OpenGLShader.h"
#include "graphics/render/PostProcess.h"

namespace Tarv
{

class Tint : public PostProcess
{
public:
    // Starts at factor 1.0 on every channel: drawing unchanged.
    Tint();

    // Factors per channel, stored times 255 truncated towards zero (negatives stay negative;
    // the vertex colour takes their low 8 bits). A NaN stores 0; a product beyond the int
    // range stores the nearest int.
    void SetColor(const float* red, const float* green, const float* blue);
    // Draws the whole source onto the target, tinted. Factors up to 1.0 ride on the vertex
    // colour of the built-in program; any factor above takes the tint program.
    void Apply(Surface* source, Surface* target) override;

    int GetRed() const { return m_red; }
    int GetGreen() const { return m_green; }
    int GetBlue() const { return m_blue; }
    const OpenGLShader& GetShader() const { return m_shader; }

private:
    int m_red = 255;
    int m_green = 255;
    int m_blue = 255;
    OpenGLShader m_shader;
};

} // namespace Tarv
