// The stand-in application's frames and its start and end lines on standard output.
#include "app/StandInApp.h"

#include "graphics/render/MaemoSurface.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

namespace Brashwick
{

void StandInApp::Init()
{
    char folder[PATH_MAX + 1] = {0};
    if (getcwd(folder, PATH_MAX) == nullptr)
        folder[0] = '\0';
    std::printf("brashwick: running in %s\n", folder);
    std::fflush(stdout);
}

void StandInApp::Shutdown()
{
    std::printf("brashwick: shut down after %ld frames\n", m_frames);
    std::fflush(stdout);
}

void StandInApp::Render(Tarv::Surface* screen)
{
    auto* surface = static_cast<Tarv::MaemoSurface*>(screen);
    surface->Clear(CLEAR_RED / 255.0f, CLEAR_GREEN / 255.0f, CLEAR_BLUE / 255.0f, 1.0f);
    ++m_frames;
}

} // namespace Brashwick

namespace Tarv
{

MaemoApplication* CreateApplication()
{
    return new Brashwick::StandInApp;
}

} // namespace Tarv
