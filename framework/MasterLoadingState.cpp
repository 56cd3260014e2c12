// The master loading state: loader start, hand-over to the owner, and forwarding to the screen.
#include "framework/MasterLoadingState.h"

#include "framework/Substatable.h"

namespace Quor
{

MasterLoadingState::MasterLoadingState(ApplicationState* target, ApplicationLoadingState* screen, bool autoSwitch,
                                       Substatable* owner)
    : ApplicationState(NAME), m_target(target), m_screen(screen), m_owner(owner), m_autoSwitch(autoSwitch)
{
}

MasterLoadingState::~MasterLoadingState()
{
    // The thread goes before the target it loads.
    m_loader.reset();
}

void MasterLoadingState::StartLoader()
{
    if (m_loader)
        return;
    m_loader = std::make_unique<LoaderThread>(m_target);
    m_loader->Start();
}

bool MasterLoadingState::FinishIfLoaded()
{
    if (!IsLoaded())
        return false;
    HandOver();
    return true;
}

void MasterLoadingState::HandOver()
{
    if (m_owner != nullptr)
        m_owner->SetPending(m_target.Get());
    m_loader->Join();
}

void MasterLoadingState::UpdateProgress(const float& dt)
{
    const float real = m_target ? m_target->GetLoadProgress() : 0.0f;
    m_smoother.Smooth(dt, real);
}

void MasterLoadingState::UpdateState(const float& dt)
{
    if (m_autoSwitch && IsLoaded())
        HandOver();
    if (!m_screen)
        return;
    UpdateProgress(dt);
    m_screen->SetProgress(m_smoother.GetShown());
    m_screen->UpdateState(dt);
}

void MasterLoadingState::Load()
{
    if (m_screen)
        m_screen->Load();
}

void MasterLoadingState::Enter()
{
    if (m_screen)
        m_screen->Enter();
}

void MasterLoadingState::Leave()
{
    if (m_screen)
        m_screen->Leave();
}

void MasterLoadingState::RenderState(Tarv::Surface* surface)
{
    if (m_screen)
        m_screen->RenderState(surface);
}

void MasterLoadingState::OnKeyDown(int key)
{
    if (m_screen)
        m_screen->OnKeyDown(key);
}

void MasterLoadingState::OnKeyUp(int key)
{
    if (m_screen)
        m_screen->OnKeyUp(key);
}

void MasterLoadingState::OnTouchDown(const TouchPoints& points)
{
    if (m_screen)
        m_screen->OnTouchDown(points);
}

void MasterLoadingState::OnTouchUp(const TouchPoints& points)
{
    if (m_screen)
        m_screen->OnTouchUp(points);
}

void MasterLoadingState::OnTouchMove(const TouchPoints& points)
{
    if (m_screen)
        m_screen->OnTouchMove(points);
}

void MasterLoadingState::OnAccelerometer(float x, float y, float z)
{
    if (m_screen)
        m_screen->OnAccelerometer(x, y, z);
}

void MasterLoadingState::OnEnter(Substatable* parent)
{
    if (m_screen)
        m_screen->OnEnter(parent);
}

void MasterLoadingState::OnExit()
{
    if (m_screen)
        m_screen->OnExit();
}

} // namespace Quor
