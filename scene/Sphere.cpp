// The sphere's construction and its dispatch to the renderer.
#include "scene/Sphere.h"

#include "scene/BasicRenderer.h"
#include "scene/Renderer.h"

namespace Vund
{

Sphere::Sphere(const Vector3D& position, const float& radius_)
    : DynamicObject(position, Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f), radius(radius_)
{
}

void Sphere::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawSphere(this, target);
}

} // namespace Vund
