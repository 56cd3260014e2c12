#include "game/SkiJumpingHill.h"

#include "framework/Settings.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "scene/Physics.h"

#include <cmath>

namespace Pirrock
{

namespace
{

float GetConstant(const char* key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings ? static_cast<float>(settings->GetInt(key)) : 0.0f;
}

Vund::Vector3D ToCurve(const Vund::Vector3D& p)
{
    return {p.x / SkiJumpingHill::CURVE_SCALE, p.y / SkiJumpingHill::CURVE_SCALE, 0.0f};
}

} // namespace

SkiJumpingHill::SkiJumpingHill(const Vund::Vector3D& position)
{
    // Without a World (or with an unusable cell size) cells count one unit each.
    float cellWidth = 1.0f, cellHeight = 1.0f;
    if (const World* world = World::Instance.Get()) {
        if (world->GetGeometry().cellWidth > 0)
            cellWidth = static_cast<float>(world->GetGeometry().cellWidth);
        if (world->GetGeometry().cellHeight > 0)
            cellHeight = static_cast<float>(world->GetGeometry().cellHeight);
    }
    const float bx = GetConstant("constants/ski_jumping_hill_bottom_cells/x");
    const float by = GetConstant("constants/ski_jumping_hill_bottom_cells/y");
    const float ex = GetConstant("constants/ski_jumping_hill_end_cells/x");
    const float ey = GetConstant("constants/ski_jumping_hill_end_cells/y");
    m_flatShift = {GetConstant("constants/pirrock_rotation_shift_flat/x"),
                   GetConstant("constants/pirrock_rotation_shift_flat/y"), 0.0f};
    m_downShift = {GetConstant("constants/pirrock_rotation_shift_down/x"),
                   GetConstant("constants/pirrock_rotation_shift_down/y"), 0.0f};
    m_upShift = {GetConstant("constants/pirrock_rotation_shift_up/x"),
                 GetConstant("constants/pirrock_rotation_shift_up/y"), 0.0f};

    m_start = Vund::Vector3D(std::trunc(position.x / cellWidth + 0.5f) * cellWidth, position.y, position.z);
    const Vund::Vector3D bottom(m_start.x + bx * cellWidth, m_start.y + by * cellHeight, m_start.z);
    m_end = Vund::Vector3D(m_start.x + ex * cellWidth, m_start.y + ey * cellHeight, m_start.z);
    m_curve = Tarv::MakeSmart<Vund::Parabola>(ToCurve(m_start), ToCurve(bottom), ToCurve(m_end));
}

Vund::Degree SkiJumpingHill::GetTangentAngle(const float& x) const
{
    const float s = m_curve->GetSlope(x / CURVE_SCALE);
    if (s == 0.0f)
        return Vund::Degree(360.0f);
    const float length = std::sqrt(1.0f + s * s);
    const float angle = static_cast<float>(std::acos(1.0 / static_cast<double>(length)));
    return Vund::Degree(360.0f - (6.2831855f - angle) * 57.295776f);
}

void SkiJumpingHill::Tilt(float rise) const
{
    // The level tangent's 360 is a level hero. The picture leans with the curve as it does on a
    // slope cell (nose up on a rising tangent), and its offset moves from the level one towards
    // the one of the 45-degree slope cell in the same direction.
    if (rise == 360.0f)
        rise = 0.0f;
    Pirrock* hero = Pirrock::GetInstance().Get();
    hero->rotation = -rise * Vund::DEGREES_TO_RADIANS;
    const Vund::Vector3D& slope = rise > 0.0f ? m_upShift : m_downShift;
    const float t = std::fabs(rise) / 45.0f;
    hero->SetSpriteOffset(m_flatShift + (slope - m_flatShift) * t);
}

bool SkiJumpingHill::Step()
{
    Pirrock* hero = Pirrock::GetInstance().Get();
    if (!hero)
        return false;
    Vund::Vector3D p = hero->GetPosition();
    if (!(m_start.x <= p.x && p.x <= m_end.x))
        return false;
    const float s = m_curve->GetSlope(p.x / CURVE_SCALE);
    const Vund::Vector3D tangent(1.0f, s, 0.0f);
    if (const Vund::Physics* physics = Vund::Physics::GetInstance())
        hero->force.x += physics->gravity.Dot(tangent) / tangent.Dot(tangent) * tangent.x;
    p.y = CURVE_SCALE * m_curve->GetValue(p.x / CURVE_SCALE);
    hero->SetPosition(p, true);
    Tilt(s < 0.0f ? -GetTangentAngle(p.x).value : GetTangentAngle(p.x).value);
    return true;
}

} // namespace Pirrock
