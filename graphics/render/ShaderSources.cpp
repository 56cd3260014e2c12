// Shader texts: precision is given per variable, as GLSL ES 1.00 on the handheld wants it.
#include "graphics/render/ShaderSources.h"

namespace Tarv
{

namespace ShaderSources
{

const char* const TEXTURED_VERTEX =
    "uniform mediump vec3 screen;\n"
    "attribute mediump vec2 inPos;\n"
    "attribute mediump vec2 inUV;\n"
    "attribute lowp vec4 inColor;\n"
    "varying mediump vec2 vTex;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    vTex = inUV;\n"
    "    vColor = inColor;\n"
    "    GLPOSITION;\n"
    "}\n";

const char* const COLOUR_VERTEX =
    "uniform mediump vec3 screen;\n"
    "attribute mediump vec2 inPos;\n"
    "attribute lowp vec4 inColor;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    vColor = inColor;\n"
    "    GLPOSITION;\n"
    "}\n";

const char* const TEXTURE_ONLY_VERTEX =
    "uniform mediump vec3 screen;\n"
    "attribute mediump vec2 inPos;\n"
    "attribute mediump vec2 inUV;\n"
    "varying mediump vec2 vTex;\n"
    "void main() {\n"
    "    vTex = inUV;\n"
    "    GLPOSITION;\n"
    "}\n";

// The key is compared within half a step of 8 bits, not exactly: the texel as sampled and the
// key as set from its bytes need not be the same float (Mesa's llvmpipe misses most keys other
// than 0 and 255 per channel), and a missed key draws the texels it should have dropped. The
// texel's alpha plays no part.
const char* const COLOUR_KEY_FRAGMENT =
    "uniform lowp sampler2D tex;\n"
    "uniform mediump vec3 key;\n"
    "varying mediump vec2 vTex;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    lowp vec4 t = texture2D(tex, vTex);\n"
    "    mediump vec3 d = abs(t.rgb - key);\n"
    "    if (max(max(d.r, d.g), d.b) < 0.5 / 255.0)\n"
    "        discard;\n"
    "    gl_FragColor = t * vColor;\n"
    "}\n";

const char* const TEXTURE_FRAGMENT =
    "uniform lowp sampler2D tex;\n"
    "varying mediump vec2 vTex;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    gl_FragColor = texture2D(tex, vTex) * vColor;\n"
    "}\n";

const char* const ALPHA_FRAGMENT =
    "uniform lowp sampler2D tex;\n"
    "varying mediump vec2 vTex;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    lowp float a = texture2D(tex, vTex).a;\n"
    "    gl_FragColor = vColor * vec4(1.0, 1.0, 1.0, a);\n"
    "}\n";

const char* const COLOUR_FRAGMENT =
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    gl_FragColor = vColor;\n"
    "}\n";

const char* const TINT_FRAGMENT =
    "uniform mediump vec3 vColor;\n"
    "uniform lowp sampler2D tex;\n"
    "varying mediump vec2 vTex;\n"
    "void main() {\n"
    "    lowp vec4 t = texture2D(tex, vTex);\n"
    "    gl_FragColor = t * vec4(vColor.r, vColor.g, vColor.b, 1.0);\n"
    "}\n";

} // namespace ShaderSources

} // namespace Tarv
