// Makes and resizes the one screen surface and hands out displays over it.
#include "graphics/render/Display.h"

#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/MaemoDisplay.h"
#include "graphics/render/MaemoSurface.h"

namespace Tarv
{

SmartPtr<MaemoSurface> Display::ScreenSurface;

Display* Display::Create(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    if (ScreenSurface.Get() == nullptr)
        ScreenSurface = MaemoSurface::CreateScreenSurface(width, height);
    else
        ScreenSurface->Resize(width, height);
    if (ScreenSurface.Get() == nullptr)
        return nullptr;
    const int orientation =
        ScreenSurface->GetHeight() < ScreenSurface->GetWidth() ? ORIENTATION_90 : ORIENTATION_0;
    GLMachineInfo::Get().SetScreen(ScreenSurface->GetWidth(), ScreenSurface->GetHeight(),
                                   orientation);
    return new MaemoDisplay(ScreenSurface, orientation);
}

void Display::ReleaseScreenSurface()
{
    ScreenSurface.Reset();
}

Display::Display(const SmartPtr<MaemoSurface>& screen, int orientation)
    : m_screen(screen), m_orientation(orientation)
{
}

Display::~Display() = default;

bool Display::SetOrientation(int flag)
{
    return flag == ORIENTATION_0;
}

int Display::GetOrientation() const
{
    return ORIENTATION_0;
}

int Display::GetSupportedOrientations() const
{
    return ORIENTATION_0;
}

} // namespace Tarv
