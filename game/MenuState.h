// Pirrock::MenuState: the main menu and the pause menu, one scripted screen ("scripts/menu.lua",
// component "menu"). Entering it asks the script for one screen (first run, high score, pause,
// sound prompt or main menu); the script's commands start the game, continue or leave a paused
// one, quit, switch sound, music and language, open the page of more games, and set the
// developer switches.
#pragma once

#include "engine/core/SmartPtr.h"
#include "framework/ApplicationState.h"
#include "scene/Camera.h"

namespace Pirrock
{

class MenuState : public Quor::ApplicationState
{
public:
    static constexpr const char* NAME = "menu";
    static constexpr const char* SCRIPT = "scripts/menu.lua";
    static constexpr const char* COMPONENT = "menu";
    static constexpr const char* MUSIC = "menu_music";

    MenuState() : ApplicationState(NAME) {}
    // Unloads the atlases by the rule Load used, then lets the camera go.
    ~MenuState() override;

    // Atlases, the script, the music and sounds, the camera (loader thread).
    void Load() override;
    // Exactly one script call chosen by the settings and the machine, then the camera and music.
    void Enter() override;
    // Stops the state's sounds and saves the settings.
    void Leave() override;
    // A vertical drag, half its pixels, goes to the script while touch is enabled.
    void OnTouchMove(const Quor::TouchPoints& points) override;
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override;

    bool IsTouchEnabled() const { return m_touchEnabled; }

private:
    // The atlases of the chosen set, loaded or unloaded.
    static void ForEachAtlas(bool (*action)(const Tarv::NarrowString&));
    void Call(const Tarv::NarrowString& function, const char* text);

    bool m_touchEnabled = false;
    int m_lastTouchY = -1;
    bool m_soundsPromptPending = false;
    // The points of the paused level taken off "game/score" while the pause menu shows.
    int m_heldLevelScore = 0;
    Tarv::SmartPtr<Vund::Camera> m_camera;
};

} // namespace Pirrock
