// Pirrock::Director: the hero's state machine. The hero runs on its own; everything else it does
// (sail, skate, parachute, jump, climb, ski, fly, turn, fall, roll, die, reach the exit, run out of
// time) is a state here. The play state feeds it the trigger and ground code of every cell the hero
// enters and the end of the hero's animations; the director sets the hero's motion and animation,
// writes the "runtime/" keys and keeps score, fruit, lives and the level's end.
#pragma once

#include "engine/core/RNG.h"
#include "engine/core/RefCounter.h"
#include "framework/Process.h"
#include "framework/ProcessObserver.h"
#include "game/HeroCells.h"
#include "game/SkiJumpingHill.h"
#include "scene/Angle.h"
#include "scene/Vector3D.h"

#include <cstdint>
#include <map>
#include <string>

namespace Pirrock
{

enum HeroState
{
    STATE_NONE,
    STATE_WAITING,
    STATE_RUNNING,
    STATE_SAILING,
    STATE_SKATING,
    STATE_PARACHUTING,
    STATE_JUMPING,
    STATE_CLIMBING,
    STATE_SKIING,
    STATE_FLYING,
    STATE_DIVERTING,
    STATE_FALLING,
    STATE_ROLLING,
    STATE_DIEING,
    STATE_DEAD,
    STATE_SAFE,
    STATE_LATE
};

// Everything the director asks of the play state around it: sounds, the "hud" script, the camera
// and the ski-jump curve. A headless run records these calls as its trace.
class DirectorHost
{
public:
    virtual ~DirectorHost() = default;
    virtual void PlaySound(const std::string& name) = 0;
    virtual void StopSound(const std::string& name) = 0;
    // A function of the "hud" script with one bool argument.
    virtual void CallHud(const std::string& function, bool argument) = 0;
    virtual void SetCameraFocus(const std::string& name) = 0;
    virtual void StopCamera() = 0;
    virtual void ShowFruitPoints(int points) = 0;
    virtual void AutoTestNextLevel() = 0;
    // The sound of a tool the hero touched (snare, trampoline).
    virtual void PlayToolSound(CellCode code) = 0;
    // The state is about to change, before the old state's exit actions (the constructor's start
    // in Waiting is not told).
    virtual void OnStateChanged(int from, int to) { (void)from, (void)to; }
};

class Director : public Quor::Process, public Quor::ProcessObserver, public Tarv::RefCounter, public HeroCellListener
{
public:
    // Reads the level's first-time flag and resets into Waiting. Sounds, the "hud" script and
    // the camera are those of the tree's active state (the play state during play); while
    // another state is active they go nowhere.
    Director();
    // The same with its sounds, script calls and state changes going to host instead, which
    // must outlive the director (a headless run's or a test's).
    explicit Director(DirectorHost& host);

    // Back to Waiting (entered anew even from Waiting) with only its start queued and no hill, the
    // hero's animation running and the first-time flag read again.
    void Reset();
    void SetState(int state);
    int GetState() const { return m_state; }
    // Starts the sound choices over from seed, for runs that must repeat exactly.
    void SeedRandom(std::uint32_t seed) { m_rng.Seed(seed); }
    // "runtime/trap" := code, then Dieing.
    void EnterTrap(CellCode code);

    // Whether what the hero touches acts: in every state but those of the level's end (Dieing,
    // Dead, Safe, Late).
    bool TakesTriggers() const override;
    void HandleTrigger(CellCode code) override;
    void HandleCell(CellCode ground) override;
    void PlayToolSound(CellCode code) override { m_host.PlayToolSound(code); }
    // The hero's animation ended: its queued state, if any, follows.
    void OnProcessEnd(Quor::Process* process) override;

    // Score, fruit and the level's end.
    void AddScore(int points);
    void PickUpFruit(CellCode code);
    void LoseLevel();
    void WinLevel();
    bool CanUseTools() const;
    bool CanShowTutorial() const;
    bool IsLevelFirstTime() const { return m_levelFirstTime; }

    // The hero's motion on the ground.
    Vund::Vector3D GetRotationShift(CellCode ground) const;
    Vund::Degree ApplyGroundRotation(CellCode code);
    Vund::Vector3D GetAsymmetryShift() const;
    void ApplyRunningDirection();
    void RunOnPlatform();
    bool FollowsTrail() const;
    void SetRunSpeed(const float& speed);

protected:
    void Update() override;

private:
    void ExitState(int state);
    void EnterState(int state);
    void PlayHero(const std::string& animation);
    void Queue(const std::string& animation, int state);
    bool Carries(const char* key, CellCode code);

    DirectorHost& m_host;
    // State changes are told to the host once the constructor is done.
    bool m_reporting = false;
    int m_state = STATE_NONE;
    std::map<std::string, int> m_animationEndTransitions;
    std::map<int, std::string> m_deathAnimations;
    std::map<int, std::string> m_stateSounds;
    // The level played, as "game/currentLevel" named it when the director was made.
    int m_level = 0;
    bool m_levelFirstTime = false;
    Vund::Vector3D m_rotationShift;
    Tarv::SmartPtr<SkiJumpingHill> m_skiJumpingHill;
    Tarv::RNG m_rng;
};

} // namespace Pirrock
