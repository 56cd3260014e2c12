// The camera's projection from the screen resolution and its conversions between world
// points and screen pixels; the active-camera slot.
#include "scene/Camera.h"

#include "engine/registry/Registry.h"

#include <climits>
#include <cmath>

namespace Vund
{

Tarv::SmartPtr<Camera> ActiveCamera;

namespace
{

int ReadResolution(const char* path, int fallback)
{
    int value = 0;
    Tarv::Registry* registry = Tarv::Registry::Instance.Get();
    if (registry == nullptr || !registry->GetInt(path, value))
        return fallback;
    return value;
}

int ScreenHeight()
{
    return ReadResolution("/machine/resolution/y", Camera::FALLBACK_HEIGHT);
}

} // namespace

int TruncateToInt(float value)
{
    if (std::isnan(value))
        return INT_MIN;
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}

Camera::Camera(const Degree& fieldOfView)
    : DynamicObject(Vector3D(), Vector3D(), 1.0f, Rotation(), Rotation(), 1.0f), m_fieldOfView(fieldOfView)
{
    UpdateProjection();
    SetPosition(m_projection, false);
}

Vector3D Camera::ComputeProjection(float x, float y, float width, float height) const
{
    const float half = m_fieldOfView.value * DEGREES_TO_RADIANS * 0.5f;
    const float tangent = static_cast<float>(std::tan(static_cast<double>(half)));
    return Vector3D(x + width * 0.5f, y + height * 0.5f, (height * 0.5f) / tangent);
}

void Camera::UpdateProjection()
{
    const int width = ReadResolution("/machine/resolution/x", FALLBACK_WIDTH);
    const int height = ScreenHeight();
    m_projection = ComputeProjection(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
}

void Camera::SetFieldOfView(const Degree& fieldOfView)
{
    m_fieldOfView = fieldOfView;
    UpdateProjection();
}

ScreenPoint Camera::WorldToScreen(const Vector3D& p) const
{
    const Vector3D& c = GetPosition();
    const float depth = c.z - p.z;
    if (depth == 0.0f)
        return ScreenPoint{INT_MIN, INT_MIN};
    const float k = m_projection.z / depth;
    const float x = m_projection.x - k * (c.x - p.x);
    const float h = static_cast<float>(ScreenHeight());
    const float y = (h - m_projection.y) + k * (c.y - p.y);
    if (std::isnan(x) || std::isnan(y))
        return ScreenPoint{INT_MIN, INT_MIN};
    return ScreenPoint{TruncateToInt(x), TruncateToInt(y)};
}

Vector3D Camera::ScreenToWorld(const ScreenPoint& s, const float& z) const
{
    const Vector3D& c = GetPosition();
    const float k = (c.z - z) / m_projection.z;
    const int h = ScreenHeight();
    return Vector3D(c.x - (m_projection.x - static_cast<float>(s.x)) * k,
                    c.y - (m_projection.y - static_cast<float>(static_cast<long long>(h) - s.y)) * k, z);
}

Camera* Camera::GetActive()
{
    if (!ActiveCamera)
        Install(new Camera(Degree(60.0f)));
    return ActiveCamera.Get();
}

void Camera::Install(Camera* camera)
{
    if (ActiveCamera)
        ActiveCamera->registered = true;
    ActiveCamera = camera;
    if (ActiveCamera)
        ActiveCamera->registered = false;
}

} // namespace Vund
