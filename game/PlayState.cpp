// The play state: its load, lifecycle, per-frame play, pausing, HUD calls, taps and tilt.
#include "game/PlayState.h"

#include "engine/core/KeyCodes.h"
#include "framework/AssetFunctions.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "framework/ProcessManager.h"
#include "framework/Settings.h"
#include "framework/Substatable.h"
#include "game/AnimatedItem.h"
#include "game/CameraMovement.h"
#include "game/Game.h"
#include "game/GameLog.h"
#include "game/GameState.h"
#include "game/Hud.h"
#include "game/Level.h"
#include "game/Pirrock.h"
#include "game/Tutorial.h"
#include "game/World.h"
#include "platform/AbstractApp.h"
#include "scene/Camera.h"
#include "scene/Physics.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace Pirrock
{

namespace
{

constexpr float ACCELEROMETER_INTERVAL = 0.2f;
// The fruit-points label fades from 255 in about a second.
constexpr float FRUIT_POINTS_FADE_PER_SECOND = 250.0f;
constexpr const char* FOCUS_SLOPE = "focus_slope_1000";
constexpr const char* FRUITS[] = {"apple", "cherry", "strawberry", "banana", "watermelon"};

// Settings with a fallback for a state made outside a running application.
int GetInt(const Tarv::NarrowString& key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings != nullptr ? settings->GetInt(key) : 0;
}

bool GetBool(const Tarv::NarrowString& key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings != nullptr && settings->GetBool(key);
}

void SetBool(const Tarv::NarrowString& key, bool value)
{
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->SetBool(key, value);
}

} // namespace

PlayState::PlayState() : ApplicationState(NAME) {}

PlayState::~PlayState()
{
    // The managers list the hero and the items by plain pointer: emptied before those go.
    for (const Tarv::SmartPtr<Quor::ProcessManager>& manager : m_managers) {
        while (!manager->GetItems().empty())
            manager->RemoveItem(manager->GetItems().front());
    }
    Pirrock::SetInstance({});
    // Under the names the settings give now, as the menu does: a switch turned meanwhile
    // leaves the atlases of the other set registered.
    for (const Tarv::NarrowString& atlas : GetAtlasNames())
        Quor::UnloadAtlas(atlas);
    m_tutorial.Reset();
    m_director.Reset();
    m_level.Reset();
    if (Vund::Camera::GetActive() == m_camera.Get())
        Vund::Camera::Install(nullptr);
    m_camera.Reset();
}

std::vector<Tarv::NarrowString> PlayState::GetAtlasNames() const
{
    return GetPlayAtlases(m_currentLevel, GetBool("dev/atlas_1024"), IsScreen800x480());
}

Quor::ProcessManager* PlayState::FindManager(const char* name) const
{
    for (const Tarv::SmartPtr<Quor::ProcessManager>& manager : m_managers) {
        if (manager->GetName() == name)
            return manager.Get();
    }
    return nullptr;
}

void PlayState::SeedRandom(std::uint32_t seed)
{
    m_rng.Seed(seed);
    if (m_director)
        m_director->SeedRandom(seed);
}

void PlayState::Load()
{
    m_currentLevel = GetInt(LEVEL_KEY);
    for (const Tarv::NarrowString& atlas : GetAtlasNames())
        Quor::LoadAtlas(atlas);
    for (const char* name : {COMMON, HERO_ANIMATOR, LEVEL_ANIMATOR, TOOL_ANIMATOR}) {
        m_managers.push_back(Tarv::MakeSmart<Quor::ProcessManager>(name));
        GetProcessManager().AddProcess(m_managers.back().Get());
    }
    FindManager(TOOL_ANIMATOR)->AddObserver(this);
    ResetRuntimeFlags();
    // The main thread runs physics passes meanwhile: the hero and the camera join them only
    // once Load has set them up.
    const Vund::PhysicsHold hold;
    const Tarv::SmartPtr<Pirrock> hero = Tarv::MakeSmart<Pirrock>();
    Pirrock::SetInstance(hero);
    FindManager(HERO_ANIMATOR)->AddProcess(hero.Get());
    m_camera = Tarv::MakeSmart<Vund::Camera>(Vund::Degree(60.0f));
    // A level that does not load (the game log says why) is not played: Enter goes back.
    m_level = Tarv::MakeSmart<Level>(Level::GetLevelPath(m_currentLevel));
    if (!m_level->IsLoaded() || !m_level->CreateWorld(FindManager(LEVEL_ANIMATOR))) {
        m_level.Reset();
        GameLogPrint("level " + std::to_string(m_currentLevel) + " did not load: back to the level select");
        return;
    }
    // Made whether or not its script loads: a missing script is reported by its loader.
    m_hud = Tarv::MakeSmart<Hud>();
    m_tutorial = Tarv::MakeSmart<TutorialManager>();
    m_tutorial->LoadForLevel(m_currentLevel);
    m_cameraMovement = Tarv::MakeSmart<CameraMovement>(m_camera.Get());
    GetProcessManager().AddProcess(m_cameraMovement.Get());
    FocusCamera(true);
    m_director = Tarv::MakeSmart<Director>();
    FindManager(COMMON)->AddProcess(m_director.Get());
    FindManager(HERO_ANIMATOR)->AddObserver(m_director.Get());
    for (const char* sound : GetPlaySounds())
        RequestAsset(sound);
    for (const ToolSoundVariant& variant : GetToolSoundVariants())
        RegisterToolSound(variant.code, variant.name);
    RegisterToolAnimation(CODE_TRAMPOLINE, "ejecting");
    RegisterToolAnimation(CODE_SNARE, "trapping");
    m_fruitPointsAlpha = 0;
    m_pauseReasons = 0;
}

void PlayState::OnEnter(Quor::Substatable* parent)
{
    ApplicationState::OnEnter(parent);
    if (m_hud) {
        m_hud->GetUpdater().Detach();
        m_hud->GetUpdater().Attach(parent, Quor::SubstatableClient::AFTER);
    }
}

void PlayState::OnExit()
{
    ApplicationState::OnExit();
    if (m_hud)
        m_hud->GetUpdater().Detach();
}

Quor::LuaComponent* PlayState::GetComponent(const Tarv::NarrowString& name) const
{
    return m_hud ? m_hud->GetComponent(name) : nullptr;
}

void PlayState::Enter()
{
    if (!m_level) {
        if (Quor::Substatable* game = GameState::Find())
            game->ChangeState(Tarv::MakeSmart<LevelSelectState>().Get(), false);
        return;
    }
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->SetString("runtime/currentGameState", "playState");
    Vund::Camera::Install(m_camera.Get());
    // Hints show only while the level is open and not yet won.
    const std::string levelKey = "game/levels/level" + std::to_string(m_currentLevel);
    if (m_tutorial)
        m_tutorial->SetEnabled(GetInt(levelKey) == 1);
    Quor::LuaArguments show;
    show.AddBool(true);
    Call("ShowHUD", show);
    if (Tarv::AbstractApp::Instance != nullptr)
        Tarv::AbstractApp::Instance->EnableAccelerometer(ACCELEROMETER_INTERVAL);
    SetPaused(false, PAUSE_LEFT);
    Play("game_music", true);
}

void PlayState::Leave()
{
    // A level that did not load was never shown and changed nothing worth saving.
    if (!m_level)
        return;
    StopAll();
    Quor::LuaArguments hide;
    hide.AddBool(false);
    Call("ShowHUD", hide);
    if (Tarv::AbstractApp::Instance != nullptr)
        Tarv::AbstractApp::Instance->DisableAccelerometer();
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->Save();
    SetPaused(true, PAUSE_LEFT);
}

void PlayState::RenderState(Tarv::Surface* surface)
{
    if (m_level)
        m_level->Render(surface);
}

void PlayState::Call(const char* function, const Quor::LuaArguments& args)
{
    if (Quor::LuaComponent* hud = GetComponent(Hud::COMPONENT))
        hud->CallFunction(function, args);
}

void PlayState::ResetRuntimeFlags()
{
    SetBool("runtime/running_left", false);
    SetBool("runtime/ignore_trail", false);
    SetBool("runtime/playing", true);
}

void PlayState::RestartLevel()
{
    if (!m_level || !m_director)
        return;
    ResetRuntimeFlags();
    for (const char* name : {LEVEL_ANIMATOR, TOOL_ANIMATOR}) {
        Quor::ProcessManager* manager = FindManager(name);
        while (!manager->GetItems().empty())
            manager->RemoveItem(manager->GetItems().front());
    }
    m_level->CreateWorld(FindManager(LEVEL_ANIMATOR));
    m_director->Reset();
    FocusCamera(false);
    Call("UpdateLevelData", Quor::LuaArguments());
    // The new run goes whatever still holds play; the reasons stay as they are for their own
    // ends (a hint's "ContinueGame", the developer key). The clock is not started here: one
    // that the level's end stopped starts again when the hero starts running.
    HoldPlay(false);
}

void PlayState::HoldPlay(bool paused)
{
    m_director->SetPaused(paused);
    if (const Tarv::SmartPtr<Pirrock>& hero = Pirrock::GetInstance())
        hero->frozen = paused;
    FindManager(HERO_ANIMATOR)->SetPaused(paused);
    // During a hint or the developer pause the camera still moves.
    m_cameraMovement->SetPaused(paused && (m_pauseReasons & (PAUSE_TUTORIAL | PAUSE_DEVELOPER)) == 0);
}

void PlayState::SetPaused(bool on, unsigned reasons)
{
    m_pauseReasons = on ? (m_pauseReasons | reasons) : (m_pauseReasons & ~reasons);
    if (!m_director)
        return;
    const bool paused = m_pauseReasons != 0;
    HoldPlay(paused);
    // A resume starts the clock whenever the level is still being played, the hero's wait at
    // the start included; once the level has ended it stays stopped. A pause always stops it.
    if (!paused && !GetBool("runtime/playing"))
        return;
    Quor::LuaArguments timer;
    timer.AddBool(!paused);
    Call("ActivateTimer", timer);
}

void PlayState::UpdateState(const float& dt)
{
    if (World::Instance)
        FollowHero(*World::Instance, *this);
    // The camera keeps easing while a hint holds play: the arrow stays on its cell.
    if (m_arrowCell != NO_CELL && (m_pauseReasons & PAUSE_TUTORIAL) != 0)
        PlaceTutorialArrow();
    else
        m_arrowCell = NO_CELL;
    if (m_fruitPointsAlpha < 1)
        return;
    const int fade = std::isfinite(dt) ? static_cast<int>(dt * FRUIT_POINTS_FADE_PER_SECOND) : 255;
    m_fruitPointsAlpha = std::max(0, m_fruitPointsAlpha - std::max(0, fade));
    const Vund::ScreenPoint p = Vund::Camera::GetActive()->WorldToScreen(m_fruitPointsPosition);
    Quor::LuaArguments args;
    args.AddInt(p.x);
    args.AddInt(p.y);
    args.AddInt(m_fruitPointsAlpha);
    Call("UpdateFruitPoints", args);
}

void PlayState::OnCellEntered(const Cell& cell)
{
    if (GetBool("dev/enable_auto_test"))
        UseToolAt(cell);
}

bool PlayState::TakesTriggers() const
{
    return m_director && m_director->TakesTriggers();
}

void PlayState::HandleTrigger(CellCode code)
{
    if (m_director)
        m_director->HandleTrigger(code);
}

const char* PlayState::GetToolAnimation(CellCode code) const
{
    const auto found = m_toolAnimations.find(code);
    return found != m_toolAnimations.end() ? found->second.c_str() : nullptr;
}

void PlayState::HandleCell(CellCode ground)
{
    if (m_director)
        m_director->HandleCell(ground);
}

void PlayState::OnCellChecked(const Cell& cell)
{
    if (!m_tutorial || !m_director || !m_director->CanShowTutorial() || GetBool("dev/disable_tutorial"))
        return;
    TutorialEvent* event = m_tutorial->FindEventAt(cell);
    if (event == nullptr || !event->enabled)
        return;
    if (m_tutorial->IsToolUsed(event->tool)) {
        m_tutorial->SetEventEnabled(cell, false);
        return;
    }
    if (!event->text.empty()) {
        Quor::LuaArguments text;
        text.AddString(event->text.c_str());
        if (!event->icon.empty())
            text.AddString(event->icon.c_str());
        Call("ShowTutorialText", text);
    }
    m_arrowCell = NO_CELL;
    if (event->arrow.x >= 0 && event->arrow.y >= 0 && World::Instance) {
        m_arrowCell = event->arrow;
        PlaceTutorialArrow();
    }
    if (event->tool != CODE_NONE) {
        Quor::LuaArguments tool;
        tool.AddString(GetCodeName(event->tool).c_str());
        Call("AnimateTutorialTool", tool);
    }
    SetPaused(true, PAUSE_TUTORIAL);
}

void PlayState::PlaceTutorialArrow()
{
    if (!World::Instance)
        return;
    const Vund::ScreenPoint p = Vund::Camera::GetActive()->WorldToScreen(World::Instance->CellToWorld(m_arrowCell));
    Quor::LuaArguments arrow;
    arrow.AddInt(p.x);
    arrow.AddInt(p.y);
    Call("ShowTutorialArrow", arrow);
}

void PlayState::DisableTutorialEvent()
{
    if (m_tutorial && World::Instance)
        m_tutorial->SetEventEnabled(World::Instance->GetHeroCell(), false);
}

void PlayState::PlaySound(const std::string& name)
{
    Play(name, false);
}

void PlayState::StopSound(const std::string& name)
{
    Stop(name);
}

void PlayState::CallHud(const std::string& function, bool argument)
{
    Quor::LuaArguments args;
    args.AddBool(argument);
    Call(function.c_str(), args);
}

void PlayState::SetCameraFocus(const std::string& name)
{
    if (!m_cameraMovement)
        return;
    const Tarv::NarrowString key = "constants/" + name;
    const float slope = name == "instantly" ? 1.0f : static_cast<float>(GetInt(key)) * 0.001f;
    m_cameraMovement->Focus(slope);
}

void PlayState::FocusCamera(bool instantly)
{
    if (!m_cameraMovement)
        return;
    m_cameraMovement->Reset();
    SetCameraFocus(instantly ? "instantly" : FOCUS_SLOPE);
}

void PlayState::StopCamera()
{
    if (m_cameraMovement)
        m_cameraMovement->SetPaused(true);
}

void PlayState::MovePirrockBy(const float& dx, const float& dy)
{
    const Tarv::SmartPtr<Pirrock>& hero = Pirrock::GetInstance();
    if (!hero || !World::Instance)
        return;
    hero->MoveBy(World::Instance->CellsToWorld(dx, dy), false);
    SetCameraFocus(FOCUS_SLOPE);
}

void PlayState::ShowFruitPoints(int points)
{
    Quor::LuaArguments args;
    args.AddInt(points);
    Call("SetFruitPointsValue", args);
    m_fruitPointsAlpha = 255;
    if (World::Instance)
        m_fruitPointsPosition = World::Instance->CellToWorld(World::Instance->GetHeroCell());
}

void PlayState::AutoTestNextLevel()
{
    // The win makes the next level current; after the last level it leaves this one current
    // (with no lives left, the game's end), and the run ends here instead of replaying it.
    if (GetInt(LEVEL_KEY) == m_currentLevel)
        return;
    for (const char* fruit : FRUITS) {
        const Tarv::NarrowString collected = "runtime/fruits/" + Tarv::NarrowString(fruit);
        const Tarv::NarrowString available = "runtime/fruits/max/" + Tarv::NarrowString(fruit);
        if (GetInt(collected) != GetInt(available))
            return;
    }
    if (Quor::Substatable* game = GameState::Find())
        game->ChangeState(Tarv::MakeSmart<PlayState>().Get(), false);
}

void PlayState::PlayToolSound(CellCode code)
{
    const char* name = m_toolSounds.Pick(code, m_rng);
    if (*name != '\0')
        Play(name, false);
}

void PlayState::PlayWrongToolSound()
{
    Play((m_rng.GetU32() & 1u) != 0 ? "wrong_tool_1" : "wrong_tool_2", false);
}

void PlayState::UpdateLevelData()
{
    Call("UpdateLevelData", Quor::LuaArguments());
}

ToolUseResult PlayState::UseToolAt(const Cell& cell)
{
    if (!World::Instance || !m_director)
        return ToolUseResult::Ignored;
    bool allowed = m_director->CanUseTools();
    // A hint at the hero's cell lets through only its own tool, shown or not.
    if (m_tutorial) {
        const TutorialEvent* event = m_tutorial->FindEventAt(World::Instance->GetHeroCell());
        Quor::Settings* settings = Quor::Settings::GetInstance();
        const Tarv::NarrowString selected = settings != nullptr ? settings->GetString("runtime/activeTool") : "";
        if (event != nullptr && event->enabled && GetCodeName(event->tool) != selected)
            allowed = false;
    }
    return ::Pirrock::UseToolAt(*World::Instance, cell, allowed, *this);
}

void PlayState::PlaceTool(CellCode code, const Cell& cell)
{
    if (!World::Instance)
        return;
    TakeToolFromStock(code);
    World::Instance->PlaceItem(code, cell, FindManager(TOOL_ANIMATOR));
    if (m_tutorial && m_tutorial->IsLoaded() && m_tutorial->IsEnabled())
        m_tutorial->SetToolUsed(code);
    World::Instance->ArmPlacedTool(code, cell);
    PlayToolSound(code);
}

void PlayState::OnTouchDown(const Quor::TouchPoints& points)
{
    if (points.empty())
        return;
    const int x = points.front().x;
    const int y = points.front().y;
    if (GetBool("dev/enable_cheats")) {
        const int corner = GetInt("constants/symbian_pause_size");
        if (x <= corner && y <= corner)
            OnKeyDown(Tarv::KEY_SPACE);
    }
    if (IsOnToolBar(x, y) || !World::Instance)
        return;
    const Cell cell = ScreenToCell(*World::Instance, x, y);
    World::Instance->ShowSelection(cell);
    UseToolAt(cell);
}

void PlayState::OnAccelerometer(float x, float y, float z)
{
    (void)y, (void)z;
    const float speed = TiltRunSpeed(x);
    if (m_director)
        m_director->SetRunSpeed(speed);
}

void PlayState::OnKeyDown(int key)
{
    if (!GetBool("dev/enable_cheats") || !m_director)
        return;
    const Tarv::SmartPtr<Pirrock>& hero = Pirrock::GetInstance();
    // J and R ask the director, which takes no touch after the level's end; T moves the hero
    // whatever its state.
    switch (key) {
    case Tarv::KEY_SELECT:
        if (GetBool("dev/enable_auto_test"))
            RestartLevel();
        break;
    case Tarv::KEY_SPACE:
        SetPaused((m_pauseReasons & PAUSE_DEVELOPER) == 0, PAUSE_DEVELOPER);
        break;
    case Tarv::KEY_F:
        SetCameraFocus(FOCUS_SLOPE);
        break;
    case Tarv::KEY_J:
        m_director->HandleTrigger(CODE_TRAMPOLINE);
        break;
    case Tarv::KEY_R:
        if (hero && !(hero->GetVelocity() == Vund::Vector3D()))
            m_director->HandleTrigger(CODE_PUSHER);
        break;
    case Tarv::KEY_T:
        if (World::Instance) {
            const Cell target = World::Instance->GetSelectionIndicatorCell();
            const Cell heroCell = World::Instance->GetHeroCell();
            MovePirrockBy(static_cast<float>(target.x - heroCell.x), static_cast<float>(heroCell.y - target.y));
        }
        break;
    case Tarv::KEY_V: {
        const bool active = !GetBool("dev/timeskew_active");
        SetBool("dev/timeskew_active", active);
        Tarv::AbstractApp::TimeSkew.store(active ? static_cast<float>(GetInt("dev/timeskew_1000")) * 0.001f : 1.0f);
        break;
    }
    default:
        break;
    }
}

void PlayState::OnProcessEnd(Quor::Process* process)
{
    auto* item = dynamic_cast<AnimatedItem*>(process);
    if (item != nullptr && IsRemovedAfterAnimationCode(item->itemCode) && World::Instance)
        World::Instance->RemoveItemAt(item->itemCell);
}

} // namespace Pirrock
