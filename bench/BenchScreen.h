// The screen the drawing benchmarks draw on: a private Xvfb server and an 800x480 display over
// it, made at the first benchmark that asks and released when the program ends.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/Display.h"
#include "graphics/render/MaemoSurface.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

class BenchScreen
{
public:
    static BenchScreen& Get()
    {
        static BenchScreen s_screen;
        return s_screen;
    }
    ~BenchScreen()
    {
        m_display.Reset();
        Tarv::Display::ReleaseScreenSurface();
        Tarv::MaemoSurface::SetNativeWindow(nullptr, 0);
    }
    // Null when no server or display could be had.
    Tarv::MaemoSurface* GetScreen() const { return Tarv::Display::ScreenSurface.Get(); }

private:
    BenchScreen() : m_server(24), m_client(m_server.GetDisplayName())
    {
        if (!m_client.IsOpen())
            return;
        Tarv::MaemoSurface::SetNativeWindow(m_client.GetDisplay(), m_client.CreateWindow(800, 480));
        m_display = Tarv::SmartPtr<Tarv::Display>(Tarv::Display::Create(800, 480));
    }

    TestSupport::XvfbServer m_server;
    TestSupport::XClient m_client;
    Tarv::SmartPtr<Tarv::Display> m_display;
};
