// Pirrock::Pirrock: the hero, one object that is both the body the physics moves and the animated
// picture drawn for it, kept a fixed offset apart. One hero at a time is published through the
// hero singleton, which every user of the hero reads.
#pragma once

#include "engine/core/SmartPtr.h"
#include "scene/AnimatedSprite.h"
#include "scene/DynamicObject.h"

namespace Pirrock
{

class Pirrock : public Vund::DynamicObject, public Vund::AnimatedSprite
{
public:
    // The hero's animation file.
    static constexpr const char* ANIMATION_FILE = "anim/pirrock_game.xml";

    // At the origin, at rest, mass 1, listed with the physics manager with neither gravity nor
    // drag; the picture plays the first animation of ANIMATION_FILE (nothing is drawn when the
    // file is missing). Any thread.
    Pirrock();
    // Leaves the physics list before any part of the hero is gone.
    ~Pirrock() override;

    // The body's position; with shiftHistory the jump is added to the last displacement. The
    // picture's drawing position follows at once: position + sprite offset.
    void SetPosition(const Vund::Vector3D& position, bool shiftHistory) override;
    // Replaces the offset between the body and its picture and moves the picture at once.
    void SetSpriteOffset(const Vund::Vector3D& offset);
    const Vund::Vector3D& GetSpriteOffset() const { return m_spriteOffset; }

    // The current hero, or null.
    static const Tarv::SmartPtr<Pirrock>& GetInstance();
    // Publishes hero (null clears), releasing the previous one.
    static void SetInstance(const Tarv::SmartPtr<Pirrock>& hero);

private:
    Vund::Vector3D m_spriteOffset;
};

} // namespace Pirrock
