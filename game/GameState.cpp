// The game machine and the level select.
#include "game/GameState.h"

#include "engine/registry/TextDict.h"
#include "framework/AssetFunctions.h"
#include "framework/FontDict.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/LoadingState.h"
#include "game/PlayState.h"
#include "graphics/render/Surface.h"
#include "platform/AbstractApp.h"

#include <cstdint>
#include <string>

namespace Pirrock
{

GameState::GameState() : Substatable(NAME)
{
    SetLoadingScreen(Tarv::MakeSmart<LoadingState>().Get());
}

void GameState::Load()
{
    ChangeState(Tarv::MakeSmart<LevelSelectState>().Get(), false);
}

Quor::Substatable* GameState::Find()
{
    Quor::System* system = Quor::System::GetInstance();
    Quor::Substatable* root = system != nullptr ? system->GetRoot() : nullptr;
    if (root != nullptr) {
        if (auto* game = dynamic_cast<GameState*>(root->GetCurrent()))
            return game;
    }
    return FindByName(NAME);
}

LevelSelectState::~LevelSelectState()
{
    ForEachAtlas(&Quor::UnloadAtlas);
}

void LevelSelectState::ForEachAtlas(bool (*action)(const Tarv::NarrowString&))
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return;
    if (settings->GetBool("dev/atlas_1024")) {
        action("level_select1.xml");
        action("level_select2.xml");
    } else {
        action("level_select.xml");
    }
}

void LevelSelectState::Load()
{
    ForEachAtlas(&Quor::LoadAtlas);
    for (const char* asset : {SCRIPT, "music/game_music.ogg", "sfx/menu_ok1.ogg", "sfx/menu_ok2.ogg"})
        RequestAsset(asset);
    m_lastTouchY = -1;
    m_lastTouchX = -1;
    m_dragging = false;
}

void LevelSelectState::Enter()
{
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->SetString("runtime/currentGameState", "levelSelectState");
    Play("game_music", true);
}

void LevelSelectState::Leave()
{
    StopAll();
}

void LevelSelectState::OnTouchDown(const Quor::TouchPoints& points)
{
    (void)points;
    m_lastTouchX = -1;
    m_lastTouchY = -1;
    m_dragging = true;
}

void LevelSelectState::OnTouchUp(const Quor::TouchPoints& points)
{
    (void)points;
    m_dragging = false;
}

void LevelSelectState::OnTouchMove(const Quor::TouchPoints& points)
{
    if (!m_dragging || points.empty())
        return;
    const int x = points.front().x;
    const int y = points.front().y;
    if (m_lastTouchX < 0 || m_lastTouchY < 0) {
        m_lastTouchX = x;
        m_lastTouchY = y;
    }
    Quor::LuaArguments args;
    args.AddInt(m_lastTouchX - x);
    args.AddInt(m_lastTouchY - y);
    m_lastTouchX = x;
    m_lastTouchY = y;
    if (Quor::LuaComponent* component = GetComponent(COMPONENT))
        component->CallFunction("OnMultitouchMove", args);
}

void LevelSelectState::OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command)
{
    (void)component;
    if (command == "Play") {
        Play("menu_ok1", false);
        // A second "Play" before the switch replaces the first, still unloaded, play state.
        if (Quor::Substatable* game = GameState::Find())
            game->ChangeState(Tarv::MakeSmart<PlayState>().Get(), false);
    } else if (command == "Back") {
        Quor::System* system = Quor::System::GetInstance();
        if (system != nullptr && system->GetRoot() != nullptr)
            system->GetRoot()->ResumeStored();
    } else if (command == "PlayLevelSelectSound") {
        Play("menu_ok2", false);
    } else if (command == "DisableTouch") {
        m_dragging = false;
    }
}

} // namespace Pirrock
