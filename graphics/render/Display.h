// Tarv::Display: the application's handle on the screen: the one screen surface and the
// orientation of the screen. A new display is made for every window size.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

class MaemoSurface;

// Orientation flags; a set of orientations is an OR of flags.
constexpr int ORIENTATION_0 = 1;   // portrait: height at least width
constexpr int ORIENTATION_90 = 2;  // landscape
constexpr int ORIENTATION_180 = 4;
constexpr int ORIENTATION_270 = 8;

class Display : public RefCounter
{
public:
    // The one screen surface: null until the first Create, released by ReleaseScreenSurface.
    static SmartPtr<MaemoSurface> ScreenSurface;

    // The first call builds the screen surface over the native window (see
    // MaemoSurface::SetNativeWindow); later calls resize it in place. Returns a new display
    // (count 0, the caller takes it), or null when the screen surface cannot be built.
    static Display* Create(int width, int height);
    // Drops the global screen surface, and with it EGL, once no display holds it.
    static void ReleaseScreenSurface();

    ~Display() override;

    // True only for ORIENTATION_0: the plain display cannot turn.
    virtual bool SetOrientation(int flag);
    virtual int GetOrientation() const;
    virtual int GetSupportedOrientations() const;

    MaemoSurface* GetScreen() const { return m_screen.Get(); }

protected:
    explicit Display(const SmartPtr<MaemoSurface>& screen, int orientation);

    SmartPtr<MaemoSurface> m_screen;
    int m_orientation;
};

} // namespace Tarv
