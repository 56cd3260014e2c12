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
    // The driver's largest texture side, lowered to the limit set below when that is smaller.
    static int GetMaxTextureSize();
    // A limit of our own on texture sides (0 lifts it), kept across Init: for a driver that
    // reports more than it can hold, and for tests of the refusal.
    static void SetTextureSizeLimit(int limit);
    // False before Init, then true: ES 2.0 has both.
    static bool HasFramebufferObjects();
    static bool HasGlsl();
};

} // namespace Tarv
