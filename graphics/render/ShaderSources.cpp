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

// The texel's alpha plays no part in the key.
const char* const COLOUR_KEY_FRAGMENT =
    "uniform lowp sampler2D tex;\n"
    "uniform lowp vec3 key;\n"
    "varying mediump vec2 vTex;\n"
    "varying lowp vec4 vColor;\n"
    "void main() {\n"
    "    lowp vec4 t = texture2D(tex, vTex);\n"
    "    if (t.rgb == key.rgb)\n"
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
