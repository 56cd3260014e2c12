// The HUD's script component and its commands.
#include "game/Hud.h"

#include "framework/Settings.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/GameState.h"
#include "game/PlayState.h"

namespace Pirrock
{

Hud::Hud(PlayState& play) : m_play(play)
{
    LoadComponent(SCRIPT);
}

void Hud::OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command)
{
    (void)component;
    Quor::System* system = Quor::System::GetInstance();
    Quor::Substatable* root = system != nullptr ? system->GetRoot() : nullptr;
    if (command == "PlaySelectToolSound") {
        m_play.PlaySound("menu_ok1");
    } else if (command == "GoToPauseMenu") {
        m_play.PlaySound("menu_ok1");
        if (root != nullptr)
            root->ReturnToStored();
    } else if (command == "ContinueGame") {
        m_play.ContinueGame();
    } else if (command == "DisableTutorialEvent") {
        m_play.DisableTutorialEvent();
    } else if (command == "RestartLevel") {
        m_play.RestartLevel();
    } else if (command == "NextLevel") {
        m_play.StopAll();
        if (Quor::Substatable* game = GameState::Find())
            game->ChangeState(Tarv::MakeSmart<LevelSelectState>().Get(), false);
    } else if (command == "GameEnd") {
        if (Quor::Settings* settings = Quor::Settings::GetInstance())
            settings->SetBool("game/gameEnd", true);
        if (root != nullptr)
            root->ResumeStored();
    }
}

} // namespace Pirrock
