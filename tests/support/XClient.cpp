// The test-side X connection: window look-up, pixel read-back, focus and close requests.
#include "tests/support/XClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

namespace TestSupport
{

namespace
{

int Scale(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// A test survives the protocol errors it provokes on purpose (a window that does not exist).
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

XClient::XClient(const std::string& displayName)
{
    XSetErrorHandler(IgnoreXError);
    m_display = XOpenDisplay(displayName.c_str());
}

XClient::~XClient()
{
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

unsigned long XClient::CreateWindow(int width, int height) const
{
    if (m_display == nullptr)
        return 0;
    XSetWindowAttributes attributes{};
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(
        m_display, DefaultRootWindow(m_display), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWEventMask, &attributes);
    XMapWindow(m_display, window);
    XEvent event;
    do {
        XWindowEvent(m_display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    return window;
}

std::vector<unsigned long> XClient::FindWindows(const std::string& name) const
{
    std::vector<unsigned long> found;
    if (m_display == nullptr)
        return found;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i) {
        if (GetWindowName(children[i]) == name)
            found.push_back(children[i]);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

unsigned long XClient::WaitForWindow(const std::string& name, int timeoutMs) const
{
    unsigned long window = 0;
    WaitUntil(
        [&] {
            const std::vector<unsigned long> windows = FindWindows(name);
            if (windows.size() != 1)
                return false;
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(m_display, windows[0], &attributes) ||
                attributes.map_state != IsViewable)
                return false;
            window = windows[0];
            return true;
        },
        timeoutMs);
    return window;
}

std::string XClient::GetWindowName(unsigned long window) const
{
    char* name = nullptr;
    if (m_display == nullptr || !XFetchName(m_display, window, &name) || name == nullptr)
        return "";
    std::string result = name;
    XFree(name);
    return result;
}

bool XClient::GetPixel(unsigned long window, int x, int y, Rgb& out) const
{
    if (m_display == nullptr)
        return false;
    XImage* image = XGetImage(m_display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    out.red = Scale(pixel, image->red_mask);
    out.green = Scale(pixel, image->green_mask);
    out.blue = Scale(pixel, image->blue_mask);
    XDestroyImage(image);
    return true;
}

std::vector<std::uint8_t> XClient::GetImage(unsigned long window, int x, int y, int w, int h) const
{
    std::vector<std::uint8_t> rgb;
    if (m_display == nullptr || w <= 0 || h <= 0)
        return rgb;
    XImage* image = XGetImage(m_display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
    if (image == nullptr)
        return rgb;
    rgb.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            rgb.push_back(static_cast<std::uint8_t>(Scale(pixel, image->red_mask)));
            rgb.push_back(static_cast<std::uint8_t>(Scale(pixel, image->green_mask)));
            rgb.push_back(static_cast<std::uint8_t>(Scale(pixel, image->blue_mask)));
        }
    }
    XDestroyImage(image);
    return rgb;
}

void XClient::SendDeleteWindow(unsigned long window) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XSync(m_display, False);
}

void XClient::DestroyWindow(unsigned long window) const
{
    XDestroyWindow(m_display, window);
    XSync(m_display, False);
}

void XClient::SetFocus(unsigned long window) const
{
    XSetInputFocus(m_display, window == 0 ? None : window, RevertToNone, CurrentTime);
    XSync(m_display, False);
}

void XClient::ResizeWindow(unsigned long window, int width, int height) const
{
    XResizeWindow(m_display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(m_display, False);
}

void XClient::MoveWindow(unsigned long window, int x, int y) const
{
    XMoveWindow(m_display, window, x, y);
    XSync(m_display, False);
}

void XClient::InternAtom(const std::string& name) const
{
    XInternAtom(m_display, name.c_str(), False);
    XSync(m_display, False);
}

bool XClient::HasProperty(unsigned long window, const std::string& name) const
{
    const Atom wanted = XInternAtom(m_display, name.c_str(), False);
    int count = 0;
    Atom* properties = XListProperties(m_display, window, &count);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || properties[i] == wanted;
    if (properties != nullptr)
        XFree(properties);
    return found;
}

bool XClient::GetGeometry(unsigned long window, int& width, int& height, int& depth,
                          bool& viewable) const
{
    XWindowAttributes attributes{};
    if (m_display == nullptr || !XGetWindowAttributes(m_display, window, &attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    depth = attributes.depth;
    viewable = attributes.map_state == IsViewable;
    return true;
}

bool XClient::AcceptsDeleteWindow(unsigned long window) const
{
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(m_display, window, &protocols, &count))
        return false;
    const Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || protocols[i] == deleteWindow;
    XFree(protocols);
    return found;
}

bool XClient::IsAutoRepeatOn() const
{
    XKeyboardState state{};
    XGetKeyboardControl(m_display, &state);
    return state.global_auto_repeat == AutoRepeatModeOn;
}

} // namespace TestSupport
