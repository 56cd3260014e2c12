// Pirrock::LoadingState: the game's loading screen, drawn while a state of its owner's machine
// loads: the hero's running animation in the middle of a black screen with the localised
// "IDS_LOADING" below it. Sound is silenced while it shows (sounds and music keep advancing).
#pragma once

#include "audio/EffectMute.h"
#include "engine/core/SmartPtr.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/ProcessManager.h"
#include "scene/AnimatedSprite.h"
#include "scene/Camera.h"

namespace Pirrock
{

class LoadingState : public Quor::ApplicationLoadingState
{
public:
    static constexpr const char* NAME = "loading";
    static constexpr const char* FONT = "fonts/menu.xml";
    static constexpr const char* ANIMATION = "anim/pirrock_loading.xml";
    static constexpr const char* ANIMATOR = "pirrock animator";
    static constexpr const char* TEXT_ID = "IDS_LOADING";
    // The animation's canvas bottom and the text's top meet this far below the screen's middle.
    static constexpr int TEXT_DROP = 20;

    LoadingState() : ApplicationLoadingState(NAME) {}
    // Lets go of the mute, the camera and the animation, in that order.
    ~LoadingState() override;

    // Runs once, when the owner installs the screen (on the owner's thread).
    void Load() override;
    // Makes the screen's camera the active one and silences the mixer.
    void Enter() override;
    // Sound is heard again.
    void Leave() override;
    void RenderState(Tarv::Surface* surface) override;

    Vund::AnimatedSprite* GetAnimation() const { return m_animation.Get(); }
    bool IsMuting() const { return m_muting; }

private:
    Tarv::SmartPtr<Vund::AnimatedSprite> m_animation;
    Tarv::SmartPtr<Vund::Camera> m_camera;
    Tarv::SmartPtr<Tarv::EffectMute> m_mute;
    Tarv::SmartPtr<Quor::ProcessManager> m_animator;
    bool m_muting = false;
};

} // namespace Pirrock
