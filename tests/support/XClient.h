// A test's own connection to an X server: finds windows, reads their pixels back, moves the
// focus and sends the window manager's messages that a bare Xvfb has no manager to send.
#pragma once

#include "tests/support/Wait.h"

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

namespace TestSupport
{

struct Rgb {
    int red;
    int green;
    int blue;
};

class XClient
{
public:
    explicit XClient(const std::string& displayName);
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    ~XClient();

    bool IsOpen() const { return m_display != nullptr; }
    _XDisplay* GetDisplay() const { return m_display; }

    // Creates and maps a top-level window of the screen's default visual and waits until the
    // server has mapped it; 0 on failure. Destroyed with the connection.
    unsigned long CreateWindow(int width, int height) const;

    // Top-level windows whose name (WM_NAME) is `name`.
    std::vector<unsigned long> FindWindows(const std::string& name) const;
    // Polls for at most timeoutMs until exactly one such window is viewable; 0 when none.
    unsigned long WaitForWindow(const std::string& name, int timeoutMs) const;
    std::string GetWindowName(unsigned long window) const;

    // The pixel at (x, y) of the window as shown on the screen, scaled to 0-255 per
    // component whatever the depth. False when it cannot be read.
    bool GetPixel(unsigned long window, int x, int y, Rgb& out) const;
    // The w x h region at (x, y) of the window as packed RGB bytes, row by row, scaled as
    // GetPixel does. Empty when it cannot be read.
    std::vector<std::uint8_t> GetImage(unsigned long window, int x, int y, int w, int h) const;

    // Sends WM_PROTOCOLS / WM_DELETE_WINDOW to the window, as a window manager would.
    void SendDeleteWindow(unsigned long window) const;
    // Gives the keyboard focus to the window (0: to nobody) and waits for the server.
    void SetFocus(unsigned long window) const;
    void ResizeWindow(unsigned long window, int width, int height) const;
    void MoveWindow(unsigned long window, int x, int y) const;
    // Destroys another client's window, as a window manager or a kill tool may.
    void DestroyWindow(unsigned long window) const;
    // Makes the atom exist on the server, as a window manager that knows it would.
    void InternAtom(const std::string& name) const;
    // True when the window carries the property (interning its atom if needed).
    bool HasProperty(unsigned long window, const std::string& name) const;
    // The window's size, depth and whether it is viewable; false when it does not exist.
    bool GetGeometry(unsigned long window, int& width, int& height, int& depth,
                     bool& viewable) const;
    // True when the window's WM_PROTOCOLS list names WM_DELETE_WINDOW.
    bool AcceptsDeleteWindow(unsigned long window) const;
    // True while the server's global key auto-repeat is on.
    bool IsAutoRepeatOn() const;

private:
    _XDisplay* m_display = nullptr;
};

} // namespace TestSupport
