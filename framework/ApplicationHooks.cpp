// ApplicationHooks: pausing the engine-wide mixer for the shell.
#include "framework/ApplicationHooks.h"

#include "audio/Mixer.h"
#include "engine/script/LuaErrorQueue.h"

#include <cstdio>

namespace Quor
{

bool ApplicationHooks::HasMixer() const
{
    return Tarv::Mixer::Instance != nullptr;
}

void ApplicationHooks::SetMixerPaused(unsigned reason, bool paused)
{
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    if (mixer == nullptr)
        return;
    unsigned bits = 0;
    if ((reason & Tarv::MIXER_PAUSE_FOCUS) != 0)
        bits |= Tarv::Mixer::PAUSE_FOCUS;
    if ((reason & Tarv::MIXER_PAUSE_CONSOLE) != 0)
        bits |= Tarv::Mixer::PAUSE_CONSOLE;
    if (bits != 0)
        mixer->SetPaused(bits, paused);
}

void ApplicationHooks::ReportScriptError(const Tarv::LuaErrorReport& report)
{
    std::fprintf(stderr, "%s\n%s\n", report.heading.c_str(), report.message.c_str());
}

} // namespace Quor
