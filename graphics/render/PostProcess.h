// Tarv::PostProcess: the base of whole-surface effects. An effect draws a source onto a target
// changed (Apply), or applies itself to one surface in place (Process, through a copy).
#pragma once

#include "engine/core/RefCounter.h"

#include <cstdint>

namespace Tarv
{

class Surface;

class PostProcess : public RefCounter
{
public:
    // Bit of GetFeatures: the tint can brighten through its own shader.
    static constexpr std::uint32_t FEATURE_SHADER_TINT = 0x20;
    // The effects this build offers: always 0x3e.
    static std::uint32_t GetFeatures() { return 0x3e; }

    // Draws a copy of the surface back over it through Apply. Nothing happens for a surface
    // that cannot be copied (the screen, or one without pixel data).
    virtual void Process(Surface* surface);
    // Base: draws the source onto the target unchanged. Both borrowed for the call.
    virtual void Apply(Surface* source, Surface* target);

protected:
    PostProcess() = default;
};

} // namespace Tarv
