// Tarv::MaemoSurface: the screen, i.e. the window's default framebuffer, with the EGL display,
// window surface and OpenGL ES 2.0 context that it brings up over the application's X window.
#pragma once

#include "graphics/render/Surface.h"

#include <cstdint>
#include <vector>

struct _XDisplay;

namespace Tarv
{

class MaemoSurface : public Surface
{
public:
    // The X connection and window the screen is created over. The shell sets them before the
    // first Display::Create; neither is owned here.
    static void SetNativeWindow(_XDisplay* xDisplay, unsigned long xWindow);

    // A new screen surface (count 0) with EGL and GL current on the calling thread, or null
    // when no native window is set or EGL cannot be brought up (the reason goes to stderr).
    static MaemoSurface* CreateScreenSurface(int width, int height);

    ~MaemoSurface() override;
    MaemoSurface(const MaemoSurface&) = delete;
    MaemoSurface& operator=(const MaemoSurface&) = delete;

    // Bytes per row of the 16-bit screen pixels.
    int GetPitch() const { return GetWidth() * 2; }
    // The pixel size of the chosen EGL config (16 on a 565 window, 24 or 32 otherwise).
    int GetBufferSize() const { return m_bufferSize; }
    _XDisplay* GetXDisplay() const { return m_xDisplay; }
    unsigned long GetXWindow() const { return m_xWindow; }

    // Takes a new window size; no EGL or GL call: the window surface follows the window itself,
    // and the batcher sets the viewport and projection at the next drawing into the screen.
    void Resize(int width, int height);

    // Starts a frame: deletes GL objects that other threads let go of. False when the surface
    // cannot be drawn to, and then the frame must be skipped.
    bool BeginFrame();
    // Ends a frame: draws what the batcher holds, then swaps buffers.
    void EndFrame();
    int GetFrameCount() const { return m_frameCount; }

    // Clears the whole screen to the colour (components 0 to 1), dropping pending drawing.
    void Clear(float red, float green, float blue, float alpha);

    // Reads back a rectangle of the frame being drawn (pending drawing included), bottom row
    // first, 4 bytes RGBA a pixel. False when the rectangle lies outside the screen.
    bool ReadPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba);

private:
    explicit MaemoSurface(PixelDataGL* pixelData);
    bool BringUpEgl();
    int m_bufferSize = 0;
    int m_frameCount = 0;
    _XDisplay* m_xDisplay = nullptr;
    unsigned long m_xWindow = 0;
    void* m_eglDisplay = nullptr;
    void* m_eglContext = nullptr;
    void* m_eglSurface = nullptr;
};

} // namespace Tarv
