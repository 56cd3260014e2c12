// Brashwick::BringUpApp: the program's application until the game's own class exists. It runs
// the framework's start-up with the user's language, enters its first state through the
// loading screen at the configured logic rate, and reports each stage on standard output. It
// wires the developer console in.
#pragma once

#include "console/ConsoleHooks.h"
#include "framework/Application.h"

namespace Brashwick
{

class BringUpApp : public Quor::Application
{
public:
    // Creates the developer console and installs its hooks once the shell is ready.
    BringUpApp();
    // Removes the hooks and releases the console while the GL context exists.
    ~BringUpApp() override;

    // Only the start-up atlases: the game's own are registered by the states that use them.
    void LoadAtlases() override;
    // "l10n/" + the "language" setting + ".xml", English when that is missing.
    void LoadLocalisation() override;
    // The loading screen, the first state (through a master loading state), the logic rate.
    void StartGame() override;
    void LoadSettings() override;
    void Step() override;
    void Init() override;
    void Shutdown() override;
    void Render(Tarv::Surface* screen) override;

    long GetSteps() const { return m_steps; }

private:
    Tarv::ConsoleHooks m_consoleHooks;
    long m_steps = 0;
    long m_frames = 0;
    bool m_consoleShown = false;
};

} // namespace Brashwick
