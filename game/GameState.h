// The states between the menu and play. Pirrock::GameState, the machine "game", holds the level
// select and then the play state, each loaded behind its own loading screen.
// Pirrock::LevelSelectState ("scripts/level_select.lua", component "level_select") passes drags to
// its script and starts the chosen level (Pirrock::PlayState) or goes back to the menu.
#pragma once

#include "framework/ApplicationState.h"
#include "framework/Substatable.h"

namespace Pirrock
{

class GameState : public Quor::Substatable
{
public:
    static constexpr const char* NAME = "game";

    // Installs a loading screen of its own.
    GameState();

    // Queues the level select inside itself (loader thread).
    void Load() override;

    // The game machine the player is in: the current one under the application's machine,
    // else the one registered under NAME. A second game state made while the first still
    // existed is not in the name table, so the name alone may miss it.
    static Quor::Substatable* Find();
};

class LevelSelectState : public Quor::ApplicationState
{
public:
    static constexpr const char* NAME = "level select";
    static constexpr const char* SCRIPT = "scripts/level_select.lua";
    static constexpr const char* COMPONENT = "level_select";

    LevelSelectState() : ApplicationState(NAME) {}
    // Unloads the atlases by the rule Load used.
    ~LevelSelectState() override;

    void Load() override;
    // Marks the level select as the game's place for the menu, and plays the game music.
    void Enter() override;
    void Leave() override;
    void OnTouchDown(const Quor::TouchPoints& points) override;
    void OnTouchUp(const Quor::TouchPoints& points) override;
    void OnTouchMove(const Quor::TouchPoints& points) override;
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override;

private:
    static void ForEachAtlas(bool (*action)(const Tarv::NarrowString&));

    bool m_dragging = false;
    int m_lastTouchX = 0;
    int m_lastTouchY = 0;
};

} // namespace Pirrock
