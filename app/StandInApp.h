// The program's application until the game's own class exists: it clears the window to the
// title colour every frame and quits when the window manager asks to close the window.
#pragma once

#include "engine/platform/MaemoApplication.h"

namespace Brashwick
{

class StandInApp : public Tarv::MaemoApplication
{
public:
    // The clear colour, 0-255 each (a deep teal).
    static constexpr int CLEAR_RED = 0;
    static constexpr int CLEAR_GREEN = 128;
    static constexpr int CLEAR_BLUE = 128;

    void Init() override;
    void Shutdown() override;
    void Render(Tarv::Surface* screen) override;

private:
    long m_frames = 0;
};

} // namespace Brashwick
