// One headless case: the engine's singletons set up as the application sets them (with the
// edges swapped), the game machine holding the level's play state, the fixed-step loop, the
// case's input at the end of the steps that trigger it, and the outcome against the case.
#include "tools/sim/HeadlessGame.h"

#include "audio/Mixer.h"
#include "engine/core/Any.h"
#include "engine/core/KeyCodes.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/Application.h"
#include "framework/AssetDict.h"
#include "framework/ScriptScreen.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/CameraMovement.h"
#include "game/Director.h"
#include "game/Game.h"
#include "game/GameLog.h"
#include "game/GameState.h"
#include "game/Hud.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "graphics/render/Display.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/GLMachineInfo.h"
#include "gui/Screen.h"
#include "scene/Camera.h"
#include "tools/sim/ArchiveCache.h"
#include "tools/sim/SimPlayState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>

namespace Pirrock
{

namespace
{

constexpr const char* TOOLS[] = {"pusher", "carrot", "bridge", "fire_extinguisher", "trampoline", "hair_dryer",
                                 "boat", "ladder", "parachute", "skates", "ski"};
// The device's screen, which the camera frames.
constexpr int SCREEN_WIDTH = 800;
constexpr int SCREEN_HEIGHT = 480;
constexpr const char* FRUITS[] = {"apple", "cherry", "strawberry", "banana", "watermelon"};

// The root of the state tree: the application's logic step without its window.
class SimRoot : public Quor::Substatable
{
public:
    SimRoot() : Substatable("application") {}

    void Step(float dt)
    {
        if (Quor::System* system = Quor::System::GetInstance())
            system->UpdateManagers(dt);
        Update(dt);
    }
};

// A player can only touch what the screen shows.
bool IsOnScreen(int x, int y)
{
    return x >= 0 && y >= 0 && x < SCREEN_WIDTH && y < SCREEN_HEIGHT;
}

int KeyFromName(const std::string& name)
{
    char* end = nullptr;
    const long code = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == '\0' && code >= 0 && code < 0x10000)
        return static_cast<int>(code);
    for (int key = 0; key < 0x200; ++key) {
        const char* known = Tarv::GetKeyName(key);
        if (known != nullptr && (name == known || "KEY_" + name == known))
            return key;
    }
    return -1;
}

// A value written as the key's present type (a bool or an int as the defaults have it), so the
// game reads it as it reads its own; a new key is a bool, an int or a string by its text.
void SetTyped(const std::string& path, const std::string& value)
{
    Tarv::Registry& registry = *Tarv::Registry::Instance;
    Tarv::Any present;
    registry.GetValue(path, present);
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    const bool isInt = !value.empty() && *end == '\0' && number >= INT32_MIN && number <= INT32_MAX;
    if (present.Holds<bool>() || (present.IsEmpty() && (value == "true" || value == "false")))
        registry.SetBool(path, value == "true" || value == "1");
    else if (present.Holds<int>() || (present.IsEmpty() && isInt))
        registry.SetInt(path, isInt ? static_cast<int>(number) : 0);
    else
        registry.SetString(path, value);
}

class SimRun : public SimObserver, public MessageSink
{
public:
    SimRun(const SimOptions& options, const SimCase& simCase, std::ostream& trace, SimResult& result)
        : m_options(options), m_case(simCase), m_trace(trace), m_result(result), m_fired(simCase.steps.size()),
          m_done(simCase.steps.size())
    {
    }

    ~SimRun() override { TearDown(); }

    bool SetUp(std::string& error);
    void Run();

    void Trace(const std::string& event) override { m_trace << m_step << ' ' << event << '\n'; }
    // The game log's lines (level faults, the validator's findings) are events too.
    void Print(const Tarv::NarrowString& line) override { Trace("log " + line); }
    void OnHeroCell(const Cell& cell) override;
    void OnSound(const std::string& name) override { m_result.sounds.push_back(name); }
    void OnHudCall(const std::string& function) override;
    void BeginToolUse() override;
    void EndToolUse() override;

private:
    Quor::Settings& Settings() { return *Quor::Settings::GetInstance(); }
    bool SetUpEngine(std::string& error);
    bool SetUpPlay(std::string& error);
    void ApplySettings();
    void ApplyUserSettings();
    void Schedule(std::size_t index);
    void FireDueSteps();
    void CloseHint();
    void TraceHero();
    void TraceCamera();
    void Act(const SimAction& action);
    void TapCell(int x, int y);
    void Touch(int x, int y);
    bool Ended();
    void Finish(SimResult::Outcome outcome);
    void TearDown();

