// What the program benchmark's two baseline windows share: an 800 x 480 X window of their own
// and a stop flag that SIGTERM and SIGINT raise. Header only, so the bare window links nothing
// of the engine.
#pragma once

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>

namespace BaselineWindow
{

inline volatile std::sig_atomic_t s_stop = 0;

inline void OnStop(int)
{
    s_stop = 1;
}

// Installs the stop handlers and opens the window; false without an X server.
inline bool Open(const char* title, Display*& x, Window& window)
{
    std::signal(SIGTERM, OnStop);
    std::signal(SIGINT, OnStop);
    x = XOpenDisplay(nullptr);
    if (x == nullptr)
        return false;
    window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 800, 480, 0, 0, 0);
    XStoreName(x, window, title);
    XMapWindow(x, window);
    XFlush(x);
    return true;
}

inline bool Stopped()
{
    return s_stop != 0;
}

// The line the benchmark waits for, once the first frame is swapped.
inline void SayReady()
{
    std::puts("ready");
    std::fflush(stdout);
}

} // namespace BaselineWindow
