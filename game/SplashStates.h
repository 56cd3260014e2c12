// The start-up pictures: the splash container "splash" that the application enters first, the
// studio logo inside it, then the title splash. Each picture stays for "constants/splash_time_ms"
// while the next state loads in the background: the logo preloads the title splash inside the
// container, the title splash preloads the state that follows start-up into the application.
#pragma once

#include "framework/ApplicationState.h"
#include "framework/Substatable.h"

namespace Tarv
{
class Surface;
}

namespace Pirrock
{

// Makes the state that follows the title splash (the main menu); null makes none, and the title
// splash then stays on screen.
using NextStateFactory = Quor::ApplicationState* (*)();

class SplashState : public Quor::Substatable
{
public:
    static constexpr const char* NAME = "splash";
    static constexpr const char* ATLAS = "splash.xml";

    SplashState() : Substatable(NAME) {}

    // Queues the studio logo inside the container (loader thread).
    void Load() override;
    // Releases the start-up atlas.
    void Leave() override;
};

// One full-screen picture on white, centred, for the configured time.
class PictureState : public Quor::ApplicationState
{
public:
    static constexpr const char* TIME_KEY = "constants/splash_time_ms";

    void Load() override;
    void UpdateState(const float& dt) override;
    void RenderState(Tarv::Surface* surface) override;

    Tarv::Surface* GetImage() const { return m_image; }
    float GetElapsed() const { return m_elapsed; }

protected:
    PictureState(const Tarv::NarrowString& name, const char* file);
    // Asks the owning state machine to switch to the preloaded state once the time is up.
    virtual void SwitchOn() = 0;

private:
    const char* m_file;
    Tarv::Surface* m_image = nullptr;
    float m_elapsed = 0.0f;
    bool m_switched = false;
};

class VexolanLogoState : public PictureState
{
public:
    static constexpr const char* NAME = "vexolan logo";
    static constexpr const char* IMAGE = "images/splash/vexolan_logo.png";

    VexolanLogoState() : PictureState(NAME, IMAGE) {}

    // Starts loading the title splash inside the container.
    void Enter() override;

protected:
    void SwitchOn() override;
};

class GameSplashState : public PictureState
{
public:
    static constexpr const char* NAME = "game splash";
    static constexpr const char* IMAGE = "images/splash/game_splash.png";
    static constexpr const char* GAME_ATLAS = "debug.xml";

    GameSplashState() : PictureState(NAME, IMAGE) {}

    // The picture, then the game's atlases (loader thread).
    void Load() override;
    // Starts loading the next state into the application's state machine.
    void Enter() override;

    // The maker of the state after start-up; set once by the application before it starts.
    static void SetNextState(NextStateFactory factory) { s_next = factory; }

protected:
    void SwitchOn() override;

private:
    static NextStateFactory s_next;
};

} // namespace Pirrock
