// The World's tool operations: the candidate cells of a tap, the free-cell test, and the effects
// of a placed tool on the cells around it.
#include "game/World.h"

#include "framework/Settings.h"
#include "game/WorldMath.h"
#include "scene/AnimatedSprite.h"
#include "scene/Sprite.h"

namespace Pirrock
{

namespace
{

// Around a tapped cell, nearest first: the cell, its row, the rows next to it, two steps away.
constexpr int TOOL_CANDIDATE_OFFSETS[21][2] = {
    {0, 0},  {-1, 0}, {1, 0},  {0, -1},  {0, 1},  {-1, -1}, {1, -1}, {-1, 1},  {1, 1},  {-2, 0}, {2, 0},
    {0, -2}, {0, 2},  {-2, -1}, {-2, 1}, {2, -1}, {2, 1},   {-1, -2}, {1, -2}, {-1, 2}, {1, 2}};

bool IsObstacleClearingTool(CellCode code)
{
    return IsPlainToolCode(code);
}

} // namespace

std::vector<Cell> World::GetToolCandidates(const Cell& cell) const
{
    std::vector<Cell> candidates;
    if (!IsInsideGrid(cell))
        return candidates;
    for (const auto& offset : TOOL_CANDIDATE_OFFSETS) {
        const Cell p{cell.x + offset[0], cell.y + offset[1]};
        if (!IsInsideGrid(p))
            continue;
        const CellCode code = GetCellCode(p);
        if (IsToolCode(code))
            candidates.push_back(p);
        else if (code == CODE_TRAP_DOOR)
            candidates.push_back(Cell{p.x, p.y - 1});
    }
    return candidates;
}

CellCode World::GetFreeCellCode(const Cell& cell) const
{
    if (!IsInsideGrid(cell))
        return CODE_VOID_SPACE;
    return IsCellUsed(cell) ? CODE_NONE : GetCellCode(cell);
}

Cell World::FindObstacleAround(const Cell& cell) const
{
    if (!IsInsideGrid(cell))
        return cell;
    for (const Cell& c : {cell, Cell{cell.x + 1, cell.y}, Cell{cell.x, cell.y + 1}, Cell{cell.x + 1, cell.y + 1}}) {
        if (IsInsideGrid(c) && IsObstacleCode(GetCellCode(c)))
            return c;
    }
    return cell;
}

Cell World::FindEmptyCellBelow(const Cell& cell) const
{
    for (const Cell& c : {Cell{cell.x, OffsetIndex(cell.y, 1)}, Cell{cell.x, OffsetIndex(cell.y, 2)}}) {
        if (IsInsideGrid(c) && GetCellCode(c) == CODE_NONE)
            return c;
    }
    return NO_CELL;
}

void World::ExtinguishAt(const Cell& cell, CellCode tool)
{
    if (tool != CODE_FIRE_EXTINGUISHER)
        return;
    if (auto* sprite = dynamic_cast<Vund::AnimatedSprite*>(GetCellItem(cell)))
        sprite->Play("extinguish");
}

void World::ShowSelection(const Cell& cell)
{
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr || !settings->GetBool("dev/enable_cheats") || !m_selectionIndicator)
        return;
    m_selectionIndicator->position = CellToWorld(cell);
}

void World::ArmPlacedTool(CellCode tool, const Cell& cell)
{
    if (!IsToolCode(tool) || !IsInsideGrid(cell))
        return;
    if (IsObstacleClearingTool(tool)) {
        const Cell obstacle = FindObstacleAround(cell);
        ClearCellUsed(obstacle);
        ExtinguishAt(obstacle, tool);
    }
    if (tool == CODE_BRIDGE) {
        const Cell empty = FindEmptyCellBelow(cell);
        if (empty != NO_CELL) {
            SetMagicGround(empty);
            SetMagicGround(CellToRight(empty));
        }
    }
    SetCellUsed(cell);
}

} // namespace Pirrock
