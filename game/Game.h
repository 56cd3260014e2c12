// Pirrock::Game: the game's application. It registers the start-up atlases, loads the texts of the
// chosen language, and at the end of start-up enters the splash container behind the game's
// loading screen with the shared services set up (cache list, scene renderer, physics, logic
// rate, developer switches). Losing focus during play goes back to the pause menu.
#pragma once

#include "framework/Application.h"

namespace Quor
{
class Settings;
}

namespace Pirrock
{

class Game : public Quor::Application
{
public:
    static constexpr const char* LEVEL_KEY = "game/levels/level";
    static constexpr const char* LEVELS_COUNT_KEY = "constants/levels_count";
    static constexpr const char* PLAY_STATE_NAME = "play";
    // Both splash pictures last this long with "dev/reduce_splash_time".
    static constexpr int REDUCED_SPLASH_MS = 500;

    // Does nothing when focused; otherwise, while a game runs behind the stored menu and a level
    // is being played, the menu comes back at the next step with the game stored.
    void OnFocusChange(bool focused) override;
    void StartGame() override;
    // Only the start-up atlases; the title splash registers the game's while it shows.
    void LoadAtlases() override;
    // "l10n/" + the "language" setting + ".xml"; no other file is tried when that one does not
    // load, and every text then shows its id.
    void LoadLocalisation() override;
    void LoadStartupAtlases() override;
    void LoadGameAtlases() override;

    // Unlocking opens every locked level and keeps won ones; locking leaves only level 1 open.
    // Covers levels 1 to "constants/levels_count"; nothing for a count below 1.
    static void SetLevelsUnlocked(bool unlock);
    // The settings key of level n (from 1).
    static Tarv::NarrowString LevelKey(int level);
    // The focus rule on a state machine: true (and the stored state resumed with the current one
    // stored) when it holds a stored state and the active leaf is the play state.
    static bool PauseForFocusLoss(Quor::Substatable& machine, const Quor::ApplicationState* activeLeaf);
    // The shared services of every later state; the logic interval comes back for the caller.
    static float SetUpServices(Quor::Settings* settings);
    // The developer console's frame-rate and memory lines and plots, on or off, through the
    // running application's hooks (nothing without a console).
    static void ShowFpsAndMemory(bool show);
    // The "dev/" switches, in their order.
    static void ApplyDeveloperSwitches(Quor::Settings* settings);
};

// True exactly on the native 800 x 480 screen (the device keys under "/machine/").
bool IsScreen800x480();

} // namespace Pirrock
