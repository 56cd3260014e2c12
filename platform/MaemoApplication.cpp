// The X11 window, the main loop and the platform requests of the handheld's application.
#include "platform/MaemoApplication.h"

#include "engine/core/Clock.h"
#include "engine/core/NarrowString.h"
#include "engine/core/Report.h"
#include "graphics/render/Display.h"
#include "graphics/render/MaemoSurface.h"
#include "platform/DisplayWatch.h"
#include "platform/MaemoInputContext.h"
#include "platform/Osso.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace Tarv
{

namespace
{

constexpr const char* PRODUCT_TITLE = "Brashwick";
constexpr int MAP_WAIT_MS = 5000;
constexpr useconds_t PAUSED_SLEEP_US = 100000;

volatile sig_atomic_t s_stopRequested = 0;

// Protocol errors (an atom or property a desktop server lacks, a window already gone) are
// reported and survived; Xlib's default handler would end the program.
int OnXError(::Display* display, XErrorEvent* error)
{
    char text[128] = {0};
    XGetErrorText(display, error->error_code, text, sizeof(text) - 1);
    Tarv::Report("brashwick: X error ignored: %s (request %d)", text,
                 static_cast<int>(error->request_code));
    return 0;
}

void OnStopSignal(int)
{
    s_stopRequested = 1;
}

// Restores the server's key auto-repeat if the program ends through exit() while it is off.
::Display* s_repeatDisplay = nullptr;
void RestoreRepeatAtExit()
{
    if (s_repeatDisplay != nullptr) {
        XAutoRepeatOn(s_repeatDisplay);
        XFlush(s_repeatDisplay);
    }
}

Bool IsMapNotify(::Display*, XEvent* event, XPointer window)
{
    return event->type == MapNotify &&
           event->xmap.window == static_cast<Window>(reinterpret_cast<uintptr_t>(window));
}

} // namespace

MaemoApplication* MaemoApplication::Instance = nullptr;

// Xlib calls this when the server connection is lost, and ends the program if it returns, by
// exit(), whose handlers and destructors would talk to the dead server and GL. The
// application keeps its settings, then the program leaves at once. The display watch's thread
// may come here too; whichever comes second waits for the first to end the program.
int OnDisplayConnectionLost(::Display*)
{
    static std::atomic<bool> leaving{false};
    if (leaving.exchange(true)) {
        for (;;)
            pause();
    }
    // Nothing can be restored on a server that has gone.
    s_repeatDisplay = nullptr;
    Tarv::Report("brashwick: the connection to the X display was lost; leaving");
    if (MaemoApplication::Instance != nullptr)
        MaemoApplication::Instance->OnDisplayLost();
    std::fflush(nullptr);
    _exit(1);
}

MaemoApplication::MaemoApplication()
{
    Instance = this;
    m_xDisplay = XOpenDisplay(nullptr);
    if (m_xDisplay == nullptr) {
        m_startStatus = StartStatus::NO_X_DISPLAY;
        return;
    }
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnDisplayConnectionLost);
    if (!CreateWindow()) {
        m_startStatus = StartStatus::NO_WINDOW;
        return;
    }
    SetWindowProperties();

    m_maemoInput = new MaemoInputContext;
    m_inputContext = SmartPtr<AbstractInputContext>(m_maemoInput);
    m_inputContext->Attach(this);

    MaemoSurface::SetNativeWindow(m_xDisplay, m_window);
    m_display = SmartPtr<Display>(Display::Create(WINDOW_WIDTH, WINDOW_HEIGHT));
    if (m_display.Get() == nullptr) {
        m_startStatus = StartStatus::NO_GL;
        return;
    }
    WaitForMap();
    SendRootMessage("_NET_ACTIVE_WINDOW", 1, 0);
    TakeKeyRepeat();
}

MaemoApplication::~MaemoApplication()
{
    if (m_inputContext.Get() != nullptr)
        m_inputContext->Attach(nullptr);
    m_inputContext.Reset();
    m_maemoInput = nullptr;
    m_display.Reset();
    Display::ReleaseScreenSurface();
    MaemoSurface::SetNativeWindow(nullptr, 0);
    if (m_xDisplay != nullptr) {
        if (m_serverRepeatControl)
            SetServerRepeat(true);
        if (m_window != 0)
            XDestroyWindow(m_xDisplay, m_window);
        if (m_colormap != 0)
            XFreeColormap(m_xDisplay, m_colormap);
        XCloseDisplay(m_xDisplay);
    }
    if (Instance == this)
        Instance = nullptr;
}

