// Brashwick::ReportingGame: the game application as the program runs it, with the developer
// console wired in, reporting each stage of start-up, each change of the active state, the
// console shown or hidden and the shut-down on standard output.
#pragma once

#include "console/ConsoleHooks.h"
#include "engine/core/NarrowString.h"
#include "game/Game.h"

namespace Brashwick
{

class ReportingGame : public Pirrock::Game
{
public:
    // Creates the developer console and installs its hooks once the shell is ready.
    ReportingGame();
    // Removes the hooks and releases the console while the GL context exists.
    ~ReportingGame() override;

    void Init() override;
    void LoadSettings() override;
    void LoadLocalisation() override;
    void StartGame() override;
    void Step() override;
    void Render(Tarv::Surface* screen) override;
    void Shutdown() override;

private:
    Tarv::ConsoleHooks m_consoleHooks;
    long m_steps = 0;
    long m_frames = 0;
    Tarv::NarrowString m_activeState;
    bool m_consoleShown = false;
};

} // namespace Brashwick