    const SimOptions& m_options;
    const SimCase& m_case;
    std::ostream& m_trace;
    SimResult& m_result;
    std::vector<bool> m_fired;
    std::vector<bool> m_done;
    // The steps whose triggers fired: the logic step each is due at, and its index.
    std::vector<std::pair<int, std::size_t>> m_due;
    std::map<std::pair<int, int>, int> m_visits;
    int m_step = 0;
    int m_runningSince = -1;
    // What TraceHero last wrote.
    std::string m_hero;
    // The camera's mode TraceCamera last wrote.
    std::string m_cameraMode;
    // The step a hint showed on, -1 while none shows.
    int m_hintSince = -1;
    bool m_wasLate = false;
    bool m_started = false;
    // The tool stocks and free cells before a tap, to tell what it placed.
    std::vector<int> m_stock;
    std::vector<Cell> m_freeCells;
    bool m_placedNow = false;
    float m_dt = 0;
    Tarv::SmartPtr<Tarv::Mixer> m_mixer;
    Tarv::SmartPtr<SimRoot> m_root;
    Tarv::SmartPtr<GameState> m_game;
    Tarv::SmartPtr<SimPlayState> m_play;
};

bool SimRun::SetUp(std::string& error)
{
    m_started = true;
    return SetUpEngine(error) && SetUpPlay(error);
}

// The engine's singletons as the application makes them, with no window, GL or sound device.
bool SimRun::SetUpEngine(std::string& error)
{
    SetGameLog(this);
    Tarv::GLCalls::SetForwarding(false);
    Tarv::VfsInit();
    const char* paks[] = {"platform.pak", "common.pak", "atlas.pak"};
    for (const char* pak : paks) {
        Tarv::SmartPtr<Tarv::VfsMount> mount =
            MountCachedArchive(m_options.paks + "/" + pak, pak == paks[0] ? 0 : Tarv::VFS_MOUNT_FALL_THROUGH, error);
        if (!mount)
            return false;
        Tarv::VfsAddMount(mount.Get());
    }
    Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
    // The "/machine" keys are read-only: they report the screen the display would, as in the
    // program.
    Tarv::GLMachineInfo::Get().SetScreen(SCREEN_WIDTH, SCREEN_HEIGHT, Tarv::ORIENTATION_90);
    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&Tarv::GLMachineInfo::Get());
    Tarv::AudioFormat format;
    format.channels = 1;
    format.rate = 22050;
    Tarv::MixerConfig config;
    config.createDevice = nullptr;
    m_mixer = Tarv::MakeSmart<Tarv::Mixer>(format, config);
    Tarv::Mixer::Instance = m_mixer.Get();
    Tarv::LuaErrorQueue::Global().SetHandler(
        [this](const Tarv::LuaErrorReport& report) { Trace("script error " + report.heading + ": " + report.message); });
    m_root = Tarv::MakeSmart<SimRoot>();
    Quor::System::Create(m_root.Get());
    if (!Settings().Init(Quor::Application::SETTINGS_NAME, "", Quor::Application::DEFAULT_SETTINGS_FILE, true)) {
        error = std::string(Quor::Application::DEFAULT_SETTINGS_FILE) + " does not load";
        return false;
    }
    Tarv::TextDict::Instance->Load("l10n/en.xml");
    Plim::Screen::InstallFactory();
    m_dt = Game::SetUpServices(&Settings());
    return true;
}

// The game machine with the level's play state loaded inline, entered at the first step.
bool SimRun::SetUpPlay(std::string& error)
{
    ApplySettings();
    m_game = Tarv::MakeSmart<GameState>();
    m_root->SetPending(m_game.Get());
    m_play = Tarv::MakeSmart<SimPlayState>(*this);
    m_play->LoadNow();
    if (!World::Instance || !m_play->GetDirector()) {
        error = "level " + std::to_string(m_options.level) + " does not load";
        return false;
    }
    ApplyUserSettings();
    if (m_options.time > 0) {
        Settings().SetInt("runtime/level_time", m_options.time);
        Settings().SetInt("runtime/time", m_options.time);
    }
    m_play->SeedRandom(m_options.seed != 0 ? m_options.seed : static_cast<std::uint32_t>(m_options.level));
    m_game->SetPending(m_play.Get());
    return true;
}

