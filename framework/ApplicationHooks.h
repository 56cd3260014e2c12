// Quor::ApplicationHooks: the application's links from the platform shell to the mixer (paused
// while the window has no focus) and to the developer console, which does not exist yet.
#pragma once

#include "platform/EngineHooks.h"

namespace Quor
{

class ApplicationHooks : public Tarv::EngineHooks
{
public:
    // The console parts keep EngineHooks' "no console" answers until a console exists.
    bool HasMixer() const override;
    // Maps the shell's pause reasons onto the mixer's pause bits; other bits are ignored.
    void SetMixerPaused(unsigned reason, bool paused) override;
};

} // namespace Quor
