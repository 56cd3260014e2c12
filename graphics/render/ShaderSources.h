// The GLSL ES 1.00 sources of the built-in programs and of the tint. Vertex sources go without
// the position line that OpenGLShader puts in front of them.
#pragma once

namespace Tarv
{

namespace ShaderSources
{

extern const char* const TEXTURED_VERTEX;
extern const char* const COLOUR_VERTEX;
extern const char* const TEXTURE_ONLY_VERTEX;

extern const char* const COLOUR_KEY_FRAGMENT;
extern const char* const TEXTURE_FRAGMENT;
extern const char* const ALPHA_FRAGMENT;
extern const char* const COLOUR_FRAGMENT;
extern const char* const TINT_FRAGMENT;

} // namespace ShaderSources

} // namespace Tarv
