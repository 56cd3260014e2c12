// The hero: its construction, the picture kept in step with the body, and the hero singleton.
#include "game/Pirrock.h"

#include "scene/Physics.h"

namespace Pirrock
{

namespace
{

Tarv::SmartPtr<Pirrock> s_instance;

} // namespace

Pirrock::Pirrock()
    : Vund::DynamicObject(Vund::Vector3D(), Vund::Vector3D(), 1.0f, Vund::Rotation(), Vund::Rotation(), 1.0f),
      Vund::AnimatedSprite(ANIMATION_FILE, Vund::Vector3D(), "linear", 1.0f)
{
    drag = false;
}

Pirrock::~Pirrock()
{
    // A physics pass must never meet a hero whose picture part is already gone.
    Vund::Physics::Leave(this);
}

void Pirrock::SetPosition(const Vund::Vector3D& position_, bool shiftHistory)
{
    Vund::DynamicObject::SetPosition(position_, shiftHistory);
    Vund::Sprite::position = GetPosition() + m_spriteOffset;
}

void Pirrock::SetSpriteOffset(const Vund::Vector3D& offset)
{
    m_spriteOffset = offset;
    SetPosition(GetPosition(), false);
}

const Tarv::SmartPtr<Pirrock>& Pirrock::GetInstance()
{
    return s_instance;
}

void Pirrock::SetInstance(const Tarv::SmartPtr<Pirrock>& hero)
{
    // The held hero unlists itself when it goes; the published one is let go by the manager
    // if the manager is destroyed first at exit.
    if (s_instance)
        s_instance->registered = true;
    const Tarv::SmartPtr<Pirrock> previous = s_instance;
    s_instance = hero;
    if (s_instance)
        s_instance->registered = false;
}

} // namespace Pirrock
