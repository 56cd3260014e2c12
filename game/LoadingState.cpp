// The loading screen: its objects, the mute around each loading phase and the drawing.
#include "game/LoadingState.h"

#include "audio/EffectMute.h"
#include "audio/Mixer.h"
#include "engine/registry/TextDict.h"
#include "graphics/render/Surface.h"
#include "scene/AnimatedSprite.h"
#include "scene/Camera.h"

#include <cstdint>

namespace Pirrock
{

LoadingState::~LoadingState()
{
    // A screen released mid-phase must not leave the mixer silent, nor holding a freed effect.
    Leave();
    if (m_animator)
        GetProcessManager().RemoveItem(m_animator.Get());
    m_mute.Reset();
    m_camera.Reset();
    m_animation.Reset();
}

void LoadingState::Load()
{
    RequestAsset(FONT);
    m_animation = Tarv::MakeSmart<Vund::AnimatedSprite>(ANIMATION, Vund::Vector3D(0.0f, 0.0f, 0.0f),
                                                         Tarv::NarrowString(), 1.0f);
    m_camera = Tarv::MakeSmart<Vund::Camera>(Vund::Degree(60.0f));
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    if (mixer != nullptr)
        m_mute = Tarv::MakeSmart<Tarv::EffectMute>(mixer->GetFormat(), true);
    // Loaded once per screen: a second Load would list a second animator.
    if (!m_animator) {
        m_animator = Tarv::MakeSmart<Quor::ProcessManager>(ANIMATOR);
        GetProcessManager().AddProcess(m_animator.Get());
    }
    if (Quor::ProcessManager* animator = dynamic_cast<Quor::ProcessManager*>(GetProcessManager().FindProcess(ANIMATOR)))
        animator->AddProcess(m_animation.Get());
}

void LoadingState::Enter()
{
    if (m_camera)
        Vund::Camera::Install(m_camera.Get());
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    if (mixer != nullptr && m_mute && !m_muting) {
        mixer->AddEffect(m_mute.Get());
        m_muting = true;
    }
}

void LoadingState::Leave()
{
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    if (m_muting && mixer != nullptr)
        mixer->RemoveEffect(m_mute.Get());
    m_muting = false;
}

void LoadingState::RenderState(Tarv::Surface* surface)
{
    if (surface == nullptr)
        return;
    static const std::uint8_t black[4] = {0, 0, 0, 255};
    surface->ClearColor(black);
    const int width = surface->GetWidth();
    const int height = surface->GetHeight();
    if (m_animation) {
        m_animation->position = Vund::Vector3D(static_cast<float>((width - m_animation->GetWidth()) / 2),
                                               static_cast<float>(height / 2 - TEXT_DROP), 0.0f);
        m_animation->Draw(surface);
    }
    Tarv::Text::Format& format = GetFormat();
    format.SetColor(255, 255, 255, 255);
    const int flags = Quor::TEXT_HCENTER | Quor::TEXT_TOP;
    if (Tarv::TextDict::Instance)
        DrawText(surface, width / 2, height / 2 + TEXT_DROP, Tarv::TextDict::Instance->GetText(TEXT_ID), flags, "default");
    else
        DrawNarrowText(surface, width / 2, height / 2 + TEXT_DROP, TEXT_ID, flags, "default");
}

} // namespace Pirrock