bool MaemoApplication::CreateWindow()
{
    ::Display* display = m_xDisplay;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);

    // The handheld's 16-bit visual when the server has one, else the screen's own visual: a
    // depth-16 window on a 24-bit screen is refused (BadMatch).
    XVisualInfo info{};
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    if (XMatchVisualInfo(display, screen, 16, TrueColor, &info) != 0) {
        visual = info.visual;
        depth = 16;
    }
    XSetWindowAttributes attributes{};
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | StructureNotifyMask | FocusChangeMask;
    unsigned long mask = CWEventMask;
    if (visual != DefaultVisual(display, screen)) {
        m_colormap = XCreateColormap(display, root, visual, AllocNone);
        attributes.colormap = m_colormap;
        attributes.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
    }
    m_window = XCreateWindow(display, root, 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, 0, depth,
                             InputOutput, visual, mask, &attributes);
    XSync(display, False);
    XWindowAttributes check{};
    if (m_window == 0 || !XGetWindowAttributes(display, m_window, &check)) {
        m_window = 0;
        return false;
    }
    return true;
}

void MaemoApplication::SetWindowProperties()
{
    ::Display* display = m_xDisplay;
    // Atoms looked up only if they exist are None outside the handheld's window manager:
    // a property named None would be a protocol error, so it is skipped.
    const Atom wmState = XInternAtom(display, "_NET_WM_STATE", True);
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    if (wmState != None && fullscreen != None)
        XChangeProperty(display, m_window, wmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&fullscreen), 1);
    const Atom nonComposited = XInternAtom(display, "_HILDON_NON_COMPOSITED_WINDOW", True);
    if (nonComposited != None) {
        const long one = 1;
        XChangeProperty(display, m_window, nonComposited, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&one), 1);
    }
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    m_wmDeleteWindow = deleteWindow;
    XSetWMProtocols(display, m_window, &deleteWindow, 1);

    XMapWindow(display, m_window);
    XStoreName(display, m_window, PRODUCT_TITLE);
    SendRootMessage("_NET_WM_STATE", 1,
                    static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False)));

    XWMHints* hints = XGetWMHints(display, m_window);
    if (hints == nullptr)
        hints = XAllocWMHints();
    if (hints != nullptr) {
        hints->flags |= InputHint;
        hints->input = True;
        XSetWMHints(display, m_window, hints);
        XFree(hints);
    }
}

void MaemoApplication::SendRootMessage(const char* type, long data0, long data1)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = XInternAtom(m_xDisplay, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = data0;
    event.xclient.data.l[1] = data1;
    XSendEvent(m_xDisplay, DefaultRootWindow(m_xDisplay), False, SubstructureNotifyMask, &event);
}

void MaemoApplication::WaitForMap()
{
    // Only the MapNotify is taken from the queue: a ConfigureNotify or FocusIn that came
    // before it stays for the first pass of the loop.
    XFlush(m_xDisplay);
    XEvent event;
    XPointer window = reinterpret_cast<XPointer>(static_cast<uintptr_t>(m_window));
    for (int waited = 0; waited < MAP_WAIT_MS; waited += 50) {
        if (XCheckIfEvent(m_xDisplay, &event, IsMapNotify, window))
            return;
        pollfd entry{ConnectionNumber(m_xDisplay), POLLIN, 0};
        poll(&entry, 1, 50);
    }
    Tarv::Report("brashwick: the window was not mapped in time; carrying on");
}

void MaemoApplication::TakeKeyRepeat()
{
    // Detectable auto-repeat leaves the server's setting alone and reports a held key as
    // repeated presses only, which the input context drops. Where the server cannot do
    // that, repeat is switched off while the window has focus and restored on the way out.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(m_xDisplay, True, &supported);
    if (supported)
        return;
    m_serverRepeatControl = true;
    s_repeatDisplay = m_xDisplay;
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(RestoreRepeatAtExit);
    }
    SetServerRepeat(false);
}

void MaemoApplication::SetServerRepeat(bool on)
{
    if (!m_serverRepeatControl)
        return;
    if (on) {
        XAutoRepeatOn(m_xDisplay);
        s_repeatDisplay = nullptr;
    } else {
        XAutoRepeatOff(m_xDisplay);
        s_repeatDisplay = m_xDisplay;
    }
    XFlush(m_xDisplay);
}

void MaemoApplication::CatchStopSignals()
{
    struct sigaction stop{};
    stop.sa_handler = OnStopSignal;
    // Xlib treats an interrupted read as a lost connection: let the call resume.
    stop.sa_flags = SA_RESTART;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
}

