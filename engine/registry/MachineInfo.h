// Tarv::MachineInfo: what the registry's read-only "/machine" keys report about the device.
// The platform layer implements it over the display and the GL capabilities it recorded.
#pragma once

#include "engine/core/NarrowString.h"

namespace Tarv
{

// Each getter is called whenever a machine key is read, possibly from the loader thread, and
// must not call back into the registry.
class MachineInfo
{
public:
    virtual ~MachineInfo() = default;

    // The screen surface's size in pixels; follows the window's size.
    virtual int GetScreenWidth() const = 0;
    virtual int GetScreenHeight() const = 0;
    // The display's orientation code: 2, 4 and 8 mean 90, 180 and 270 degrees.
    virtual int GetOrientationCode() const = 0;
    // As the GL layer recorded them when it initialised.
    virtual bool HasFramebufferObjects() const = 0;
    virtual bool HasGlsl() const = 0;
    virtual int GetMaxTextureSize() const = 0;
    virtual NarrowString GetGLVendor() const = 0;
    virtual NarrowString GetGLRenderer() const = 0;
    virtual NarrowString GetGLVersion() const = 0;
};

} // namespace Tarv
