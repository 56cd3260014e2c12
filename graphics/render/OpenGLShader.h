// Tarv::OpenGLShader: one GLSL ES program, built from its vertex and fragment sources the first
// time it is used. The built-in programs of the batcher and the tint program are these.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"

namespace Tarv
{

class OpenGLShader : public RefCounter
{
public:
    OpenGLShader() = default;
    ~OpenGLShader() override;
    OpenGLShader(const OpenGLShader&) = delete;
    OpenGLShader& operator=(const OpenGLShader&) = delete;

    // Stores copies of the sources; the vertex source goes without the position line, which
    // the build puts in front of it. Call once, before the first Use.
    void SetSources(const char* vertexSource, const char* fragmentSource);
    // Builds the program on first use (needs the GL context current), then makes it current.
    void Use();
    // Set a uniform of this program; GL applies it to the program in use, so Use first.
    void SetUniformInt(const char* name, int value);
    void SetUniformVec3(const char* name, float x, float y, float z);

    // Whether the program has been built, and whether it compiled and linked.
    bool IsBuilt() const { return m_program != 0; }
    bool IsLinked() const { return m_linked; }
    unsigned int GetProgram() const { return m_program; }

private:
    void Build();

    unsigned int m_program = 0;
    unsigned int m_vertexShader = 0;
    unsigned int m_fragmentShader = 0;
    bool m_linked = false;
    NarrowString m_vertexSource;
    NarrowString m_fragmentSource;
};

} // namespace Tarv
