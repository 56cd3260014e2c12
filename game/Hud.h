// Pirrock::Hud: the screen over a running level. It owns the script component "hud"
// ("scripts/hud.lua" and its layout) that the play state and the director call, and carries out
// the commands the script sends back: sounds, the pause menu, the hint's end, the restart, the
// next level and the end of the game.
#pragma once

#include "engine/core/RefCounter.h"
#include "framework/LuaEnabled.h"

namespace Pirrock
{

class Hud : public Quor::LuaEnabled, public Tarv::RefCounter
{
public:
    static constexpr const char* SCRIPT = "scripts/hud.lua";
    static constexpr const char* COMPONENT = "hud";

    // Loads the script, which runs its "Initialize" (on the loader thread, inside the play
    // state's load). The updater is not attached here: the play state attaches it on the main
    // thread when it enters the tree, so the loader never touches a list the main thread walks.
    Hud();

    // Compares the command with the known names exactly; any other does nothing. The commands
    // act on the active state of the tree; those of play ("ContinueGame",
    // "DisableTutorialEvent", "RestartLevel") do nothing unless it is a play state.
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override;
};

} // namespace Pirrock
