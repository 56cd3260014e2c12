// Pirrock::PlayState: the playing of one level. Its load (behind the loading screen) brings the
// level's atlases, sounds and HUD script, the hero, the World, the director and the camera
// movement; each step it follows the hero through the cells it crossed, shows tutorial hints and
// fades the fruit points; taps place tools and the tilt sets the run speed. The HUD
// (Pirrock::Hud, component "hud") is called by name: a missing function does nothing; a missing
// script is reported by the script host that fails to read it, and the level plays without HUD.
#pragma once

#include "engine/core/RNG.h"
#include "framework/ApplicationState.h"
#include "framework/ProcessObserver.h"
#include "game/Director.h"
#include "game/HeroCells.h"
#include "game/PlayAssets.h"
#include "game/ToolUse.h"
#include "scene/Vector3D.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vund
{
class Camera;
}

namespace Quor
{
class LuaArguments;
class ProcessManager;
}

namespace Pirrock
{

class CameraMovement;
class Hud;
class Level;
class TutorialManager;

class PlayState : public Quor::ApplicationState,
                  public Quor::ProcessObserver,
                  public DirectorHost,
                  public HeroCellListener,
                  public ToolUseListener
{
public:
    static constexpr const char* NAME = "play";
    static constexpr const char* LEVEL_KEY = "game/currentLevel";

    // Why play is halted; it runs while none holds.
    static constexpr unsigned PAUSE_LEFT = 1;      // the state is not active
    static constexpr unsigned PAUSE_TUTORIAL = 2;  // a hint is shown
    static constexpr unsigned PAUSE_DEVELOPER = 4; // the developer pause key

    // The process managers' names, in update order.
    static constexpr const char* COMMON = "common";
    static constexpr const char* HERO_ANIMATOR = "pirrock animator";
    static constexpr const char* LEVEL_ANIMATOR = "level animator";
    static constexpr const char* TOOL_ANIMATOR = "tool animator";

    // Loads nothing; the generator is seeded from the clock.
    PlayState();
    // Releases the hero and unloads the atlases under the names GetAtlasNames gives then.
    ~PlayState() override;

    // Loader thread. A level whose files do not load builds nothing past the hero and camera:
    // Enter then goes back to the level select, and Leave saves nothing.
    void Load() override;
    void Enter() override;
    void Leave() override;
    void UpdateState(const float& dt) override;
    void RenderState(Tarv::Surface* surface) override;
    void OnKeyDown(int key) override;
    void OnTouchDown(const Quor::TouchPoints& points) override;
    void OnAccelerometer(float x, float y, float z) override;
    // The HUD's script is drawn and fed input after the state, from its entry into the tree
    // until its exit.
    void OnEnter(Quor::Substatable* parent) override;
    void OnExit() override;
    // The HUD's components: every script call of play and the director goes to "hud".
    Quor::LuaComponent* GetComponent(const Tarv::NarrowString& name) const override;
    // A placed tool's animation ended: fire, trap doors, snares and extinguishers go.
    void OnProcessEnd(Quor::Process* process) override;

    // The level again in the same state: a new World, the director reset, the camera refocused,
    // and play running again; the points already won stay in the score.
    void RestartLevel();
    void SetPaused(bool on, unsigned reasons);
    void ContinueGame() { SetPaused(false, PAUSE_TUTORIAL); }
    void DisableTutorialEvent();
    // A tap at a cell: the selected tool to its nearest free cell (see UseToolAt).
    ToolUseResult UseToolAt(const Cell& cell);
    // The tool of code into cell: one off its stock (which may go below 0), its picture and
    // effects in the World, the tutorial told it was used, its sound.
    void PlaceTool(CellCode code, const Cell& cell) override;
    void FocusCamera(bool instantly);
    void MovePirrockBy(const float& dx, const float& dy);

    // DirectorHost, HeroCellListener and ToolUseListener.
    void PlaySound(const std::string& name) override;
    void StopSound(const std::string& name) override;
    void CallHud(const std::string& function, bool argument) override;
    void SetCameraFocus(const std::string& name) override;
    void StopCamera() override;
    void ShowFruitPoints(int points) override;
    void AutoTestNextLevel() override;
    void PlayToolSound(CellCode code) override;
    bool TakesTriggers() const override;
    void HandleTrigger(CellCode code) override;
    void HandleCell(CellCode ground) override;
    void OnCellEntered(const Cell& cell) override;
    void OnCellChecked(const Cell& cell) override;
    void PlayWrongToolSound() override;
    void UpdateLevelData() override;

    // Load's tables: a tool's or fruit's sound variants (a name may stand twice), and the
    // animation an item plays when the hero meets it (the first name of a code stays).
    void RegisterToolSound(CellCode code, const char* name) { m_toolSounds.Register(code, name); }
    void RegisterToolAnimation(CellCode code, const std::string& name) { m_toolAnimations.emplace(code, name); }
    const char* GetToolAnimation(CellCode code) const override;

    int GetLevel() const { return m_currentLevel; }
    unsigned GetPauseReasons() const { return m_pauseReasons; }
    // The atlases of the current level under "dev/atlas_1024" and the screen as they are now.
    std::vector<Tarv::NarrowString> GetAtlasNames() const;
    Director* GetDirector() const { return m_director.Get(); }
    // Null before Load or for a level that did not load.
    Hud* GetHud() const { return m_hud.Get(); }
    TutorialManager* GetTutorial() const { return m_tutorial.Get(); }
    Quor::ProcessManager* FindManager(const char* name) const;
    // Starts the sound choices of play and of the director over from seed (the director once
    // loaded), for runs that must repeat exactly.
    void SeedRandom(std::uint32_t seed);

protected:
    // A function of the HUD script; nothing without the script.
    virtual void Call(const char* function, const Quor::LuaArguments& args);

private:
    void ResetRuntimeFlags();
    // Halts or frees the director, the hero, its animation and (unless a hint or the developer
    // pause holds play) the camera; the clock is left alone.
    void HoldPlay(bool paused);
    void ShowTutorialEvent(const Cell& heroCell);
    // Points the HUD's arrow at m_arrowCell where the camera shows it now.
    void PlaceTutorialArrow();

    Tarv::RNG m_rng;
    Tarv::SmartPtr<Hud> m_hud;
    Tarv::SmartPtr<Vund::Camera> m_camera;
    Tarv::SmartPtr<Level> m_level;
    Tarv::SmartPtr<Director> m_director;
    Tarv::SmartPtr<TutorialManager> m_tutorial;
    std::vector<Tarv::SmartPtr<Quor::ProcessManager>> m_managers;
    Tarv::SmartPtr<CameraMovement> m_cameraMovement;
    Vund::Vector3D m_fruitPointsPosition;
    int m_fruitPointsAlpha = 0;
    int m_currentLevel = 0;
    unsigned m_pauseReasons = 0;
    // The cell the shown hint's arrow points at, while the hint holds play.
    Cell m_arrowCell = NO_CELL;
    ToolSounds m_toolSounds;
    std::map<int, std::string> m_toolAnimations;
};

} // namespace Pirrock
