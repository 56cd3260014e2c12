// The World's questions about the hero's cell (the item it touches, the ground under it, a hair
// dryer behind it) and the moves that put the hero onto the cell geometry.
#include "game/World.h"

#include "framework/Settings.h"
#include "game/Pirrock.h"
#include "game/WorldMath.h"

#include <cmath>

namespace Pirrock
{

namespace
{

bool IsFiniteVector(const Vund::Vector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

CellCode World::GetTouchedCode()
{
    const Cell h = m_heroCell;
    // The touched cell is recorded only when the cell is live and holds a trigger.
    auto check = [this](const Cell& c) -> CellCode {
        const CellCode code = GetCellCode(c);
        if (!IsCellUsed(c) || !IsTriggerCode(code))
            return CODE_NONE;
        m_touchedCell = c;
        return code;
    };
    const Cell ahead = GetCellAhead(h);
    if (IsInsideGrid(ahead) && GetCellCode(ahead) == CODE_PUSHER)
        return check(ahead);
    const Cell twoAhead = GetCellAhead(ahead);
    if (IsInsideGrid(twoAhead) && IsPusherRunningLeft(GetCellCode(twoAhead)))
        return check(twoAhead);
    const Cell behind = GetCellBehind(h);
    if (IsInsideGrid(behind) && IsTrampolineOrLadderRunningRight(GetCellCode(behind)))
        return check(behind);
    if (!IsInsideGrid(h))
        return CODE_VOID_SPACE;
    const CellCode own = GetCellCode(h);
    if (own == CODE_PUSHER || IsTrampolineOrLadderRunningRight(own))
        return CODE_NONE;
    if (IsCellUsed(h) && IsTriggerCode(own)) {
        m_touchedCell = h;
        return own;
    }
    const Cell above{h.x, h.y - 1};
    if (IsInsideGrid(above) && IsFruitCode(GetCellCode(above)))
        return check(above);
    return CODE_NONE;
}

CellCode World::GetPlatformCode() const
{
    const CellCode own = GetCellCode(m_heroCell);
    if (IsGroundOrMagicCode(own))
        return own;
    const Cell below{m_heroCell.x, OffsetIndex(m_heroCell.y, 1)};
    if (!IsInsideGrid(below))
        return CODE_VOID_SPACE;
    const CellCode code = GetCellCode(below);
    if (IsEmptyOrWaterCode(code) && IsGroundCode(GetCellCode(GetCellBehind(below))))
        return CODE_MAGIC_GROUND;
    return code;
}

bool World::IsHairDryerBehind() const
{
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    Cell c = GetCellBehind(m_heroCell);
    // The distance is read anew at each step, as a console may change it.
    for (int i = 1; settings != nullptr && i <= settings->GetInt("constants/max_hair_dryer_distance"); ++i) {
        if (GetCellCode(c) == CODE_HAIR_DRYER && IsCellUsed(c))
            return true;
        c = GetCellBehind(c);
    }
    return false;
}

bool World::IsPirrockOnSlope() const
{
    return IsSlopeCode(GetCellCode(m_heroCell));
}

bool World::IsPirrockOnGround() const
{
    return IsGroundOrMagicCode(GetCellCode(m_heroCell));
}

bool World::IsPirrockOnSki() const
{
    return GetCellCode(m_heroCell) == CODE_SKI;
}

void World::SnapPirrockToGround(CellCode ground)
{
    if (!m_hero || !IsFiniteVector(m_hero->GetPosition()))
        return;
    const Vund::Vector3D p = m_hero->GetPosition();
    const float width = static_cast<float>(m_geometry.cellWidth);
    float x = static_cast<float>(TruncToCellIndex(p.x / width)) * width;
    if (IsSlopeCode(ground))
        x += 2.0f;
    const Cell surface = FindSurface(Cell{m_heroCell.x, OffsetIndex(m_heroCell.y, 1)});
    if (surface == NO_CELL)
        return;
    const int row = ground == CODE_UP ? surface.y : surface.y - 1;
    float y = static_cast<float>(m_geometry.cellHeight * (m_geometry.height - 1 - row));
    if (ground == CODE_DOWN)
        y -= 1.0f;
    else if (ground == CODE_UP)
        y += 1.0f;
    m_hero->SetPosition(Vund::Vector3D(x, y, p.z), true);
}

void World::DropPirrockToGround()
{
    if (!m_hero || !IsFiniteVector(m_hero->GetPosition()))
        return;
    const Vund::Vector3D p = m_hero->GetPosition();
    const Cell surface = FindSurface(Cell{m_heroCell.x, OffsetIndex(m_heroCell.y, 1)});
    if (surface == NO_CELL)
        return;
    const float y = static_cast<float>(m_geometry.cellHeight * (m_geometry.height - surface.y));
    m_hero->SetPosition(Vund::Vector3D(p.x, y, p.z), true);
}

void World::AlignPirrockInColumn()
{
    if (!m_hero || !IsFiniteVector(m_hero->GetPosition()))
        return;
    const Vund::Vector3D p = m_hero->GetPosition();
    const float width = static_cast<float>(m_geometry.cellWidth);
    const float edge = static_cast<float>(TruncToCellIndex(p.x / width)) * width;
    const float x = IsRunningLeft() ? edge + width - 1.0f : edge + 1.0f;
    m_hero->SetPosition(Vund::Vector3D(x, p.y, p.z), true);
}

} // namespace Pirrock
