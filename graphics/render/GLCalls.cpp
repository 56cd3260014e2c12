// Counts each GL call, then forwards it to the driver unless forwarding is off.
#include "graphics/render/GLCalls.h"

namespace Tarv
{

namespace
{

// Without a driver, names still have to be distinct and non-zero.
GLuint NextName()
{
    static GLuint s_next = 1;
    return s_next++;
}

void MakeNames(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
        names[i] = NextName();
}

} // namespace

GLCalls::Counters GLCalls::s_counters{};
bool GLCalls::s_forward = true;

void GLCalls::ActiveTexture(GLenum unit)
{
    ++s_counters.calls;
    if (s_forward)
        glActiveTexture(unit);
}

void GLCalls::AttachShader(GLuint program, GLuint shader)
{
    ++s_counters.calls;
    if (s_forward)
        glAttachShader(program, shader);
}

void GLCalls::BindAttribLocation(GLuint program, GLuint index, const char* name)
{
    ++s_counters.calls;
    if (s_forward)
        glBindAttribLocation(program, index, name);
}

void GLCalls::BindBuffer(GLenum target, GLuint buffer)
{
    ++s_counters.calls;
    if (s_forward)
        glBindBuffer(target, buffer);
}

void GLCalls::BindFramebuffer(GLenum target, GLuint framebuffer)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glBindFramebuffer(target, framebuffer);
}

void GLCalls::BindTexture(GLenum target, GLuint texture)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glBindTexture(target, texture);
}

void GLCalls::BlendFuncSeparate(GLenum srcRgb, GLenum dstRgb, GLenum srcAlpha, GLenum dstAlpha)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glBlendFuncSeparate(srcRgb, dstRgb, srcAlpha, dstAlpha);
}

void GLCalls::BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage)
{
    ++s_counters.calls;
    ++s_counters.bufferUploads;
    if (data != nullptr)
        s_counters.bytesUploaded += static_cast<std::uint64_t>(size);
    if (s_forward)
        glBufferData(target, size, data, usage);
}

void GLCalls::BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data)
{
    ++s_counters.calls;
    ++s_counters.bufferUploads;
    s_counters.bytesUploaded += static_cast<std::uint64_t>(size);
    if (s_forward)
        glBufferSubData(target, offset, size, data);
}

GLenum GLCalls::CheckFramebufferStatus(GLenum target)
{
    ++s_counters.calls;
    return s_forward ? glCheckFramebufferStatus(target) : GL_FRAMEBUFFER_COMPLETE;
}

void GLCalls::Clear(GLbitfield mask)
{
    ++s_counters.calls;
    if (s_forward)
        glClear(mask);
}

void GLCalls::ClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    ++s_counters.calls;
    if (s_forward)
        glClearColor(red, green, blue, alpha);
}

void GLCalls::CompileShader(GLuint shader)
{
    ++s_counters.calls;
    if (s_forward)
        glCompileShader(shader);
}

GLuint GLCalls::CreateProgram()
{
    ++s_counters.calls;
    if (s_forward)
        return glCreateProgram();
    return NextName();
}

GLuint GLCalls::CreateShader(GLenum type)
{
    ++s_counters.calls;
    if (s_forward)
        return glCreateShader(type);
    return NextName();
}

void GLCalls::DeleteBuffers(GLsizei count, const GLuint* buffers)
{
    ++s_counters.calls;
    if (s_forward)
        glDeleteBuffers(count, buffers);
}

void GLCalls::DeleteFramebuffers(GLsizei count, const GLuint* framebuffers)
{
    ++s_counters.calls;
    if (s_forward)
        glDeleteFramebuffers(count, framebuffers);
}

void GLCalls::DeleteProgram(GLuint program)
{
    ++s_counters.calls;
    if (s_forward)
        glDeleteProgram(program);
}

void GLCalls::DeleteShader(GLuint shader)
{
    ++s_counters.calls;
    if (s_forward)
        glDeleteShader(shader);
}

void GLCalls::DeleteTextures(GLsizei count, const GLuint* textures)
{
    ++s_counters.calls;
    if (s_forward)
        glDeleteTextures(count, textures);
}

void GLCalls::Disable(GLenum capability)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glDisable(capability);
}

void GLCalls::DisableVertexAttribArray(GLuint index)
{
    ++s_counters.calls;
    if (s_forward)
        glDisableVertexAttribArray(index);
}

void GLCalls::DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    ++s_counters.calls;
    ++s_counters.drawCalls;
    s_counters.indicesDrawn += static_cast<std::uint64_t>(count);
    if (s_forward)
        glDrawElements(mode, count, type, indices);
}

