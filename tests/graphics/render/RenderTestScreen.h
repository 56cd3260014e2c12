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
#include "graphics/render/PixelDataGL.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <functional>
#include <initializer_list>
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
    const int bytes = format == Tarv::PixelDataGL::FORMAT_ALPHA8 ? 1 : format == 2 ? 3 : 4;
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
    Tarv::PixelDataGL* texture =
        Tarv::PixelDataGL::CreateFromPixels(width, height, format, data.data(), data.size());
    return Tarv::SmartPtr<Tarv::Surface>(new Tarv::Surface(texture));
}

// A 4x4 image whose texels all differ: r = 40 * x + 10, g = 40 * y + 10, b = 200, opaque.
inline Rgba PatternTexel(int x, int y)
{
    return Rgba{40 * x + 10, 40 * y + 10, 200, 255};
}

// Reads the w x h block at (x, y) of the target's pixel data back through glReadPixels after
// drawing what is pending: rows top first, 4 bytes RGBA a pixel. False when the block is not
// inside the pixel data.
inline bool ReadBack(Tarv::Surface* target, int x, int y, int w, int h, std::vector<std::uint8_t>& rgba)
{
    Tarv::PixelDataGL* pixels = target != nullptr ? target->GetPixelData() : nullptr;
    if (Tarv::Batcher::Instance.Get() == nullptr || pixels == nullptr || x < 0 || y < 0 || w <= 0 ||
        h <= 0 || x > pixels->GetWidth() - w || y > pixels->GetHeight() - h)
        return false;
    Tarv::Batcher::Instance->SetRenderTarget(pixels, target->GetFlags(0xffffffffu));
    Tarv::Batcher::Instance->Flush();
    const std::size_t rowBytes = std::size_t(w) * 4;
    std::vector<std::uint8_t> rows(rowBytes * std::size_t(h));
    // The screen's rows are bottom-up in GL; an off-screen target's GL row y is its row y.
    const bool screen = pixels->IsScreen();
    Tarv::GLCalls::ReadPixels(x, screen ? pixels->GetHeight() - y - h : y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    rgba.resize(rows.size());
    for (int row = 0; row < h; ++row)
        std::copy_n(rows.data() + std::size_t(screen ? h - 1 - row : row) * rowBytes, rowBytes,
                    rgba.data() + std::size_t(row) * rowBytes);
    return true;
}

inline Rgba ReadPixel(Tarv::Surface* target, int x, int y)
{
    std::vector<std::uint8_t> rgba;
    if (!ReadBack(target, x, y, 1, 1, rgba))
        return Rgba{-1, -1, -1, -1};
    return Rgba{rgba[0], rgba[1], rgba[2], rgba[3]};
}

struct Probe {
    int x;
    int y;
    Rgba want;
    int tolerance = 0;
    bool withAlpha = false;
};

// Reads each probe's pixel back from the target and names the ones that differ.
inline void ExpectPixels(Tarv::Surface* target, std::initializer_list<Probe> probes)
{
    for (const Probe& p : probes) {
        const Rgba got = ReadPixel(target, p.x, p.y);
        EXPECT_TRUE(Near(got, p.want, p.tolerance, p.withAlpha))
            << "at " << p.x << "," << p.y << ": " << got << " for " << p.want;
    }
}

// The w x h block at (left, top) against pixel(x, y) of its own coordinates.
inline void ExpectBlock(Tarv::Surface* target, int left, int top, int w, int h,
                        const std::function<Rgba(int, int)>& pixel, bool withAlpha = false)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ExpectPixels(target, {{left + x, top + y, pixel(x, y), 0, withAlpha}});
}

struct GoldenDiff {
    bool compared = false; // false when the golden file is missing or not of the region's size
    int differing = 0;     // pixels whose largest channel difference is over the tolerance
    int worst = 0;         // the largest channel difference of all
};

// Reads the w x h region at (x, y) (the target's origin unless given) back and compares it with
// the golden PPM at path. BRASHWICK_UPDATE_GOLDEN=1 writes the golden image anew instead (and
// compares equal).
inline GoldenDiff CompareGolden(Tarv::Surface* target, const std::string& path, int w, int h,
                                int tolerance, int x = 0, int y = 0)
{
    GoldenDiff diff;
    std::vector<std::uint8_t> rgba, rgb, golden;
    if (!ReadBack(target, x, y, w, h, rgba))
        return diff;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(path, std::ios::binary);
        out << "P6\n" << w << " " << h << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
        diff.compared = bool(out);
        return diff;
    }
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    if (!(in >> magic >> width >> height >> maximum) || magic != "P6" || width != w ||
        height != h || maximum != 255)
        return diff;
    in.get();
    golden.assign(rgb.size(), 0);
    in.read(reinterpret_cast<char*>(golden.data()), std::streamsize(golden.size()));
    diff.compared = bool(in);
    for (std::size_t i = 0; diff.compared && i < rgb.size(); i += 3) {
        int largest = 0;
        for (std::size_t c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(int(rgb[i + c]) - int(golden[i + c])));
        diff.differing += largest > tolerance ? 1 : 0;
        diff.worst = std::max(diff.worst, largest);
    }
    return diff;
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
