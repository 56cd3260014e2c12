// Brashwick::TitleState: the first state the program enters, until the game's splash screens
// exist: the window in the title colour, with a bar that sweeps once a second in logic steps.
#pragma once

#include "framework/ApplicationState.h"

#include <atomic>

namespace Brashwick
{

class TitleState : public Quor::ApplicationState
{
public:
    static constexpr const char* NAME = "title";
    // The clear colour, 0-255 each (a deep teal).
    static constexpr int CLEAR_RED = 0;
    static constexpr int CLEAR_GREEN = 128;
    static constexpr int CLEAR_BLUE = 128;

    TitleState() : ApplicationState(NAME) {}

    // Runs on the loader thread, behind the loading screen.
    void Load() override;
    void Enter() override;
    void UpdateState(const float& dt) override;
    void RenderState(Tarv::Surface* surface) override;

    long GetUpdates() const { return m_updates; }
    bool IsLoaded() const { return m_loaded.load(); }

private:
    std::atomic<bool> m_loaded{false};
    long m_updates = 0;
    float m_sweep = 0.0f;
};

} // namespace Brashwick
