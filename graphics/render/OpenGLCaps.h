// Tarv::OpenGLCaps: the GL initialisation and what the driver reported (vendor, renderer,
// version, largest texture, capability flags). Process-wide; Init runs once the context is current.
#pragma once

#include "engine/core/NarrowString.h"

namespace Tarv
{

class OpenGLCaps
{
public:
    // Needs a current GL context (main thread). Reads the driver strings and limits, sets the
    // pixel unpack alignment to 1 (rows of odd-width RGB and alpha textures are not padded),
    // and makes a new global batcher, replacing any previous one. Always true.
    static bool Init();
    // Forgets everything Init recorded and drops the global batcher (GL context still current).
    static void Shutdown();

    // The getters may be called from any thread (the registry's machine keys read them).
    static NarrowString GetVendor();
    static NarrowString GetRenderer();
    static NarrowString GetVersion();
    static int GetMaxTextureSize();
    // False before Init, then true: ES 2.0 has both.
    static bool HasFramebufferObjects();
    static bool HasGlsl();
};

} // namespace Tarv
