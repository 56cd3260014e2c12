// Tarv::GLCalls: the thin layer every GL call of the renderer goes through. It counts draw
// calls, uploads and state changes for tests and benchmarks, then forwards to the real driver
// (or, for instruction counting, to nothing at all).
#pragma once

#include <GLES2/gl2.h>

#include <cstdint>

namespace Tarv
{

class GLCalls
{
public:
    // What the renderer asked of GL since the last ResetCounters.
    struct Counters {
        std::uint64_t drawCalls;
        std::uint64_t indicesDrawn;
        std::uint64_t bufferUploads;  // glBufferData / glBufferSubData calls
        std::uint64_t bytesUploaded;  // vertex and index bytes handed to GL
        std::uint64_t textureUploads; // glTexImage2D calls
        std::uint64_t stateChanges;   // blend, scissor, viewport, program, texture, framebuffer
        std::uint64_t uniformSets;
        std::uint64_t calls;          // every call through this layer
    };

    static const Counters& GetCounters() { return s_counters; }
    static void ResetCounters() { s_counters = Counters{}; }

    // False: calls are counted but never reach the driver, and queries answer 0. Lets the
    // renderer's own CPU cost be measured without a rasteriser; never use with a live frame.
    static void SetForwarding(bool forward) { s_forward = forward; }
    static bool IsForwarding() { return s_forward; }

    static void ActiveTexture(GLenum unit);
    static void AttachShader(GLuint program, GLuint shader);
    static void BindAttribLocation(GLuint program, GLuint index, const char* name);
    static void BindBuffer(GLenum target, GLuint buffer);
    static void BindFramebuffer(GLenum target, GLuint framebuffer);
    static void BindTexture(GLenum target, GLuint texture);
    static void BlendFuncSeparate(GLenum srcRgb, GLenum dstRgb, GLenum srcAlpha, GLenum dstAlpha);
    static void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
    static void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
    static GLenum CheckFramebufferStatus(GLenum target);
    static void Clear(GLbitfield mask);
    static void ClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
    static void CompileShader(GLuint shader);
    static GLuint CreateProgram();
    static GLuint CreateShader(GLenum type);
    static void DeleteBuffers(GLsizei count, const GLuint* buffers);
    static void DeleteFramebuffers(GLsizei count, const GLuint* framebuffers);
    static void DeleteProgram(GLuint program);
    static void DeleteShader(GLuint shader);
    static void DeleteTextures(GLsizei count, const GLuint* textures);
    static void Disable(GLenum capability);
    static void DisableVertexAttribArray(GLuint index);
    static void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
    static void Enable(GLenum capability);
    static void EnableVertexAttribArray(GLuint index);
    static void FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget,
                                     GLuint texture, GLint level);
    static void GenBuffers(GLsizei count, GLuint* buffers);
    static void GenFramebuffers(GLsizei count, GLuint* framebuffers);
    static void GenTextures(GLsizei count, GLuint* textures);
    static void GetIntegerv(GLenum name, GLint* value);
    static void GetProgramInfoLog(GLuint program, GLsizei size, GLsizei* length, char* log);
    static void GetProgramiv(GLuint program, GLenum name, GLint* value);
    static void GetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, char* log);
    static void GetShaderiv(GLuint shader, GLenum name, GLint* value);
    // Null when not forwarding or when the driver has no answer.
    static const char* GetString(GLenum name);
    static GLint GetUniformLocation(GLuint program, const char* name);
    static void LinkProgram(GLuint program);
    static void PixelStorei(GLenum name, GLint value);
    static void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                           GLenum type, void* pixels);
    static void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
    static void ShaderSource(GLuint shader, const char* source);
    static void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                           GLsizei height, GLenum format, GLenum type, const void* pixels);
    static void TexParameteri(GLenum target, GLenum name, GLint value);
    static void Uniform1i(GLint location, GLint value);
    static void Uniform3f(GLint location, GLfloat x, GLfloat y, GLfloat z);
    static void UseProgram(GLuint program);
    static void VertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalised,
                                    GLsizei stride, const void* offset);
    static void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);

private:
    static Counters s_counters;
    static bool s_forward;
};

} // namespace Tarv
