// The HUD's script component and its commands.
#include "game/Hud.h"

#include "framework/Settings.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/GameState.h"
#include "game/PlayState.h"

namespace Pirrock
{

Hud::Hud()
{
    LoadComponent(SCRIPT);
}

void Hud::OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command)
{
    (void)component;
    Quor::System* system = Quor::System::GetInstance();
    Quor::Substatable* root = system != nullptr ? system->GetRoot() : nullptr;
    Quor::ApplicationState* active = system != nullptr ? system->GetActiveState() : nullptr;
    auto* play = dynamic_cast<PlayState*>(active);
    if (command == "PlaySelectToolSound") {
        if (active != nullptr)
            active->Play("menu_ok1", false);
    } else if (command == "GoToPauseMenu") {
        if (active != nullptr)
            active->Play("menu_ok1", false);
        if (root != nullptr)
            root->ReturnToStored();
    } else if (command == "ContinueGame") {
        if (play != nullptr)
            play->ContinueGame();
    } else if (command == "DisableTutorialEvent") {
        if (play != nullptr)
            play->DisableTutorialEvent();
    } else if (command == "RestartLevel") {
        if (play != nullptr)
            play->RestartLevel();
    } else if (command == "NextLevel") {
        if (active != nullptr)
            active->StopAll();
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
