// Vund::Camera: the perspective camera scenes are seen through, itself a dynamic object that
// the physics moves. Vund::ActiveCamera: the one camera the renderer projects through.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "scene/Angle.h"
#include "scene/DynamicObject.h"

namespace Vund
{

struct ScreenPoint
{
    int x;
    int y;
};

class Camera : public DynamicObject, public Tarv::RefCounter
{
public:
    // The screen size used when the "/machine/resolution" keys cannot be read (no registry, or
    // no such key): the device's screen. A key that reads 0 or less is used as it is.
    static constexpr int FALLBACK_WIDTH = 800;
    static constexpr int FALLBACK_HEIGHT = 480;

    // Computes the projection from the resolution keys and starts at (centre x, centre y,
    // focal length), where the world layer z = 0 is pixel-aligned with its origin at the
    // bottom-left corner of the screen. Any thread; installed and used on the main thread.
    explicit Camera(const Degree& fieldOfView);

    // (x + w / 2, y + h / 2, (h / 2) / tan(fov / 2)).
    Vector3D ComputeProjection(float x, float y, float width, float height) const;
    // Reads the resolution keys again.
    void UpdateProjection();
    // Keeps the position (which still reflects the old focal length until ResetPosition).
    void SetFieldOfView(const Degree& fieldOfView);
    void ResetPosition() { SetPosition(m_projection, false); }

    // The pixel a world point is drawn at, truncated toward zero. A point at the camera's own
    // depth, or one whose pixel is not a number, gives {INT_MIN, INT_MIN}, off every screen;
    // pixels beyond the int range are clamped to it.
    ScreenPoint WorldToScreen(const Vector3D& point) const;
    // The world point at depth z drawn at the pixel; with a focal length of 0 (a screen height
    // of 0) its x and y are not numbers.
    Vector3D ScreenToWorld(const ScreenPoint& pixel, const float& z) const;

    const Degree& GetFieldOfView() const { return m_fieldOfView; }
    // Centre x, centre y (pixels) and focal length.
    const Vector3D& GetProjection() const { return m_projection; }

    // The active camera; when there is none, a new 60-degree camera is installed first.
    static Camera* GetActive();
    // Installs the camera (or empties the slot with null): the previous camera's registered
    // flag is set back to true and the slot's reference to it released; the new one's flag
    // is cleared.
    static void Install(Camera* camera);

private:
    Degree m_fieldOfView;
    Vector3D m_projection;
};

// Empty at start; main thread only. Change it through Camera::Install.
extern Tarv::SmartPtr<Camera> ActiveCamera;

// Converts to int by truncation toward zero (pixels, frame rates), clamped to the int range;
// NaN gives INT_MIN.
int TruncateToInt(float value);

} // namespace Vund
