// Brings EGL and OpenGL ES 2.0 up over the X window, and draws, swaps and reads back frames.
#include "graphics/render/MaemoSurface.h"

#include "engine/core/Report.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLCaps.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <link.h>

#if defined(__SANITIZE_ADDRESS__)
#define BRASHWICK_KEEP_GL_DRIVER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRASHWICK_KEEP_GL_DRIVER 1
#endif
#endif

namespace Tarv
{

namespace
{

#if defined(BRASHWICK_KEEP_GL_DRIVER)
int CollectDriver(dl_phdr_info* info, std::size_t, void* names)
{
    if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr)
        static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    return 0;
}
#endif

// A leak report names a frame's library only while it is loaded, and Mesa unloads its driver
// at eglTerminate: the driver's own leaks at exit would show as "<unknown module>", beyond the
// reach of a suppression by name (tools/dev/lsan.supp). Sanitizer builds keep it loaded.
void KeepGlDriverLoaded()
{
#if defined(BRASHWICK_KEEP_GL_DRIVER)
    std::vector<std::string> names;
    dl_iterate_phdr(&CollectDriver, &names);
    // Outside the walk: dlopen takes the loader's locks.
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}

::Display* s_nativeDisplay = nullptr;
Window s_nativeWindow = 0;

// Prefers the config made for the window's own visual: a config of another depth or visual
// cannot back the window (eglCreateWindowSurface fails with EGL_BAD_MATCH).
EGLConfig ChooseConfig(EGLDisplay display, VisualID windowVisual)
{
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_SURFACE_TYPE,
                                 EGL_WINDOW_BIT, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, nullptr, 0, &count) || count <= 0)
        return nullptr;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (!eglChooseConfig(display, attributes, configs.data(), count, &count) || count <= 0)
        return nullptr;
    for (EGLint i = 0; i < count; ++i) {
        EGLint visual = 0;
        if (eglGetConfigAttrib(display, configs[i], EGL_NATIVE_VISUAL_ID, &visual) &&
            static_cast<VisualID>(visual) == windowVisual)
            return configs[i];
    }
    return nullptr;
}

} // namespace

void MaemoSurface::SetNativeWindow(_XDisplay* xDisplay, unsigned long xWindow)
{
    s_nativeDisplay = xDisplay;
    s_nativeWindow = xWindow;
}

MaemoSurface* MaemoSurface::CreateScreenSurface(int width, int height)
{
    if (s_nativeDisplay == nullptr || s_nativeWindow == 0 || width <= 0 || height <= 0)
        return nullptr;
    PixelDataGL* screen = PixelDataGL::CreateScreen(width, height);
    if (screen == nullptr)
        return nullptr;
    MaemoSurface* surface = new MaemoSurface(screen);
    if (!surface->BringUpEgl()) {
        delete surface;
        return nullptr;
    }
    return surface;
}

MaemoSurface::MaemoSurface(PixelDataGL* pixelData)
    : Surface(pixelData), m_xDisplay(s_nativeDisplay), m_xWindow(s_nativeWindow)
{
}

MaemoSurface::~MaemoSurface()
{
    if (m_eglDisplay == nullptr)
        return;
    // The batcher's GL objects go while their context is still current.
    if (m_eglContext != nullptr && eglGetCurrentContext() == m_eglContext) {
        PixelDataGL::DeleteQueuedNames();
        OpenGLCaps::Shutdown();
    }
    eglMakeCurrent(m_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_eglContext != nullptr)
        eglDestroyContext(m_eglDisplay, m_eglContext);
    if (m_eglSurface != nullptr)
        eglDestroySurface(m_eglDisplay, m_eglSurface);
    eglTerminate(m_eglDisplay);
}

bool MaemoSurface::BringUpEgl()
{
    XWindowAttributes window{};
    if (!XGetWindowAttributes(m_xDisplay, m_xWindow, &window) || window.visual == nullptr) {
        Tarv::Report("brashwick: the window for the screen does not exist");
        return false;
    }
    EGLDisplay display = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(m_xDisplay));
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        Tarv::Report("brashwick: EGL cannot be initialised (error 0x%x)", eglGetError());
        return false;
    }
    m_eglDisplay = display;
    KeepGlDriverLoaded();
    EGLConfig config = ChooseConfig(display, XVisualIDFromVisual(window.visual));
    if (config == nullptr) {
        Tarv::Report("brashwick: no EGL config for OpenGL ES 2.0 matches the window");
        return false;
    }
    eglGetConfigAttrib(display, config, EGL_BUFFER_SIZE, &m_bufferSize);
    m_eglSurface = eglCreateWindowSurface(
        display, config, static_cast<EGLNativeWindowType>(m_xWindow), nullptr);
    if (m_eglSurface == EGL_NO_SURFACE) {
        m_eglSurface = nullptr;
        Tarv::Report("brashwick: no EGL window surface (error 0x%x)", eglGetError());
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    m_eglContext = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (m_eglContext == EGL_NO_CONTEXT) {
        m_eglContext = nullptr;
        Tarv::Report("brashwick: no OpenGL ES 2.0 context (error 0x%x)", eglGetError());
        return false;
    }
    if (!eglMakeCurrent(display, m_eglSurface, m_eglSurface, m_eglContext)) {
        Tarv::Report("brashwick: the GL context cannot be made current");
        return false;
    }
    // Swaps wait for the display's refresh where the server supports it; where it does not,
    // the main loop paces its frames itself.
    eglSwapInterval(display, 1);
    PixelDataGL::SetGLThread();
    OpenGLCaps::Init();
    GLCalls::Enable(GL_SCISSOR_TEST);
    return true;
}

void MaemoSurface::Resize(int width, int height)
{
    if (width <= 0 || height <= 0 || m_pixelData.Get() == nullptr)
        return;
    m_pixelData->Resize(width, height);
    SetRect(0, 0, GetWidth(), GetHeight());
}

bool MaemoSurface::BeginFrame()
{
    if (m_eglContext == nullptr)
        return false;
    PixelDataGL::DeleteQueuedNames();
    return true;
}

void MaemoSurface::EndFrame()
{
    if (m_eglSurface == nullptr)
        return;
    if (Batcher::Instance.Get() != nullptr)
        Batcher::Instance->Flush();
    eglSwapBuffers(m_eglDisplay, m_eglSurface);
    ++m_frameCount;
}

void MaemoSurface::Clear(float red, float green, float blue, float alpha)
{
    Batcher* batcher = Batcher::Instance.Get();
    if (batcher == nullptr)
        return;
    batcher->SetRenderTarget(m_pixelData.Get(), GetFlags(0xffffffffu));
    batcher->SetClipRect(m_rect);
    batcher->Clear(&red, &green, &blue, &alpha);
}

bool MaemoSurface::ReadPixels(int x, int y, int width, int height,
                              std::vector<std::uint8_t>& rgba)
{
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x > GetWidth() - width ||
        y > GetHeight() - height || Batcher::Instance.Get() == nullptr)
        return false;
    Batcher::Instance->SetRenderTarget(m_pixelData.Get(), GetFlags(0xffffffffu));
    Batcher::Instance->Flush();
    rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    GLCalls::ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return glGetError() == GL_NO_ERROR;
}

} // namespace Tarv
