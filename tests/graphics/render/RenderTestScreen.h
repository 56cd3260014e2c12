// Shared by the drawing tests: a private Xvfb (depth 24) with an 800x480 window, the screen
// surface and batcher over it for one test suite, and helpers to make images and read pixels.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/Batcher.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/MaemoSurface.h"
#include "graphics/render/OpenGLBatcher.h"
#include "graphics/render/Surface.h"
#include "graphics/render/Texture.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace RenderTest
{

struct Rgba {
    int r;
    int g;
    int b;
    int a;
};

inline bool Near(const Rgba& got, const Rgba& want, int tolerance = 0, bool withAlpha = false)
{
    return std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
           std::abs(got.b - want.b) <= tolerance &&
           (!withAlpha || std::abs(got.a - want.a) <= tolerance);
}

inline std::ostream& operator<<(std::ostream& out, const Rgba& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

// An image of the format from a function of (x, y) giving r, g, b, a.
inline Tarv::SmartPtr<Tarv::Surface> MakeImage(int width, int height, int format,
                                                const std::function<Rgba(int, int)>& pixel)
{
    const int bytes = format == Tarv::PIXEL_FORMAT_ALPHA8 ? 1 : format == 2 ? 3 : 4;
    std::vector<std::uint8_t> data;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = pixel(x, y);
            const int values[4] = {c.r, c.g, c.b, c.a};
            if (bytes == 1)
                data.push_back(static_cast<std::uint8_t>(c.a));
            else
                for (int i = 0; i < bytes; ++i)
                    data.push_back(static_cast<std::uint8_t>(values[i]));
        }
    }
    Tarv::Texture* texture =
        Tarv::Texture::CreateFromPixels(width, height, format, data.data(), data.size());
    return Tarv::SmartPtr<Tarv::Surface>(new Tarv::Surface(texture));
}

// A 4x4 image whose texels all differ: r = 40 * x + 10, g = 40 * y + 10, b = 200, opaque.
inline Rgba PatternTexel(int x, int y)
{
    return Rgba{40 * x + 10, 40 * y + 10, 200, 255};
}

inline Rgba ReadPixel(Tarv::Surface* target, int x, int y)
{
    std::vector<std::uint8_t> rgba;
    if (!target->ReadBack(x, y, 1, 1, rgba))
        return Rgba{-1, -1, -1, -1};
    return Rgba{rgba[0], rgba[1], rgba[2], rgba[3]};
}

class ScreenTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<TestSupport::XvfbServer>(24);
        s_client = std::make_unique<TestSupport::XClient>(s_server->GetDisplayName());
        if (!s_client->IsOpen())
            return;
        const unsigned long window = s_client->CreateWindow(800, 480);
        Tarv::MaemoSurface::SetNativeWindow(s_client->GetDisplay(), window);
        s_display = Tarv::SmartPtr<Tarv::Display>(Tarv::Display::Create(800, 480));
    }

    static void TearDownTestSuite()
    {
        s_display.Reset();
        Tarv::Display::ReleaseScreenSurface();
        Tarv::MaemoSurface::SetNativeWindow(nullptr, 0);
        s_client.reset();
        s_server.reset();
    }

    void SetUp() override
    {
        ASSERT_NE(s_display.Get(), nullptr);
        ASSERT_NE(Batcher(), nullptr);
        Tarv::GLCalls::SetForwarding(true);
        Batcher()->SetBufferOrphaning(false);
        Screen()->SetRect(0, 0, 800, 480);
        Screen()->ClearGrey(0);
        Batcher()->Flush();
        Batcher()->ResetStats();
        Tarv::GLCalls::ResetCounters();
    }

    static Tarv::MaemoSurface* Screen() { return Tarv::Display::ScreenSurface.Get(); }
    static Tarv::OpenGLBatcher* Batcher()
    {
        return static_cast<Tarv::OpenGLBatcher*>(Tarv::Batcher::Instance.Get());
    }

    static inline std::unique_ptr<TestSupport::XvfbServer> s_server;
    static inline std::unique_ptr<TestSupport::XClient> s_client;
    static inline Tarv::SmartPtr<Tarv::Display> s_display;
};

} // namespace RenderTest