void SimRun::ApplySettings()
{
    Quor::Settings& settings = Settings();
    settings.SetInt(PlayState::LEVEL_KEY, m_options.level);
    // A first play: the level's points count, and its hints show unless they are off.
    settings.SetInt(Game::LevelKey(m_options.level), 1);
    settings.SetBool("dev/disable_tutorial", !m_options.tutorial);
    settings.SetBool("dev/enable_auto_test", m_options.autoTest);
    ApplyUserSettings();
    Game::ApplyDeveloperSwitches(&settings);
}

void SimRun::ApplyUserSettings()
{
    for (const auto& [key, value] : m_options.settings)
        SetTyped(key[0] == '/' ? key : Settings().GetRoot() + "/" + key, value);
}

void SimRun::OnHeroCell(const Cell& cell)
{
    const int visit = ++m_visits[{cell.x, cell.y}];
    for (std::size_t i = 0; i < m_case.steps.size(); ++i) {
        const SimTrigger& trigger = m_case.steps[i].trigger;
        if (!m_fired[i] && trigger.kind == SimTrigger::HERO && trigger.x == cell.x && trigger.y == cell.y &&
            trigger.visit == visit)
            Schedule(i);
    }
}

void SimRun::OnHudCall(const std::string& function)
{
    if (function == "ShowTutorialText")
        m_hintSince = m_step;
}

// A second after a hint shows, the player taps "Got it": the HUD closes the hint and goes on.
void SimRun::CloseHint()
{
    if (m_hintSince < 0 || static_cast<float>(m_step - m_hintSince) * m_dt < 1.0f)
        return;
    m_hintSince = -1;
    Trace("got it");
    m_play->OnLuaFeedback(Hud::COMPONENT, "DisableTutorialEvent");
    m_play->OnLuaFeedback(Hud::COMPONENT, "ContinueGame");
}

// The hero's motion as the director sets it: its animation, facing, gravity and drag, and its
// velocity while nothing but the director changes it (falling bodies change it every step).
void SimRun::TraceHero()
{
    const Tarv::SmartPtr<Pirrock>& hero = Pirrock::GetInstance();
    if (!hero)
        return;
    const Vund::Vector3D v = hero->GetVelocity();
    const bool steered = !hero->gravity && !hero->drag;
    std::string motion = "hero " + std::string(hero->GetAnimationName()) + (hero->mirrorMode != 0 ? " left" : "") +
                         (hero->gravity ? " gravity" : "") + (hero->drag ? " drag" : "");
    if (steered || m_hero.rfind(motion + " v ", 0) != 0)
        motion += " v " + std::to_string(std::lround(v.x)) + "," + std::to_string(std::lround(v.y));
    else
        motion = m_hero;
    if (motion != m_hero)
        Trace(motion);
    m_hero = motion;
}

std::string Rounded(const Vund::Vector3D& v, bool withZ)
{
    return std::to_string(std::lround(v.x)) + "," + std::to_string(std::lround(v.y)) +
           (withZ ? "," + std::to_string(std::lround(v.z)) : "");
}

// The camera and what moves it: "stopped" (the whole movement paused), "easing" (a new framing
// still half a unit or more away, with the point it heads for), else "following" or "waiting" as
// the tracker runs or not. A line when the mode changes, and every cameraEvery steps.
void SimRun::TraceCamera()
{
    const auto* movement =
        dynamic_cast<const CameraMovement*>(m_play->GetProcessManager().FindProcess("camera movement"));
    const Vund::Camera* camera = Vund::Camera::GetActive();
    const Tarv::SmartPtr<Pirrock>& hero = Pirrock::GetInstance();
    if (movement == nullptr || camera == nullptr || !hero)
        return;
    const Vund::Vector3D remaining = movement->GetPanner().GetRemaining();
    const bool easing =
        std::fabs(remaining.x) >= 0.5f || std::fabs(remaining.y) >= 0.5f || std::fabs(remaining.z) >= 0.5f;
    const std::string mode = movement->IsPaused()                ? "stopped"
                             : easing                             ? "easing"
                             : movement->GetTracker().IsPaused() ? "waiting"
                                                                  : "following";
    const bool sample = m_options.cameraEvery > 0 && m_step % m_options.cameraEvery == 0;
    if (mode == m_cameraMode && !sample)
        return;
    m_cameraMode = mode;
    const Vund::Vector3D at = camera->GetPosition();
    Trace("camera " + mode + " at " + Rounded(at, true) +
          (mode == "easing" ? " to " + Rounded(at + remaining, true) : std::string()) + " hero " +
          Rounded(hero->GetPosition(), false));
}

