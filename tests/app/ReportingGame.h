// Brashwick::ReportingGame: the game application of the program tests' own build of the
// program, which reports each stage of start-up, each change of the active state, the console
// shown or hidden and the shut-down on standard output, for the tests to follow.
#pragma once

#include "engine/core/NarrowString.h"
#include "game/Game.h"

namespace Brashwick
{

class ReportingGame : public Pirrock::Game
{
public:
    void Init() override;
    void LoadSettings() override;
    void LoadLocalisation() override;
    void StartGame() override;
    void Step() override;
    void Render(Tarv::Surface* screen) override;
    void Shutdown() override;

private:
    long m_steps = 0;
    long m_frames = 0;
    Tarv::NarrowString m_activeState;
    bool m_consoleShown = false;
};

} // namespace Brashwick
