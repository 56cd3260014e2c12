// Orientation requests of the handheld's window manager, made through window properties.
#include "graphics/render/MaemoDisplay.h"

#include "graphics/render/MaemoSurface.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace Tarv
{

namespace
{

const char* const PORTRAIT_PROPERTIES[] = {"_HILDON_PORTRAIT_MODE_SUPPORT",
                                           "_HILDON_PORTRAIT_MODE_REQUEST"};

} // namespace

MaemoDisplay::MaemoDisplay(const SmartPtr<MaemoSurface>& screen, int orientation)
    : Display(screen, orientation)
{
}

bool MaemoDisplay::SetOrientation(int flag)
{
    if (flag != ORIENTATION_0 && flag != ORIENTATION_90)
        return false;
    if (m_screen.Get() == nullptr)
        return true;
    ::Display* xDisplay = m_screen->GetXDisplay();
    const Window window = m_screen->GetXWindow();
    for (const char* name : PORTRAIT_PROPERTIES) {
        // Outside Hildon the atoms do not exist; a None property would be a protocol error.
        const Atom property = XInternAtom(xDisplay, name, True);
        if (property == None)
            continue;
        if (flag == ORIENTATION_0) {
            const long one = 1;
            XChangeProperty(xDisplay, window, property, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&one), 1);
        } else {
            XDeleteProperty(xDisplay, window, property);
        }
    }
    XFlush(xDisplay);
    return true;
}

int MaemoDisplay::GetOrientation() const
{
    return m_orientation;
}

int MaemoDisplay::GetSupportedOrientations() const
{
    return ORIENTATION_0 | ORIENTATION_90;
}

} // namespace Tarv
