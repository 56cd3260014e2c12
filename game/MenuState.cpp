// The menu: its loading, the screen asked for on entry, the drag and the script's commands.
#include "game/MenuState.h"

#include "engine/core/WideString.h"
#include "framework/Application.h"
#include "framework/AssetFunctions.h"
#include "framework/Audio.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "framework/ScriptScreen.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "platform/AbstractApp.h"
#include "scene/Physics.h"

namespace Pirrock
{

namespace
{

Quor::Substatable* ApplicationMachine()
{
    Quor::System* system = Quor::System::GetInstance();
    return system != nullptr ? system->GetRoot() : nullptr;
}

Quor::Settings& Settings()
{
    // The menu lives inside a running application, which always has its settings service.
    return *Quor::Settings::GetInstance();
}


} // namespace

MenuState::~MenuState()
{
    ForEachAtlas(&Quor::UnloadAtlas);
    m_camera.Reset();
}

void MenuState::ForEachAtlas(bool (*action)(const Tarv::NarrowString&))
{
    if (Quor::Settings::GetInstance() == nullptr)
        return;
    if (Settings().GetBool("dev/atlas_1024")) {
        action("menu1.xml");
        action("menu2.xml");
        if (IsScreen800x480())
            action("menu3.xml");
    } else {
        action("menu.xml");
    }
}

void MenuState::Load()
{
    ForEachAtlas(&Quor::LoadAtlas);
    for (const char* asset : {SCRIPT, "music/menu_music.ogg", "sfx/menu_ok1.ogg", "sfx/menu_ok2.ogg"})
        RequestAsset(asset);
    {
        // Listed with the physics passes of the main thread only once it is built.
        const Vund::PhysicsHold hold;
        m_camera = Tarv::MakeSmart<Vund::Camera>(Vund::Degree(60.0f));
    }
    m_soundsPromptPending = true;
    m_touchEnabled = false;
    m_lastTouchY = -1;
    Settings().SetBool("game/gameEnd", false);
}

void MenuState::Call(const Tarv::NarrowString& function, const char* text)
{
    Quor::LuaComponent* component = GetComponent(COMPONENT);
    if (component == nullptr)
        return;
    Quor::LuaArguments args;
    if (text != nullptr)
        args.AddString(text);
    component->CallFunction(function, args);
}

void MenuState::Enter()
{
    Quor::Substatable* machine = ApplicationMachine();
    if (Settings().GetBool("first_run")) {
        Call("FirstRun", nullptr);
        Settings().SetBool("first_run", false);
        m_soundsPromptPending = false;
    } else if (Settings().GetBool("game/gameEnd")) {
        Call("NewHighScore", nullptr);
        Settings().SetBool("game/gameEnd", false);
    } else if (machine != nullptr && machine->HasStoredState() &&
               Settings().GetString("runtime/currentGameState") == "playState") {
        // The screen is asked for first, then the level in progress is set aside. Only a level
        // still being played is: one that has ended keeps its points.
        Call("ShowMenu", "PauseMenu");
        m_heldLevelScore = Settings().GetBool("runtime/playing") ? Settings().GetInt("runtime/levelScore") : 0;
        Settings().SetInt("game/score", Settings().GetInt("game/score") - m_heldLevelScore);
    } else if (m_soundsPromptPending) {
        Call("ShowMenu", "EnableSounds");
        m_soundsPromptPending = false;
    } else {
        Call("ShowMenu", "MainMenu");
    }
    Vund::Camera::Install(m_camera.Get());
    Play(MUSIC, true);
}

void MenuState::Leave()
{
    StopAll();
    Settings().Save();
}

void MenuState::OnTouchMove(const Quor::TouchPoints& points)
{
    if (!m_touchEnabled || points.empty())
        return;
    const int y = points.front().y;
    if (m_lastTouchY < 0)
        m_lastTouchY = y;
    const int step = static_cast<int>(static_cast<float>(m_lastTouchY - y) * 0.5f);
    m_lastTouchY = y;
    if (Quor::LuaComponent* component = GetComponent(COMPONENT)) {
        Quor::LuaArguments args;
        args.AddInt(step);
        component->CallFunction("OnMultitouchMove", args);
    }
}

void MenuState::OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command)
{
    (void)component;
    Quor::Substatable* machine = ApplicationMachine();
    Tarv::AbstractApp* app = Tarv::AbstractApp::Instance;
    if (command == "SelectLevel") {
        // Asked twice before the switch, the menu is still current and stays the stored state;
        // the second game state replaces the first while that one is only pending.
        if (machine != nullptr)
            machine->ChangeStateKeepCurrent(Tarv::MakeSmart<GameState>().Get());
    } else if (command == "Exit") {
        if (app != nullptr)
            app->Quit();
    } else if (command == "Continue") {
        // Nothing stored (a script that offers "Continue" on the main menu): no score change.
        if (machine == nullptr || !machine->HasStoredState())
            return;
        machine->ReturnToStored();
        Settings().SetInt("game/score", Settings().GetInt("game/score") + m_heldLevelScore);
        m_heldLevelScore = 0;
    } else if (command == "LeaveToMainMenu") {
        m_heldLevelScore = 0;
        if (machine != nullptr)
            machine->DropStored();
    } else if (command == "SwitchSfx") {
        Quor::Audio::SwitchSfx();
    } else if (command == "SwitchMusic") {
        Quor::Audio::SwitchMusic();
        Stop(MUSIC);
        if (Settings().GetBool("music_on"))
            Play(MUSIC, true);
    } else if (command == "PlayClickSound") {
        Play("menu_ok2", false);
    } else if (command == "PlaySelectSound") {
        Play("menu_ok1", false);
    } else if (command == "EnableTouch") {
        m_touchEnabled = true;
        m_lastTouchY = -1;
    } else if (command == "DisableTouch") {
        m_touchEnabled = false;
    } else if (command == "ShowPirrock" || command == "HidePirrock") {
        // Recognised; the script shows and hides the hero itself.
    } else if (command == "UpdateLanguage") {
        if (Quor::Application* application = dynamic_cast<Quor::Application*>(app))
            application->LoadLocalisation();
        Quor::LuaComponent* menu = GetComponent(COMPONENT);
        if (menu != nullptr && menu->GetScreen() != nullptr)
            menu->GetScreen()->UpdateTexts();
    } else if (command == "GetMoreGames") {
        if (app != nullptr)
            app->OpenURL(Tarv::WideString(Settings().GetString("constants/MoreGamesUrl")));
    } else if (command == "DebugLevelsLock") {
        Game::SetLevelsUnlocked(Settings().GetBool("dev/unlock_all_levels"));
    } else if (command == "DebugShowFpsMem") {
        Game::ShowFpsAndMemory(Settings().GetBool("dev/show_fps_mem"));
    } else if (command == "DebugResetAllSettings") {
        Settings().LoadDefaults();
    }
}

} // namespace Pirrock
