// The director's states, their entry and exit actions and the cell reactions (first half), then
// score, fruit, the level's end and the hero's motion on the ground.
#include "game/Director.h"

#include "framework/ApplicationState.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/CellCode.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "scene/AnimatedSprite.h"

#include <cmath>
#include <cstdint>

namespace Pirrock
{

namespace
{

int GetInt(const char* key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings ? settings->GetInt(key) : 0;
}

bool GetBool(const char* key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings && settings->GetBool(key);
}

void SetInt(const std::string& key, int value)
{
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->SetInt(key.c_str(), value);
}

void SetBool(const char* key, bool value)
{
    if (Quor::Settings* settings = Quor::Settings::GetInstance())
        settings->SetBool(key, value);
}

// Sum that stays at the int limits instead of wrapping.
int AddClamped(int a, long long b)
{
    const long long sum = a + b;
    if (sum > INT32_MAX)
        return INT32_MAX;
    if (sum < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(sum);
}

Pirrock* Hero()
{
    return Pirrock::GetInstance().Get();
}
World* TheWorld()
{
    return World::Instance.Get();
}

Vund::Vector3D Velocity(const char* prefix)
{
    const std::string p = prefix;
    return {static_cast<float>(GetInt((p + "/x").c_str())), static_cast<float>(GetInt((p + "/y").c_str())), 0.0f};
}

// A hill from the hero's position (the origin without a hero).
Tarv::SmartPtr<SkiJumpingHill> MakeHill()
{
    const Pirrock* hero = Hero();
    return Tarv::MakeSmart<SkiJumpingHill>(hero ? hero->GetPosition() : Vund::Vector3D());
}

void SetVelocity(const Vund::Vector3D& v)
{
    if (Pirrock* hero = Hero())
        hero->SetVelocity(v);
}

// The tree's active state, when it is one that takes the director's calls.
class ActiveStateHost : public DirectorHost
{
public:
    void PlaySound(const std::string& name) override { Forward([&](DirectorHost& host) { host.PlaySound(name); }); }
    void StopSound(const std::string& name) override { Forward([&](DirectorHost& host) { host.StopSound(name); }); }
    void CallHud(const std::string& function, bool argument) override
    {
        Forward([&](DirectorHost& host) { host.CallHud(function, argument); });
    }
    void SetCameraFocus(const std::string& name) override
    {
        Forward([&](DirectorHost& host) { host.SetCameraFocus(name); });
    }
    void StopCamera() override { Forward([](DirectorHost& host) { host.StopCamera(); }); }
    void ShowFruitPoints(int points) override { Forward([&](DirectorHost& host) { host.ShowFruitPoints(points); }); }
    void AutoTestNextLevel() override { Forward([](DirectorHost& host) { host.AutoTestNextLevel(); }); }
    void PlayToolSound(CellCode code) override { Forward([&](DirectorHost& host) { host.PlayToolSound(code); }); }
    void OnStateChanged(int from, int to) override
    {
        Forward([&](DirectorHost& host) { host.OnStateChanged(from, to); });
    }

private:
    template <class Call>
    static void Forward(Call&& call)
    {
        Quor::System* system = Quor::System::GetInstance();
        if (auto* host = system != nullptr ? dynamic_cast<DirectorHost*>(system->GetActiveState()) : nullptr)
            call(*host);
    }
};

ActiveStateHost s_activeStateHost;

} // namespace

Director::Director() : Director(s_activeStateHost) {}

Director::Director(DirectorHost& host) : Quor::Process("director"), m_host(host)
{
    m_deathAnimations
        = {{CODE_FIRE, "burning"}, {CODE_WATER, "drowning"}, {CODE_SNARE, "hitting"}, {19, "hitting"}, {20, "hitting"},
            {21, "hitting"}, {CODE_PALLING, "hitting"}, {CODE_FLAT, "hitting"}, {CODE_VOID_SPACE, "angel"}};
    m_stateSounds = {{STATE_SAILING, "sailing"}, {STATE_SKATING, "skating"}, {STATE_PARACHUTING, "parachuting"},
        {STATE_SKIING, "skiing"}, {STATE_FLYING, "flying"}};
    m_level = GetInt("game/currentLevel");
    Reset();
    // The start in Waiting is not reported: the director is made on the loader thread, where
    // the tree's active state must not be read; its host learns the state from GetState.
    m_reporting = true;
}

void Director::Reset()
{
    // Read again at every start: a level won since counts as won ("game/currentLevel" names the
    // next level by then), and the win left the hero's animation paused.
    const std::string level = "game/levels/level" + std::to_string(m_level);
    m_levelFirstTime = GetInt(level.c_str()) == 1;
    if (Pirrock* hero = Hero())
        hero->SetPaused(false);
    m_animationEndTransitions.clear();
    m_rotationShift = Vund::Vector3D();
    m_skiJumpingHill.Reset();
    // Waiting is entered again even from Waiting: its animation and the queued start begin anew,
    // or a restart during the wait would leave the hero standing for good.
    if (m_state == STATE_WAITING)
        m_state = STATE_NONE;
    SetState(STATE_WAITING);
}

void Director::SetState(int state)
{
    if (state == m_state)
        return;
    if (m_reporting)
        m_host.OnStateChanged(m_state, state);
    ExitState(m_state);
    m_state = state;
    EnterState(state);
    Restart();
}

void Director::EnterTrap(CellCode code)
{
    SetInt("runtime/trap", code);
    SetState(STATE_DIEING);
}

void Director::PlayHero(const std::string& animation)
{
    if (Pirrock* hero = Hero())
        hero->Play(animation.c_str());
}

void Director::Queue(const std::string& animation, int state)
{
    m_animationEndTransitions.emplace(animation, state);
}

void Director::ExitState(int state)
{
    Pirrock* hero = Hero();
    if (state == STATE_WAITING) {
        m_host.PlaySound("start_strong");
        m_host.CallHud("ActivateTimer", true);
    } else if (state == STATE_SKIING || state == STATE_ROLLING) {
        m_skiJumpingHill.Reset();
    } else if (state == STATE_DIVERTING) {
        const Vund::Vector3D before = GetAsymmetryShift();
        if (hero)
            hero->MoveBy({-before.x, -before.y, -before.z}, false);
        SetBool("runtime/running_left", !GetBool("runtime/running_left"));
        if (hero)
            hero->MoveBy(GetAsymmetryShift(), false);
        m_host.SetCameraFocus("mirror_view_slope_1000");
    }
    const auto sound = m_stateSounds.find(state);
    if (sound != m_stateSounds.end())
        m_host.StopSound(sound->second);
}

void Director::EnterState(int state)
{
    Pirrock* hero = Hero();
    World* world = TheWorld();
    if (hero) {
        hero->gravity = false;
        hero->drag = false;
    }
    for (const char* key : {"runtime/has_boat", "runtime/has_parachute", "runtime/has_skates", "runtime/has_ski"})
        SetBool(key, false);
    SetVelocity({0, 0, 0});
    const float speed = static_cast<float>(GetInt("runtime/pirrock_speed"));

    switch (state) {
    case STATE_WAITING:
        SetInt("runtime/new_platform", CODE_FLAT);
        PlayHero("waiting");
        Queue("waiting", STATE_RUNNING);
        if (hero)
            hero->MoveBy(GetAsymmetryShift(), false);
        ApplyGroundRotation(CODE_FLAT);
        break;
    case STATE_RUNNING:
        PlayHero("running");
        RunOnPlatform();
        break;
    case STATE_SAILING:
    case STATE_SKATING:
        SetBool(state == STATE_SAILING ? "runtime/has_boat" : "runtime/has_skates", true);
        PlayHero(state == STATE_SAILING ? "sailing" : "skating");
        SetVelocity({speed, 0, 0});
        if (world)
            world->RemoveTouchedItem();
        break;
    case STATE_PARACHUTING:
        if (hero) {
            hero->gravity = true;
            hero->drag = true;
        }
        SetBool("runtime/has_parachute", true);
        PlayHero("parachuting");
        if (world)
            world->RemoveTouchedItem();
        break;
    case STATE_JUMPING:
        if (hero)
            hero->gravity = true;
        PlayHero("jumping");
        if (world && world->IsHairDryerBehind()) {
            SetVelocity(Velocity("constants/pirrock_long_jump_velocity"));
            m_host.PlaySound("jumping_long");
        } else {
            SetVelocity(Velocity("constants/pirrock_jump_velocity"));
            m_host.PlaySound(m_rng.GetU32() % 2 ? "jumping_1" : "jumping_2");
        }
        break;
    case STATE_CLIMBING:
        PlayHero("climbing");
        SetVelocity({0, speed, 0});
        break;
    case STATE_SKIING:
        m_skiJumpingHill = MakeHill();
        SetBool("runtime/has_ski", true);
        PlayHero("skiing");
        break;
    case STATE_FLYING:
        if (hero)
            hero->gravity = true;
        SetVelocity(Velocity("constants/pirrock_ski_jump_velocity"));
        break;
    case STATE_DIVERTING:
        PlayHero("diverting");
        Queue("diverting", STATE_RUNNING);
        break;
    case STATE_FALLING:
        if (hero)
            hero->gravity = true;
        PlayHero("falling");
        break;
    case STATE_ROLLING: {
        m_skiJumpingHill = MakeHill();
        PlayHero("rolling");
        const float half = std::sqrt(0.5f);
        SetVelocity({speed * half, -speed * half, 0});
        break;
    }
    case STATE_DIEING: {
        ApplyGroundRotation(CODE_FLAT);
        const int trap = GetInt("runtime/trap");
        // A trap without a dying animation of its own (the water fall) shows the plain hit.
        const auto found = m_deathAnimations.find(trap);
        const std::string animation = found != m_deathAnimations.end() ? found->second : "hitting";
        if (animation == "angel") {
            m_host.StopCamera();
            SetVelocity({0, static_cast<float>(GetInt("constants/pirrock_angel_speed")), 0});
        }
        if (trap == CODE_FLAT) {
            m_host.PlaySound(m_rng.GetU32() % 2 ? "hitting_1" : "hitting_2");
        } else {
            static const char* const FAILING[] = {"failing_1", "failing_2", "failing_3"};
            m_host.PlaySound(FAILING[m_rng.GetU32() % 3]);
        }
        PlayHero(animation);
        Queue(animation, STATE_DEAD);
        break;
    }
    case STATE_DEAD:
        LoseLevel();
        break;
    case STATE_SAFE:
        if (hero)
            hero->SetPaused(true);
        WinLevel();
        break;
    case STATE_LATE:
        PlayHero("hitting");
        Queue("hitting", STATE_DEAD);
        break;
    default:
        break;
    }

    ApplyRunningDirection();
    if (world) {
        if (state == STATE_RUNNING)
            world->DropPirrockToGround();
        else if (state == STATE_PARACHUTING || state == STATE_FLYING || state == STATE_FALLING)
            world->AlignPirrockInColumn();
        else if (state == STATE_CLIMBING)
            world->SnapPirrockToGround(CODE_FLAT);
        else if (state == STATE_SKIING || state == STATE_ROLLING)
            world->SnapPirrockToGround(CODE_DOWN);
        else if (state == STATE_DIEING && IsGroundOrMagicCode(GetInt("runtime/trap")))
            world->DropPirrockToGround();
    }
    const auto sound = m_stateSounds.find(state);
    if (sound != m_stateSounds.end())
        m_host.PlaySound(sound->second);
}

void Director::Update()
{
    if (m_state == STATE_RUNNING) {
        if (GetInt("runtime/time") < 1)
            SetState(STATE_LATE);
    } else if (m_state == STATE_SKIING) {
        if (!m_skiJumpingHill || !m_skiJumpingHill->Step())
            SetState(STATE_FLYING);
    } else if (m_state == STATE_ROLLING) {
        if (m_skiJumpingHill)
            m_skiJumpingHill->Step();
    }
}

void Director::OnProcessEnd(Quor::Process* process)
{
    auto* sprite = dynamic_cast<Vund::AnimatedSprite*>(process);
    if (!sprite)
        return;
    const auto found = m_animationEndTransitions.find(sprite->GetAnimationName().c_str());
    if (found == m_animationEndTransitions.end())
        return;
    const int state = found->second;
    m_animationEndTransitions.erase(found);
    SetState(state);
}

bool Director::Carries(const char* key, CellCode code)
{
    if (GetBool(key))
        return true;
    World* world = TheWorld();
    return world && world->TouchPlacedToolBehind(code);
}

void Director::HandleCell(CellCode g)
{
    World* world = TheWorld();
    Pirrock* hero = Hero();
    if (m_state >= STATE_RUNNING && m_state <= STATE_ROLLING) {
        const bool ground = IsGroundOrMagicCode(g);
        const bool airborne = m_state == STATE_PARACHUTING || m_state == STATE_JUMPING || m_state == STATE_CLIMBING
            || m_state == STATE_SKIING || m_state == STATE_FLYING;
        bool landed = false;
        if (g == CODE_WATER) {
            if (Carries("runtime/has_boat", CODE_BOAT))
                SetState(STATE_SAILING);
            else if (Carries("runtime/has_skates", CODE_SKATES))
                SetState(STATE_SKATING);
            else
                EnterTrap(CODE_WATER);
        } else if (!airborne && !ground) {
            SetState(Carries("runtime/has_parachute", CODE_PARACHUTE) ? STATE_PARACHUTING : STATE_FALLING);
        } else if (ground) {
            if (m_state != STATE_RUNNING) {
                const bool onSlope = world && world->IsPirrockOnSlope();
                landed = hero && hero->GetVelocity().y < 0.0f && m_state != STATE_SKIING
                    && !(m_state == STATE_ROLLING && onSlope) && world && world->IsPirrockOnGround();
                if (landed) {
                    if (m_state == STATE_PARACHUTING || m_state == STATE_JUMPING || m_state == STATE_FLYING)
                        SetState(STATE_RUNNING);
                    else
                        EnterTrap(CODE_FLAT);
                }
            }
            if (!landed) {
                if (g == CODE_DOWN && world && world->IsPirrockOnSki()) {
                    SetState(Carries("runtime/has_ski", CODE_SKI) ? STATE_SKIING : STATE_ROLLING);
                } else if (FollowsTrail()) {
                    SetInt("runtime/new_platform", g);
                    if (m_state == STATE_RUNNING) {
                        RunOnPlatform();
                        ApplyRunningDirection();
                    } else {
                        SetState(STATE_RUNNING);
                    }
                }
            }
        }
    }
    SetBool("runtime/ignore_trail", false);
}

bool Director::TakesTriggers() const
{
    return m_state < STATE_DIEING || m_state > STATE_LATE;
}

void Director::HandleTrigger(CellCode code)
{
    // After the end nothing the hero touches counts: a rising angel takes no fruit, wins at no
    // exit and is not brought back by a trampoline or ladder.
    if (!TakesTriggers())
        return;
    if (IsFruitCode(code)) {
        PickUpFruit(code);
    } else if (code == CODE_BOAT) {
        SetBool("runtime/has_boat", true);
    } else if (code == CODE_PARACHUTE) {
        SetBool("runtime/has_parachute", true);
    } else if (code == CODE_SKATES) {
        SetBool("runtime/has_skates", true);
    } else if (code == CODE_TRAMPOLINE || code == CODE_LADDER) {
        SetState(code == CODE_TRAMPOLINE ? STATE_JUMPING : STATE_CLIMBING);
        SetBool("runtime/ignore_trail", true);
    } else if (code == CODE_PUSHER) {
        SetState(STATE_DIVERTING);
    } else if (code == CODE_SKI) {
        SetState(STATE_SKIING);
    } else if (IsObstacleExceptTrapDoorCode(code)) {
        EnterTrap(code);
    } else if (IsExitCode(code)) {
        SetState(STATE_SAFE);
    }
}

void Director::AddScore(int points)
{
    if (!m_levelFirstTime)
        return;
    SetInt("game/score", AddClamped(GetInt("game/score"), points));
    SetInt("runtime/levelScore", AddClamped(GetInt("runtime/levelScore"), points));
}

void Director::PickUpFruit(CellCode code)
{
    const std::string name = GetCodeName(code).c_str();
    const std::string count = "runtime/fruits/" + name;
    SetInt(count, AddClamped(GetInt(count.c_str()), 1));
    const int points = GetInt(("constants/score_fruits_" + name).c_str());
    AddScore(points);
    m_host.ShowFruitPoints(points);
}

void Director::LoseLevel()
{
    SetBool("runtime/playing", false);
    m_host.CallHud("ActivateTimer", false);
    if (!GetBool("dev/infinite_lives"))
        SetInt("game/lives", AddClamped(GetInt("game/lives"), -1));
    if (GetInt("game/lives") <= 0) {
        m_host.CallHud("ShowLoseScreen", true);
        m_host.PlaySound("lose_strong");
    } else {
        m_host.CallHud("ShowTapToContinue", true);
    }
}

void Director::WinLevel()
{
    SetBool("runtime/playing", false);
    const int count = GetInt("constants/levels_count");
    const int level = GetInt("game/currentLevel");
    // The bonus never takes points away and saturates instead of wrapping.
    const long long bonus = static_cast<long long>(GetInt("runtime/time")) * GetInt("constants/score_time_multiplier");
    AddScore(bonus <= 0 ? 0 : static_cast<int>(bonus > INT32_MAX ? INT32_MAX : bonus));
    const std::string won = "game/levels/level" + std::to_string(level);
    SetInt(won, 2);
    if (level == count) {
        SetInt("game/lives", 0);
    } else if (level < count) {
        const std::string next = "game/levels/level" + std::to_string(level + 1);
        if (GetInt(next.c_str()) == 0)
            SetInt(next, 1);
        SetInt("game/currentLevel", level + 1);
    }
    m_host.CallHud("ActivateTimer", false);
    if (!GetBool("dev/enable_auto_test")) {
        m_host.CallHud("ShowSummaryScreen", true);
        m_host.PlaySound("win_strong");
    } else {
        m_host.AutoTestNextLevel();
    }
}

bool Director::CanUseTools() const
{
    return m_state >= STATE_RUNNING && m_state <= STATE_ROLLING && m_state != STATE_FALLING;
}

bool Director::CanShowTutorial() const
{
    if (m_state == STATE_RUNNING || m_state == STATE_SAILING || m_state == STATE_SKATING)
        return true;
    const Pirrock* hero = Hero();
    const bool down = hero && hero->GetVelocity().y < 0.0f;
    return down
        && (m_state == STATE_PARACHUTING || m_state == STATE_JUMPING || m_state == STATE_SKIING
            || m_state == STATE_FLYING);
}

Vund::Vector3D Director::GetRotationShift(CellCode ground) const
{
    const std::string prefix = std::string("constants/pirrock_rotation_shift_") + GetCodeName(ground).c_str() + "/";
    return {
        static_cast<float>(GetInt((prefix + "x").c_str())), static_cast<float>(GetInt((prefix + "y").c_str())), 0.0f};
}

Vund::Degree Director::ApplyGroundRotation(CellCode code)
{
    if (code == CODE_NONE)
        return Vund::Degree(0.0f);
    const CellCode g = NormalizeGroundCode(code);
    m_rotationShift = GetRotationShift(g);
    const float screen = g == CODE_UP ? -45.0f : g == CODE_DOWN ? 45.0f : -0.0f;
    if (Pirrock* hero = Hero()) {
        hero->SetSpriteOffset(m_rotationShift);
        hero->rotation = screen * Vund::DEGREES_TO_RADIANS;
    }
    return Vund::Degree(-screen + 0.0f);
}

Vund::Vector3D Director::GetAsymmetryShift() const
{
    if (!GetBool("runtime/running_left"))
        return {0, 0, 0};
    return {static_cast<float>(GetInt("constants/pirrock_image_asymetry_shift")), 0, 0};
}

void Director::ApplyRunningDirection()
{
    Pirrock* hero = Hero();
    if (!hero)
        return;
    if (!GetBool("runtime/running_left")) {
        hero->mirrorMode = 0;
        return;
    }
    const Vund::Vector3D v = hero->GetVelocity();
    hero->SetVelocity({-v.x, v.y, -v.z});
    hero->mirrorMode = 2;
}

void Director::RunOnPlatform()
{
    const CellCode g = GetInt("runtime/new_platform");
    const float theta = ApplyGroundRotation(g).value * Vund::DEGREES_TO_RADIANS;
    const float s = static_cast<float>(GetInt("runtime/pirrock_speed"));
    SetVelocity({s * std::cos(theta), s * std::sin(theta), 0.0f});
    if (World* world = TheWorld()) {
        if (IsSlopeCode(g))
            world->SnapPirrockToGround(g);
        else if (g == CODE_FLAT || g == CODE_WATER)
            world->DropPirrockToGround();
    }
    SetInt("runtime/new_platform", 0);
}

bool Director::FollowsTrail() const
{
    if (GetBool("runtime/ignore_trail"))
        return false;
    if (m_state == STATE_RUNNING || m_state == STATE_SAILING || m_state == STATE_SKATING)
        return true;
    const World* world = TheWorld();
    return m_state == STATE_CLIMBING && !(world && world->IsPirrockOnGround());
}

void Director::SetRunSpeed(const float& speed)
{
    Pirrock* hero = Hero();
    if (!hero || !FollowsTrail())
        return;
    const Vund::Vector3D v = hero->GetVelocity();
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f || !std::isfinite(speed))
        return;
    hero->SetVelocity({v.x / length * speed, v.y / length * speed, v.z / length * speed});
}

} // namespace Pirrock
