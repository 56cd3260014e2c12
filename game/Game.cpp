// The game application: its start-up steps, the level locks and the focus rule.
#include "game/Game.h"

#include "engine/registry/Registry.h"
#include "framework/AssetFunctions.h"
#include "framework/CacheList.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/LoadingState.h"
#include "game/MenuState.h"
#include "game/SplashStates.h"
#include "graphics/render/Display.h"
#include "platform/AbstractApp.h"
#include "scene/BasicRenderer.h"
#include "scene/Physics.h"

#include <string>

namespace Pirrock
{

namespace
{

constexpr float GRAVITY_Y = -800.0f;
constexpr float DEFAULT_DRAG = 8.0f;

Quor::ApplicationState* MakeMenu()
{
    return new MenuState;
}

} // namespace

Tarv::NarrowString Game::LevelKey(int level)
{
    return Tarv::NarrowString(LEVEL_KEY) + std::to_string(level).c_str();
}

void Game::SetLevelsUnlocked(bool unlock)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return;
    for (int level = 1; level <= settings->GetInt(LEVELS_COUNT_KEY); ++level) {
        const Tarv::NarrowString key = LevelKey(level);
        if (unlock) {
            if (settings->GetInt(key) == 0)
                settings->SetInt(key, 1);
        } else {
            settings->SetInt(key, level == 1 ? 1 : 0);
        }
    }
}

bool Game::PauseForFocusLoss(Quor::Substatable& machine, const Quor::ApplicationState* activeLeaf)
{
    if (!machine.HasStoredState() || activeLeaf == nullptr || activeLeaf->GetName() != PLAY_STATE_NAME)
        return false;
    machine.ReturnToStored();
    return true;
}

void Game::OnFocusChange(bool focused)
{
    if (focused)
        return;
    Quor::System* system = Quor::System::GetInstance();
    PauseForFocusLoss(*this, system != nullptr ? system->GetActiveState() : nullptr);
}

void Game::LoadAtlases()
{
    LoadStartupAtlases();
}

void Game::LoadStartupAtlases()
{
    Quor::LoadAtlas(SplashState::ATLAS);
    Quor::LoadAtlas("loading.xml");
}

void Game::LoadGameAtlases()
{
    Quor::LoadAtlas(GameSplashState::GAME_ATLAS);
}

void Game::LoadLocalisation()
{
    Quor::Settings* settings = GetSettings();
    // No other language is tried: a code that names no loadable file leaves the texts empty,
    // and every text shows its id.
    LoadLanguage(settings != nullptr ? settings->GetString("language") : Tarv::NarrowString());
}

float Game::SetUpServices(Quor::Settings* settings)
{
    if (Quor::CacheList* cache = Quor::CacheList::GetInstance())
        cache->Add("*.ogg");
    Vund::Renderer::Instance = Tarv::MakeSmart<Vund::BasicRenderer>();
    if (Vund::Physics* physics = Vund::Physics::GetInstance())
        physics->gravity = Vund::Vector3D(0.0f, GRAVITY_Y, 0.0f);
    if (Vund::Physics* physics = Vund::Physics::GetInstance())
        physics->defaultDrag = DEFAULT_DRAG;
    // A rate of 0 or below (or absurdly high) runs at the framework's default instead of
    // dividing by it.
    return settings != nullptr ? settings->GetLogicInterval() : 1.0f / Quor::Settings::DEFAULT_LOGIC_FPS;
}

void Game::ApplyDeveloperSwitches(Quor::Settings* settings)
{
    if (settings == nullptr)
        return;
    if (settings->GetBool("dev/reduce_splash_time"))
        settings->SetInt(PictureState::TIME_KEY, REDUCED_SPLASH_MS);
    if (settings->GetBool("dev/unlock_all_levels"))
        SetLevelsUnlocked(true);
    if (settings->GetBool("dev/show_fps_mem"))
        ShowFpsAndMemory(true);
    if (settings->GetBool("dev/enable_auto_test"))
        settings->SetBool("dev/disable_tutorial", true);
}

void Game::StartGame()
{
    if (Tarv::Display* display = GetDisplay())
        display->SetOrientation(Tarv::ORIENTATION_90);
    GameSplashState::SetNextState(&MakeMenu);
    // The splash container loads without a loading screen: it is asked for before one exists.
    ChangeState(Tarv::MakeSmart<SplashState>().Get(), false);
    SetLoadingScreen(Tarv::MakeSmart<LoadingState>().Get());
    Quor::Settings* settings = GetSettings();
    SetInterval(SetUpServices(settings));
    ApplyDeveloperSwitches(settings);
}

void Game::ShowFpsAndMemory(bool show)
{
    // The console is the program's to wire in: it answers through the application's hooks.
    if (auto* application = dynamic_cast<Game*>(Tarv::AbstractApp::Instance))
        application->GetHooks().SetConsoleFpsAndMemoryShown(show);
}

bool IsScreen800x480()
{
    const Tarv::SmartPtr<Tarv::Registry>& registry = Tarv::Registry::Instance;
    int width = 0;
    int height = 0;
    return registry && registry->GetInt("/machine/resolution/x", width) && width == 800 &&
           registry->GetInt("/machine/resolution/y", height) && height == 480;
}

} // namespace Pirrock