void GLCalls::Enable(GLenum capability)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glEnable(capability);
}

void GLCalls::EnableVertexAttribArray(GLuint index)
{
    ++s_counters.calls;
    if (s_forward)
        glEnableVertexAttribArray(index);
}

void GLCalls::FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget,
                                   GLuint texture, GLint level)
{
    ++s_counters.calls;
    if (s_forward)
        glFramebufferTexture2D(target, attachment, textureTarget, texture, level);
}

void GLCalls::GenBuffers(GLsizei count, GLuint* buffers)
{
    ++s_counters.calls;
    if (s_forward) {
        glGenBuffers(count, buffers);
        return;
    }
    MakeNames(count, buffers);
}

void GLCalls::GenFramebuffers(GLsizei count, GLuint* framebuffers)
{
    ++s_counters.calls;
    if (s_forward) {
        glGenFramebuffers(count, framebuffers);
        return;
    }
    MakeNames(count, framebuffers);
}

void GLCalls::GenTextures(GLsizei count, GLuint* textures)
{
    ++s_counters.calls;
    if (s_forward) {
        glGenTextures(count, textures);
        return;
    }
    MakeNames(count, textures);
}

void GLCalls::GetIntegerv(GLenum name, GLint* value)
{
    ++s_counters.calls;
    if (s_forward)
        glGetIntegerv(name, value);
    else
        *value = 0;
}

void GLCalls::GetProgramInfoLog(GLuint program, GLsizei size, GLsizei* length, char* log)
{
    ++s_counters.calls;
    if (s_forward)
        glGetProgramInfoLog(program, size, length, log);
}

void GLCalls::GetProgramiv(GLuint program, GLenum name, GLint* value)
{
    ++s_counters.calls;
    if (s_forward)
        glGetProgramiv(program, name, value);
    else
        *value = 0;
}

void GLCalls::GetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, char* log)
{
    ++s_counters.calls;
    if (s_forward)
        glGetShaderInfoLog(shader, size, length, log);
}

void GLCalls::GetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    ++s_counters.calls;
    if (s_forward)
        glGetShaderiv(shader, name, value);
    else
        *value = 0;
}

const char* GLCalls::GetString(GLenum name)
{
    ++s_counters.calls;
    return s_forward ? reinterpret_cast<const char*>(glGetString(name)) : nullptr;
}

GLint GLCalls::GetUniformLocation(GLuint program, const char* name)
{
    ++s_counters.calls;
    return s_forward ? glGetUniformLocation(program, name) : -1;
}

void GLCalls::LinkProgram(GLuint program)
{
    ++s_counters.calls;
    if (s_forward)
        glLinkProgram(program);
}

void GLCalls::PixelStorei(GLenum name, GLint value)
{
    ++s_counters.calls;
    if (s_forward)
        glPixelStorei(name, value);
}

void GLCalls::ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, void* pixels)
{
    ++s_counters.calls;
    if (s_forward) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, width, height, format, type, pixels);
    }
}

void GLCalls::Scissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glScissor(x, y, width, height);
}

void GLCalls::ShaderSource(GLuint shader, const char* source)
{
    ++s_counters.calls;
    if (s_forward)
        glShaderSource(shader, 1, &source, nullptr);
}

void GLCalls::TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLenum format, GLenum type, const void* pixels)
{
    ++s_counters.calls;
    ++s_counters.textureUploads;
    if (s_forward)
        glTexImage2D(target, level, internalFormat, width, height, 0, format, type, pixels);
}

void GLCalls::TexParameteri(GLenum target, GLenum name, GLint value)
{
    ++s_counters.calls;
    if (s_forward)
        glTexParameteri(target, name, value);
}

void GLCalls::Uniform1i(GLint location, GLint value)
{
    ++s_counters.calls;
    ++s_counters.uniformSets;
    if (s_forward)
        glUniform1i(location, value);
}

void GLCalls::Uniform3f(GLint location, GLfloat x, GLfloat y, GLfloat z)
{
    ++s_counters.calls;
    ++s_counters.uniformSets;
    if (s_forward)
        glUniform3f(location, x, y, z);
}

void GLCalls::UseProgram(GLuint program)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glUseProgram(program);
}

void GLCalls::VertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalised,
                                  GLsizei stride, const void* offset)
{
    ++s_counters.calls;
    if (s_forward)
        glVertexAttribPointer(index, size, type, normalised, stride, offset);
}

void GLCalls::Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    ++s_counters.calls;
    ++s_counters.stateChanges;
    if (s_forward)
        glViewport(x, y, width, height);
}

} // namespace Tarv
