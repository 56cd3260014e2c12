// Vund::Sphere: a drawable that is also a dynamic object; it moves with the physics and the
// basic renderer draws nothing for it.
#pragma once

#include "scene/DrawableObject.h"
#include "scene/DynamicObject.h"

namespace Vund
{

class Sphere : public DrawableObject, public DynamicObject
{
public:
    // Mass 1, inertia 1, at rest, identity orientation; listed with the physics manager.
    Sphere(const Vector3D& position, const float& radius);

    void Draw(Tarv::Surface* target) override;

    float radius;
};

} // namespace Vund
