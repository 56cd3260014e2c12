// The second baseline of the program benchmark: the engine's own 800 x 480 screen that, every
// frame, draws one small image of each kind the game draws (opaque, blended, alpha-only with a
// colour, colour-keyed) and an untextured rectangle. It holds no content; what it takes above
// the bare window is what the GL driver needs to draw with the engine's programs at all.
// Runs until it is terminated; prints "ready" once its first frame is swapped.
#include "BaselineWindow.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"

#include <vector>

namespace
{

// An 8 x 8 image of the format, every texel the same; half transparent where it has alpha.
Tarv::SmartPtr<Tarv::Surface> SmallImage(int format)
{
    const int bytes = Tarv::PixelDataGL::TexelBytes(format);
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 64; ++i) {
        const std::uint8_t texel[4] = {200, 120, 40, 128};
        pixels.insert(pixels.end(), bytes == 1 ? texel + 3 : texel, bytes == 1 ? texel + 4 : texel + bytes);
    }
    return Tarv::SmartPtr<Tarv::Surface>(
        new Tarv::Surface(Tarv::PixelDataGL::CreateFromPixels(8, 8, format, pixels.data(), pixels.size())));
}

} // namespace

int main()
{
    Display* x = nullptr;
    Window window = 0;
    if (!BaselineWindow::Open("drawing window", x, window))
        return 1;
    Tarv::GLCalls::SetForwarding(true);
    Tarv::MaemoSurface::SetNativeWindow(x, window);
    Tarv::SmartPtr<Tarv::Display> display(Tarv::Display::Create(800, 480));
    Tarv::MaemoSurface* screen = Tarv::Display::ScreenSurface.Get();
    if (!display || screen == nullptr)
        return 1;
    const Tarv::SmartPtr<Tarv::Surface> images[] = {SmallImage(Tarv::PixelDataGL::FORMAT_RGB888),
                                                    SmallImage(Tarv::PixelDataGL::FORMAT_RGBA8888),
                                                    SmallImage(Tarv::PixelDataGL::FORMAT_ALPHA8),
                                                    SmallImage(Tarv::PixelDataGL::FORMAT_RGBA8888)};
    images[3]->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    const int rect[4] = {0, 0, 8, 8};
    const std::uint8_t tint[4] = {255, 255, 255, 255};
    const std::uint8_t colour[4] = {40, 200, 90, 160};
    for (unsigned frame = 0; !BaselineWindow::Stopped(); ++frame) {
        if (!screen->BeginFrame())
            continue;
        screen->Clear(0.2f, 0.4f, static_cast<float>(frame % 60) / 60.0f, 1.0f);
        for (int i = 0; i < 4; ++i) {
            if (i == 2)
                screen->BlitTinted(20 + 20 * i, 20, tint, images[i].Get(), rect);
            else
                screen->Blit(20 + 20 * i, 20, images[i].Get(), rect);
        }
        screen->FillRect(120, 20, 140, 40, colour);
        screen->EndFrame();
        if (frame == 0)
            BaselineWindow::SayReady();
    }
    display.Reset();
    Tarv::Display::ReleaseScreenSurface();
    Tarv::MaemoSurface::SetNativeWindow(nullptr, 0);
    XDestroyWindow(x, window);
    XCloseDisplay(x);
    return 0;
}