int MaemoApplication::Run()
{
    if (!IsReady())
        return 1;
    struct sigaction oldInterrupt{};
    struct sigaction oldTerminate{};
    sigaction(SIGINT, nullptr, &oldInterrupt);
    sigaction(SIGTERM, nullptr, &oldTerminate);
    CatchStopSignals();

    Init();
    m_frameTimer.Start(GetTimeMs());
    // The driver's buffer swap may spin on a connection the server has dropped, never giving
    // Xlib the chance to report the loss: the watch then leaves in the main thread's place.
    m_displayWatch = std::make_unique<DisplayWatch>(ConnectionNumber(m_xDisplay), m_passes,
                                                    [] { OnDisplayConnectionLost(nullptr); });
    while (!m_quit)
        RunPass();
    m_displayWatch.reset();

    sigaction(SIGINT, &oldInterrupt, nullptr);
    sigaction(SIGTERM, &oldTerminate, nullptr);
    Shutdown();
    return m_exitStatus;
}

void MaemoApplication::RunPass()
{
    if (m_xDisplay == nullptr)
        return;
    ++m_passes;
    while (XPending(m_xDisplay) > 0) {
        XEvent event;
        XNextEvent(m_xDisplay, &event);
        DispatchEvent(event);
    }
    if (s_stopRequested != 0) {
        s_stopRequested = 0;
        Quit();
    }
    const float seconds = m_frameTimer.Advance(GetTimeMs());
    if (m_accelerometer.IsOn() && !m_paused && m_display.Get() != nullptr) {
        float sample[3];
        if (m_accelerometer.Advance(seconds, m_display->GetOrientation(), sample))
            OnAccelerometer(sample[0], sample[1], sample[2]);
    }
    Tick(seconds);
    if (m_paused)
        usleep(PAUSED_SLEEP_US);
    else
        m_framePacer.Pace();
}

void MaemoApplication::DispatchEvent(XEvent& event)
{
    switch (event.type) {
    case KeyPress:
    case KeyRelease:
        if (m_maemoInput != nullptr)
            m_maemoInput->HandleKeyEvent(&event);
        break;
    case ButtonPress:
        TouchPressed(event.xbutton.x, event.xbutton.y);
        break;
    case ButtonRelease:
        TouchReleased(event.xbutton.x, event.xbutton.y);
        break;
    case MotionNotify:
        TouchMoved(event.xmotion.x, event.xmotion.y);
        break;
    case FocusIn:
    case FocusOut: {
        const bool hasFocus = event.type == FocusIn;
        SetServerRepeat(!hasFocus);
        if (m_maemoInput != nullptr)
            m_maemoInput->ForgetHeldKeys();
        OnFocus(hasFocus);
        break;
    }
    case ConfigureNotify:
        if (event.xconfigure.window == m_window)
            OnConfigure(event.xconfigure.width, event.xconfigure.height);
        break;
    case DestroyNotify:
        // Another client destroyed the window: nothing is left to draw into.
        if (event.xdestroywindow.window == m_window) {
            m_window = 0;
            Quit();
        }
        break;
    case ClientMessage:
        if (event.xclient.format == 32 &&
            static_cast<unsigned long>(event.xclient.data.l[0]) == m_wmDeleteWindow)
            Quit();
        break;
    default:
        break;
    }
}

void MaemoApplication::OnConfigure(int width, int height)
{
    MaemoSurface* screen = Display::ScreenSurface.Get();
    if (screen == nullptr || (width == screen->GetWidth() && height == screen->GetHeight()))
        return;
    SmartPtr<Display> resized(Display::Create(width, height));
    if (resized.Get() != nullptr)
        m_display = resized;
}

void MaemoApplication::EnableAccelerometer(const float& intervalSeconds)
{
    m_accelerometer.Enable(intervalSeconds);
}

void MaemoApplication::DisableAccelerometer()
{
    m_accelerometer.Disable();
}

void MaemoApplication::Quit()
{
    m_quit = true;
}

bool MaemoApplication::OpenURL(const WideString& url)
{
    // Empty when the URL holds a code point UTF-8 cannot carry.
    const NarrowString utf8(url);
    if (utf8.empty())
        return false;
    return osso_rpc_run_with_defaults(m_ossoContext, "osso_browser", "open_new_window", nullptr,
                                      DBUS_TYPE_STRING, utf8.c_str(), DBUS_TYPE_INVALID) == OSSO_OK;
}

} // namespace Tarv
