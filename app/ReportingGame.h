// Brashwick::ReportingGame: the game application as the program runs it, reporting each stage of
// start-up, each change of the active state and the shut-down on standard output.
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
};

} // namespace Brashwick
