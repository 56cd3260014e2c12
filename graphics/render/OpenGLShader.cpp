// Lazy building of GLSL ES programs; compile and link messages are reported once.
#include "graphics/render/OpenGLShader.h"

#include "engine/core/Report.h"
#include "graphics/render/GLCalls.h"

#include <cstdio>
#include <vector>

namespace Tarv
{

namespace
{

// Every vertex source ends its main function with GLPOSITION; the uniform "screen" maps target
// pixels to the viewport (see OpenGLBatcher's projection).
const char* const POSITION_LINE =
    "#define GLPOSITION gl_Position = vec4( inPos.x * screen[0] - 1.0, inPos.y * screen[1] - "
    "screen[2], 0.0, 1.0 );\n";

void ReportLog(unsigned int object, bool isProgram, const char* what)
{
    GLint length = 0;
    if (isProgram)
        GLCalls::GetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        GLCalls::GetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length < 2)
        return;
    std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
    if (isProgram)
        GLCalls::GetProgramInfoLog(object, length, nullptr, log.data());
    else
        GLCalls::GetShaderInfoLog(object, length, nullptr, log.data());
    Tarv::Report("brashwick: %s: %s", what, log.data());
}

unsigned int Compile(GLenum type, const NarrowString& source)
{
    const unsigned int shader = GLCalls::CreateShader(type);
    GLCalls::ShaderSource(shader, source.c_str());
    GLCalls::CompileShader(shader);
    GLint compiled = GL_FALSE;
    GLCalls::GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE && GLCalls::IsForwarding())
        ReportLog(shader, false, type == GL_VERTEX_SHADER ? "vertex shader" : "fragment shader");
    return shader;
}

} // namespace

OpenGLShader::~OpenGLShader()
{
    if (m_program != 0)
        GLCalls::DeleteProgram(m_program);
    if (m_fragmentShader != 0)
        GLCalls::DeleteShader(m_fragmentShader);
    if (m_vertexShader != 0)
        GLCalls::DeleteShader(m_vertexShader);
}

void OpenGLShader::SetSources(const char* vertexSource, const char* fragmentSource)
{
    m_vertexSource = vertexSource != nullptr ? vertexSource : "";
    m_fragmentSource = fragmentSource != nullptr ? fragmentSource : "";
}

void OpenGLShader::Use()
{
    if (m_program == 0)
        Build();
    GLCalls::UseProgram(m_program);
}

void OpenGLShader::SetUniformInt(const char* name, int value)
{
    GLCalls::Uniform1i(GLCalls::GetUniformLocation(m_program, name), value);
}

void OpenGLShader::SetUniformVec3(const char* name, float x, float y, float z)
{
    GLCalls::Uniform3f(GLCalls::GetUniformLocation(m_program, name), x, y, z);
}

void OpenGLShader::Build()
{
    NarrowString vertexText(POSITION_LINE);
    vertexText += m_vertexSource;
    m_vertexShader = Compile(GL_VERTEX_SHADER, vertexText);
    m_fragmentShader = Compile(GL_FRAGMENT_SHADER, m_fragmentSource);
    m_program = GLCalls::CreateProgram();
    GLCalls::AttachShader(m_program, m_vertexShader);
    GLCalls::AttachShader(m_program, m_fragmentShader);
    GLCalls::BindAttribLocation(m_program, 0, "inPos");
    GLCalls::BindAttribLocation(m_program, 1, "inUV");
    GLCalls::BindAttribLocation(m_program, 2, "inColor");
    GLCalls::LinkProgram(m_program);
    GLint linked = GL_FALSE;
    GLCalls::GetProgramiv(m_program, GL_LINK_STATUS, &linked);
    m_linked = linked == GL_TRUE;
    if (!m_linked && GLCalls::IsForwarding())
        ReportLog(m_program, true, "shader program");
}

} // namespace Tarv
