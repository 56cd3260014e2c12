// The World grid: construction, coordinates, cell queries and setters, hero tracking, drawing.
// Item placement is in WorldItems.cpp, the layout check in LevelValidator.cpp.
#include "game/World.h"

#include "framework/AssetFunctions.h"
#include "framework/Process.h"
#include "framework/ProcessManager.h"
#include "framework/Settings.h"
#include "game/CodeMap.h"
#include "game/Pirrock.h"
#include "game/WorldMath.h"
#include "scene/AnimatedSprite.h"
#include "scene/Sprite.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace Pirrock
{

Tarv::SmartPtr<World> World::Instance;

namespace
{

std::atomic<unsigned> s_serial{0};

bool GetSettingBool(const char* name)
{
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings != nullptr && settings->GetBool(name);
}

bool IsFinite(const Vund::Vector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void EmptyProcessList(Quor::ProcessManager& manager)
{
    while (!manager.GetItems().empty())
        manager.RemoveItem(manager.GetItems().front());
}

} // namespace

World::World() : m_serial(++s_serial) {}

World::~World() = default;

WorldGeometry World::ReadGeometry()
{
    WorldGeometry geometry;
    if (const Quor::Settings* settings = Quor::Settings::GetInstance()) {
        geometry.width = settings->GetInt("runtime/level_width");
        geometry.height = settings->GetInt("runtime/level_height");
        geometry.cellWidth = settings->GetInt("runtime/level_cell_width");
        geometry.cellHeight = settings->GetInt("runtime/level_cell_height");
    }
    return geometry;
}

Tarv::SmartPtr<World> World::Create(const std::vector<LevelItem>& items, const Cell& heroStart,
                                    Quor::ProcessManager* levelAnimator, const Tarv::SmartPtr<Pirrock>& hero)
{
    // The level's reader refuses such sizes before they are published; a grid of them could
    // not be allocated or addressed.
    const WorldGeometry geometry = ReadGeometry();
    if (!IsUsableGeometry(geometry.width, geometry.height, geometry.cellWidth, geometry.cellHeight))
        return Tarv::SmartPtr<World>();
    Tarv::SmartPtr<World> world(new World());
    // The previous World's item animations stop running.
    if (levelAnimator != nullptr)
        EmptyProcessList(*levelAnimator);
    world->m_geometry = geometry;
    world->ResetGrid(geometry.width, geometry.height);

    for (const LevelItem& item : items) {
        CellRecord* record = world->FindRecord(Cell{item.x, item.y});
        // The level's reader has refused such items already.
        if (record == nullptr)
            continue;
        world->RetireItem(record->item);
        record->code = item.code;
        // Tool cells wait for the player; every other cell is live from the start.
        record->used = IsNotToolCode(item.code);
        if (IsPlacedAtStartCode(item.code))
            world->PlaceItem(item.code, Cell{item.x, item.y}, levelAnimator);
    }
    world->m_heroCell = heroStart;

    if (GetSettingBool("dev/enable_cheats")) {
        world->m_selectionIndicator = Tarv::SmartPtr<Vund::Sprite>(
            new Vund::Sprite(Quor::GetSurface(INDICATOR_IMAGE, "", false), Vund::Vector3D(), 1.0f));
        if (GetSettingBool("dev/selection_indicator"))
            world->m_indicatorScene.AddObject(world->m_selectionIndicator);
    }

    world->m_hero = hero;
    if (hero) {
        hero->SetPosition(world->CellToWorld(heroStart), false);
        world->m_heroScene.AddObject(hero);
    }
    return world;
}

Cell World::WorldToCell(const Vund::Vector3D& point) const
{
    int x = TruncToCellIndex(point.x / static_cast<float>(m_geometry.cellWidth));
    if (point.x < 0.0f)
        --x;
    int y = m_geometry.height - 1 - TruncToCellIndex(point.y / static_cast<float>(m_geometry.cellHeight));
    if (point.y < 0.0f)
        ++y;
    return Cell{x, y};
}

Vund::Vector3D World::CellToWorld(const Cell& cell) const
{
    const std::int64_t x = std::int64_t(cell.x) * m_geometry.cellWidth;
    const std::int64_t y = (std::int64_t(m_geometry.height) - 1 - cell.y) * m_geometry.cellHeight;
    return Vund::Vector3D(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

WorldBounds World::GetWorldBounds() const
{
    return WorldBounds{0.0f, 0.0f, static_cast<float>(m_geometry.width * m_geometry.cellWidth),
                       static_cast<float>(m_geometry.height * m_geometry.cellHeight)};
}

Vund::Vector3D World::CellsToWorld(float cellsX, float cellsY) const
{
    return Vund::Vector3D(cellsX * static_cast<float>(m_geometry.cellWidth),
                          cellsY * static_cast<float>(m_geometry.cellHeight), 0.0f);
}

Cell World::GetSelectionIndicatorCell() const
{
    return m_selectionIndicator ? WorldToCell(m_selectionIndicator->position) : NO_CELL;
}

bool World::IsRunningLeft() const
{
    return GetSettingBool("runtime/running_left");
}

Cell World::GetCellAhead(const Cell& cell) const
{
    return Cell{OffsetIndex(cell.x, IsRunningLeft() ? -1 : 1), cell.y};
}

Cell World::GetCellBehind(const Cell& cell) const
{
    return Cell{OffsetIndex(cell.x, IsRunningLeft() ? 1 : -1), cell.y};
}

World::CellRecord* World::FindRecord(const Cell& cell)
{
    return const_cast<CellRecord*>(static_cast<const World*>(this)->FindRecord(cell));
}

const World::CellRecord* World::FindRecord(const Cell& cell) const
{
    if (cell.x < 0 || static_cast<std::size_t>(cell.x) >= m_grid.size())
        return nullptr;
    const std::vector<CellRecord>& column = m_grid[static_cast<std::size_t>(cell.x)];
    if (cell.y < 0 || static_cast<std::size_t>(cell.y) >= column.size())
        return nullptr;
    return &column[static_cast<std::size_t>(cell.y)];
}

CellCode World::GetCellCode(const Cell& cell) const
{
    const CellRecord* record = FindRecord(cell);
    return record != nullptr ? record->code : CODE_VOID_SPACE;
}

bool World::IsInsideGrid(const Cell& cell) const
{
    return FindRecord(cell) != nullptr;
}

bool World::IsCellUsed(const Cell& cell) const
{
    const CellRecord* record = FindRecord(cell);
    return record != nullptr && record->used;
}

Vund::DrawableObject* World::GetCellItem(const Cell& cell) const
{
    const CellRecord* record = FindRecord(cell);
    return record != nullptr ? record->item.Get() : nullptr;
}

void World::SetCellUsed(const Cell& cell)
{
    if (CellRecord* record = FindRecord(cell))
        record->used = true;
}

void World::ClearCellUsed(const Cell& cell)
{
    if (CellRecord* record = FindRecord(cell))
        record->used = false;
}

void World::SetMagicGround(const Cell& cell)
{
    if (CellRecord* record = FindRecord(cell))
        record->code = CODE_MAGIC_GROUND;
}

Cell World::FindSurface(const Cell& start) const
{
    // Columns beyond the grid's neighbours, and rows below it, hold only void space.
    if (start.x < -1 || start.x > m_geometry.width)
        return NO_CELL;
    for (int row = std::min(start.y, m_geometry.height - 1); row >= 1; --row) {
        const bool surface = IsGroundOrWaterCode(GetCellCode(Cell{start.x - 1, row})) ||
                             IsGroundOrWaterCode(GetCellCode(Cell{start.x, row})) ||
                             IsGroundOrWaterCode(GetCellCode(Cell{start.x + 1, row}));
        if (surface && !IsGroundOrWaterCode(GetCellCode(Cell{start.x, row - 1})))
            return Cell{start.x, row};
    }
    return NO_CELL;
}

void World::RemoveItemAt(const Cell& cell)
{
    const CellRecord* record = FindRecord(cell);
    if (record == nullptr || !record->item)
        return;
    if (Quor::Process* process = dynamic_cast<Quor::Process*>(record->item.Get()))
        process->Kill();
    if (IsBoatCode(record->code))
        m_heroScene.RemoveObject(record->item.Get());
    else
        m_itemScene.RemoveObject(record->item.Get());
}

bool World::TouchPlacedToolBehind(CellCode code)
{
    const Cell behind = GetCellBehind(m_heroCell);
    if (GetCellCode(behind) != code || !IsCellUsed(behind))
        return false;
    m_touchedCell = behind;
    return true;
}

void World::RetireItem(Tarv::SmartPtr<Vund::DrawableObject>& item)
{
    if (!item)
        return;
    m_itemScene.RemoveObject(item.Get());
    m_heroScene.RemoveObject(item.Get());
    // A process manager may still list the picture's process: it drops it at its next visit,
    // and until the World goes the picture stays alive for that.
    if (Quor::Process* process = dynamic_cast<Quor::Process*>(item.Get()))
        process->Kill();
    m_retired.push_back(item);
    item.Reset();
}

void World::StartFrame()
{
    Vund::Vector3D moved = m_hero->lastDisplacement;
    if (!IsFinite(moved))
        moved = Vund::Vector3D();
    const float cellWidth = static_cast<float>(m_geometry.cellWidth);
    const float cellHeight = static_cast<float>(m_geometry.cellHeight);
    Vund::Vector3D step = moved;
    int count = 1;
    while ((std::fabs(step.x) > cellWidth || std::fabs(step.y) > cellHeight) && count < MAX_SUB_STEPS) {
        step = Vund::Vector3D(step.x * 0.5f, step.y * 0.5f, step.z * 0.5f);
        count *= 2;
    }
    m_step = step;
    m_remainingSubSteps = count;
    if (count > 1)
        m_savedVelocity = m_hero->GetVelocity();
    m_probe = m_hero->GetPosition() - moved + step;
}

bool World::Update(bool& more)
{
    more = false;
    if (!m_hero)
        return false;
    if (m_remainingSubSteps == 0) {
        StartFrame();
    } else {
        // The caller changed the hero's motion at an intermediate cell: the rest of the
        // frame's path is no longer where the hero goes.
        if (m_hero->GetVelocity() != m_savedVelocity) {
            m_remainingSubSteps = 0;
            return false;
        }
        m_probe += m_step;
    }
    --m_remainingSubSteps;
    more = m_remainingSubSteps != 0;

    const Cell cell = WorldToCell(m_probe);
    if (cell == m_heroCell)
        return false;
    m_heroCell = cell;
    const Cell behind = GetCellBehind(cell);
    if (GetCellCode(behind) == CODE_TRAP_DOOR) {
        if (auto* trapDoor = dynamic_cast<Vund::AnimatedSprite*>(GetCellItem(behind)))
            trapDoor->Play("moving");
    }
    return true;
}

void World::Draw(Tarv::Surface* target)
{
    m_itemScene.Draw(target);
    m_indicatorScene.Draw(target);
    m_heroScene.Draw(target);
}

} // namespace Pirrock
