// The title state: its load and entry lines on standard output, the sweep and the drawing.
#include "app/TitleState.h"

#include "graphics/render/Surface.h"

#include <cstdint>
#include <cstdio>

namespace Brashwick
{

namespace
{

constexpr int SWEEP_HEIGHT = 8;
constexpr int SWEEP_BOTTOM_GAP = 40;

} // namespace

void TitleState::Load()
{
    std::printf("brashwick: state %s loaded\n", GetName().c_str());
    std::fflush(stdout);
    m_loaded.store(true);
}

void TitleState::Enter()
{
    std::printf("brashwick: state %s entered\n", GetName().c_str());
    std::fflush(stdout);
}

void TitleState::UpdateState(const float& dt)
{
    if (++m_updates == 1) {
        std::printf("brashwick: state %s updated\n", GetName().c_str());
        std::fflush(stdout);
    }
    if (dt > 0.0f) {
        m_sweep += dt;
        if (m_sweep >= 1.0f)
            m_sweep -= static_cast<float>(static_cast<int>(m_sweep));
    }
}

void TitleState::RenderState(Tarv::Surface* surface)
{
    if (surface == nullptr)
        return;
    static const std::uint8_t teal[4] = {CLEAR_RED, CLEAR_GREEN, CLEAR_BLUE, 255};
    static const std::uint8_t sweep[4] = {230, 230, 230, 255};
    surface->ClearColor(teal);
    const int width = surface->GetWidth();
    const int bottom = surface->GetHeight() - SWEEP_BOTTOM_GAP;
    const int right = static_cast<int>(static_cast<float>(width) * m_sweep);
    if (right > 0 && bottom > SWEEP_HEIGHT)
        surface->FillRect(0, bottom - SWEEP_HEIGHT, right, bottom, sweep);
}

} // namespace Brashwick
