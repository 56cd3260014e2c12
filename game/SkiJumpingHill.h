// Pirrock::SkiJumpingHill: the invisible curve the hero slides along while skiing or rolling, a
// parabola from where the hero started through a bottom point to the take-off point, both set in
// cells by "constants/ski_jumping_hill_bottom_cells" and "constants/ski_jumping_hill_end_cells".
// Each Step pins the hero's height to the curve, pushes it with the part of gravity along the
// slope and tilts and shifts its picture to the slope as a slope cell of that steepness would.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "scene/Angle.h"
#include "scene/Parabola.h"
#include "scene/Vector3D.h"

namespace Pirrock
{

class SkiJumpingHill : public Tarv::RefCounter
{
public:
    // Curve units are world units divided by this.
    static constexpr float CURVE_SCALE = 1024.0f;

    // Anchored at position with its x on the nearest column boundary. Constants that give no
    // parabola (two points sharing an x) give a level curve.
    explicit SkiJumpingHill(const Vund::Vector3D& position);

    // The tangent's steepness at world x in degrees, 0..90 for rising and falling alike; exactly
    // 360 where the curve is level.
    Vund::Degree GetTangentAngle(const float& x) const;
    // One step of the hero on the hill; false, with nothing changed, while the hero is outside
    // start.x .. end.x (bounds included) or there is no hero.
    bool Step();

    const Vund::Vector3D& GetStart() const { return m_start; }
    const Vund::Vector3D& GetEnd() const { return m_end; }

private:
    // Leans the hero's picture by the tangent's rise in degrees (negative: falling).
    void Tilt(float rise) const;

    Vund::Vector3D m_start;
    Vund::Vector3D m_end;
    Tarv::SmartPtr<Vund::Parabola> m_curve;
    // The picture offsets of a hero on level ground and on 45-degree falling and rising slopes.
    Vund::Vector3D m_flatShift;
    Vund::Vector3D m_downShift;
    Vund::Vector3D m_upShift;
};

} // namespace Pirrock