void SimRun::Schedule(std::size_t index)
{
    m_fired[index] = true;
    m_due.emplace_back(m_step + m_case.steps[index].trigger.delay, index);
}

void SimRun::FireDueSteps()
{
    for (std::size_t i = 0; i < m_case.steps.size(); ++i) {
        const SimTrigger& trigger = m_case.steps[i].trigger;
        const bool due = (trigger.kind == SimTrigger::STEP && trigger.step <= m_step) ||
                         (trigger.kind == SimTrigger::TIME && m_runningSince >= 0 &&
                          static_cast<float>(m_step - m_runningSince) * m_dt >= trigger.seconds);
        if (!m_fired[i] && due)
            Schedule(i);
    }
    // In the order of the case's lines among those due now.
    std::sort(m_due.begin(), m_due.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    std::vector<std::pair<int, std::size_t>> later;
    for (const auto& [step, i] : m_due) {
        if (step > m_step) {
            later.emplace_back(step, i);
            continue;
        }
        m_done[i] = true;
        Act(m_case.steps[i].action);
    }
    m_due.swap(later);
}

void SimRun::Act(const SimAction& action)
{
    switch (action.kind) {
    case SimAction::USE:
        Settings().SetString("runtime/activeTool", action.name);
        TapCell(action.x, action.y);
        break;
    case SimAction::TAP:
        TapCell(action.x, action.y);
        break;
    case SimAction::TOUCH: {
        const std::string touch = "touch " + std::to_string(action.x) + "," + std::to_string(action.y);
        if (!IsOnScreen(action.x, action.y)) {
            Trace(touch + " off the screen: not made");
            break;
        }
        Trace(touch);
        Touch(action.x, action.y);
        break;
    }
    case SimAction::SELECT:
        Trace("select " + action.name);
        Settings().SetString("runtime/activeTool", action.name);
        break;
    case SimAction::TILT:
        Trace("tilt " + std::to_string(action.value));
        m_root->OnAccelerometer(action.value, 0.0f, 0.0f);
        break;
    case SimAction::KEY: {
        const int key = KeyFromName(action.name);
        Trace("key " + action.name + (key < 0 ? " unknown" : ""));
        if (key >= 0) {
            m_root->OnKeyDown(key);
            m_root->OnKeyUp(key);
        }
        break;
    }
    case SimAction::HUD:
        m_play->OnLuaFeedback(Hud::COMPONENT, action.name);
        break;
    }
}

// The centre of the cell through the camera of this step, then the touch path.
void SimRun::TapCell(int x, int y)
{
    const Vund::Camera* camera = Vund::Camera::GetActive();
    if (!World::Instance || camera == nullptr)
        return;
    const WorldGeometry& geometry = World::Instance->GetGeometry();
    const Vund::Vector3D corner = World::Instance->CellToWorld({x, y});
    const Vund::ScreenPoint point = camera->WorldToScreen(
        corner + Vund::Vector3D(geometry.cellWidth * 0.5f, geometry.cellHeight * 0.5f, 0.0f));
    const std::string tap = "tap " + std::to_string(x) + "," + std::to_string(y) + " at " + std::to_string(point.x) +
                            "," + std::to_string(point.y);
    if (!IsOnScreen(point.x, point.y)) {
        Trace(tap + " off the screen: not made");
        return;
    }
    Trace(tap + " tool " + Settings().GetString("runtime/activeTool"));
    Touch(point.x, point.y);
}

void SimRun::Touch(int x, int y)
{
    BeginToolUse();
    m_root->OnTouchDown({Tarv::TouchPoint{x, y}});
    m_root->OnTouchUp({Tarv::TouchPoint{x, y}});
    EndToolUse();
    if (!m_placedNow)
        Trace("nothing placed");
}

void SimRun::BeginToolUse()
{
    m_stock.clear();
    for (const char* tool : TOOLS)
        m_stock.push_back(Settings().GetInt(std::string("runtime/tools/") + tool));
    m_freeCells.clear();
    const WorldGeometry geometry = World::Instance ? World::Instance->GetGeometry() : WorldGeometry{};
    for (int cy = 0; cy < geometry.height; ++cy) {
        for (int cx = 0; cx < geometry.width; ++cx) {
            if (!World::Instance->IsCellUsed({cx, cy}))
                m_freeCells.push_back({cx, cy});
        }
    }
}

// A placed tool shows as its stock gone down and a tool cell taken.
void SimRun::EndToolUse()
{
    m_placedNow = false;
    std::string placedAt;
    for (const Cell& cell : m_freeCells) {
        if (World::Instance && World::Instance->IsCellUsed(cell))
            placedAt += " at " + std::to_string(cell.x) + "," + std::to_string(cell.y);
    }
    for (std::size_t i = 0; i < m_stock.size(); ++i) {
        const int now = Settings().GetInt(std::string("runtime/tools/") + TOOLS[i]);
        if (now == m_stock[i])
            continue;
        m_placedNow = true;
        Trace(std::string("placed ") + TOOLS[i] + placedAt + " stock " + std::to_string(m_stock[i]) + " -> " +
              std::to_string(now));
        auto found = std::find_if(m_result.placed.begin(), m_result.placed.end(),
                                  [&](const auto& entry) { return entry.first == TOOLS[i]; });
        if (found == m_result.placed.end())
            m_result.placed.emplace_back(TOOLS[i], 1);
        else
            ++found->second;
    }
}

void SimRun::Finish(SimResult::Outcome outcome)
{
    m_result.outcome = outcome;
    m_result.steps = m_step;
    Quor::Settings& settings = Settings();
    m_result.trap = settings.GetInt("runtime/trap");
    if (World::Instance) {
        m_result.heroX = World::Instance->GetHeroCell().x;
        m_result.heroY = World::Instance->GetHeroCell().y;
    }
    for (const char* fruit : FRUITS) {
        m_result.fruit += settings.GetInt(std::string("runtime/fruits/") + fruit);
        m_result.fruitMax += settings.GetInt(std::string("runtime/fruits/max/") + fruit);
    }
    m_result.score = settings.GetInt("game/score");
    m_result.lives = settings.GetInt("game/lives");
    m_result.timeLeft = settings.GetInt("runtime/time");
    static const char* const NAMES[] = {"none", "win", "lose", "late"};
    std::string line = std::string("outcome ") + NAMES[outcome];
    if (outcome == SimResult::LOSE || outcome == SimResult::LATE)
        line += " trap " + std::to_string(m_result.trap);
    line += " at " + std::to_string(m_result.heroX) + "," + std::to_string(m_result.heroY) + " score " +
            std::to_string(m_result.score) + " fruit " + std::to_string(m_result.fruit) + "/" +
            std::to_string(m_result.fruitMax) + " lives " + std::to_string(m_result.lives) + " time " +
            std::to_string(m_result.timeLeft);
    Trace(line);
    for (std::size_t i = 0; i < m_case.steps.size(); ++i) {
        if (!m_done[i])
            Trace("never done: the step of line " + std::to_string(m_case.steps[i].line));
    }
}

bool SimRun::Ended()
{
    const Director* director = m_play->GetDirector();
    const int state = director->GetState();
    if (state == STATE_RUNNING && m_runningSince < 0)
        m_runningSince = m_step;
    m_wasLate = m_wasLate || state == STATE_LATE;
    if (state == STATE_SAFE) {
        Finish(SimResult::WIN);
        return true;
    }
    if (state == STATE_DEAD) {
        Finish(m_wasLate ? SimResult::LATE : SimResult::LOSE);
        return true;
    }
    // A command that leaves play (next level, the pause menu) would load on a thread: the run
    // stops before.
    if (m_game->GetPending() != nullptr || m_root->GetPending() != nullptr || m_game->GetCurrent() != m_play.Get()) {
        Trace("play left");
        Finish(SimResult::NONE);
        return true;
    }
    return false;
}

void SimRun::Run()
{
    const float fps = m_dt > 0 ? 1.0f / m_dt : 30.0f;
    const int budget = static_cast<int>((Settings().GetInt("runtime/level_time") + m_options.graceSeconds) * fps);
    for (m_step = 0; m_step <= budget; ++m_step) {
        m_root->Step(m_dt);
        Tarv::LuaErrorQueue::Global().Drain();
        TraceHero();
        if (Ended())
            return;
        FireDueSteps();
        CloseHint();
        Tarv::LuaErrorQueue::Global().Drain();
        TraceHero();
        TraceCamera();
        if (Ended())
            return;
    }
    m_step = budget;
    Trace("budget spent");
    Finish(SimResult::NONE);
}

void SimRun::TearDown()
{
    if (!m_started)
        return;
    m_play.Reset();
    m_game.Reset();
    if (m_root)
        m_root->ReleaseStates();
    Quor::System::Destroy();
    m_root.Reset();
    Quor::ReleaseEngineServices(m_mixer, true);
    Tarv::LuaErrorQueue::Global().Reset();
    Quor::ScriptScreen::SetFactory(nullptr);
    Tarv::GLCalls::SetForwarding(true);
    SetGameLog(nullptr);
}

bool Matches(const std::string& pattern, const std::string& name)
{
    if (!pattern.empty() && pattern.back() == '*')
        return name.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return pattern == name;
}

} // namespace

