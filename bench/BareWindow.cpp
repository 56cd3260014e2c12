// The baseline of the program benchmark: an 800 x 480 X window with an OpenGL ES 2.0 context that
// only clears and swaps, so the memory the GL driver takes on its own can be told from the game's.
// Runs until it is terminated; prints "ready" once its first frame is swapped.
#include "BaselineWindow.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>

int main()
{
    Display* x = nullptr;
    Window window = 0;
    if (!BaselineWindow::Open("bare window", x, window))
        return 1;
    EGLDisplay display = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(x));
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return 1;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count == 0)
        return 1;
    EGLSurface surface = eglCreateWindowSurface(display, config, window, nullptr);
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context))
        return 1;
    eglSwapInterval(display, 1);
    for (unsigned frame = 0; !BaselineWindow::Stopped(); ++frame) {
        glClearColor(0.2f, 0.4f, static_cast<float>(frame % 60) / 60.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        eglSwapBuffers(display, surface);
        if (frame == 0)
            BaselineWindow::SayReady();
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    eglTerminate(display);
    XDestroyWindow(x, window);
    XCloseDisplay(x);
    return 0;
}
