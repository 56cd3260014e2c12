// Tarv::MaemoDisplay: the display of the handheld's window: landscape or portrait, asked of the
// window manager through the Hildon portrait-mode properties.
#pragma once

#include "graphics/render/Display.h"

namespace Tarv
{

class MaemoDisplay : public Display
{
public:
    MaemoDisplay(const SmartPtr<MaemoSurface>& screen, int orientation);

    // ORIENTATION_0 sets the portrait-mode request on the window, ORIENTATION_90 removes it;
    // both return true. The stored orientation stays until the window is reconfigured. A
    // property whose atom the X server does not know is skipped. Other flags return false.
    bool SetOrientation(int flag) override;
    int GetOrientation() const override;
    int GetSupportedOrientations() const override;
};

} // namespace Tarv