bool RunSimCase(const SimOptions& options, const SimCase& simCase, std::ostream& trace, SimResult& result,
                std::string& error)
{
    result = SimResult{};
    trace << "case " << simCase.name << " level " << options.level << '\n';
    {
        SimRun run(options, simCase, trace, result);
        if (!run.SetUp(error))
            return false;
        run.Run();
    }
    result.met = CheckExpectation(simCase.expect, result, result.failure);
    trace << "expect " << DescribeOutcome(simCase.expect) << ": "
          << (result.met ? "met" : "FAILED, " + result.failure) << '\n';
    return true;
}

bool CheckExpectation(const SimExpectation& expect, const SimResult& result, std::string& failure)
{
    static const char* const NAMES[] = {"neither won nor lost", "won", "lost", "was late"};
    const bool won = result.outcome == SimResult::WIN;
    bool ok = true;
    switch (expect.outcome) {
    case SimExpectation::WIN:
        ok = won;
        break;
    case SimExpectation::NOT_WIN:
        ok = result.outcome == SimResult::LOSE || result.outcome == SimResult::LATE;
        break;
    case SimExpectation::LATE:
        ok = result.outcome == SimResult::LATE;
        break;
    case SimExpectation::LOSE:
        ok = (result.outcome == SimResult::LOSE || result.outcome == SimResult::LATE) &&
             (expect.trap < 0 || expect.trap == result.trap) && (expect.atX < 0 || expect.atX == result.heroX) &&
             (expect.atY < 0 || expect.atY == result.heroY);
        break;
    case SimExpectation::NONE:
        break;
    }
    if (!ok) {
        failure = std::string("it ") + NAMES[result.outcome] + " (trap " + std::to_string(result.trap) + " at " +
                  std::to_string(result.heroX) + "," + std::to_string(result.heroY) + ")";
        return false;
    }
    auto fail = [&failure](const std::string& why) {
        failure = why;
        return false;
    };
    const std::string fruit = std::to_string(result.fruit) + " of " + std::to_string(result.fruitMax) + " fruit";
    if (expect.fruitRule == SimExpectation::ALL && result.fruit < result.fruitMax)
        return fail("only " + fruit);
    if (expect.fruitRule == SimExpectation::FEWER_THAN_ALL && result.fruit >= result.fruitMax)
        return fail("all " + fruit);
    if (expect.fruitRule == SimExpectation::EXACTLY && result.fruit != expect.fruit)
        return fail(fruit);
    if (expect.timeLeftMin >= 0 && result.timeLeft < expect.timeLeftMin)
        return fail(std::to_string(result.timeLeft) + " s left");
    if (expect.timeLeftMax >= 0 && result.timeLeft > expect.timeLeftMax)
        return fail(std::to_string(result.timeLeft) + " s left");
    if (expect.scoreMin >= 0 && result.score < expect.scoreMin)
        return fail("score " + std::to_string(result.score));
    if (expect.placedNone && !result.placed.empty())
        return fail("a tool was placed");
    for (const auto& [tool, count] : expect.placed) {
        auto found = std::find_if(result.placed.begin(), result.placed.end(),
                                  [&tool = tool](const auto& entry) { return entry.first == tool; });
        const int times = found == result.placed.end() ? 0 : found->second;
        if (times != count)
            return fail(tool + " placed " + std::to_string(times) + " times");
    }
    for (const std::string& sound : expect.sounds) {
        if (std::none_of(result.sounds.begin(), result.sounds.end(),
                         [&sound](const std::string& name) { return Matches(sound, name); }))
            return fail("no sound " + sound);
    }
    return true;
}

} // namespace Pirrock
