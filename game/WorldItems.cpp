// Item placement in the World: the picture each code gets, the cell it is drawn in, and the
// sizing and clearing of the grid.
#include "game/World.h"

#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "framework/AssetFunctions.h"
#include "framework/ProcessManager.h"
#include "game/AnimatedItem.h"
#include "game/CodeMap.h"
#include "game/Ladder.h"
#include "game/WorldMath.h"
#include "scene/Sprite.h"

#include <algorithm>

namespace Pirrock
{

namespace
{

// A boat's picture sits this far left of and below its cell's corner.
constexpr float BOAT_OFFSET_X = -15.0f;
constexpr float BOAT_OFFSET_Y = -8.0f;

} // namespace

void World::PlaceItem(CellCode code, const Cell& cell, Quor::ProcessManager* manager)
{
    const Tarv::NarrowString name = GetCodeName(code);
    if (IsAnimatedItemCode(code))
        CreateItemVisual(code, "anim/" + name + ".xml", cell, manager);
    else if (IsLadderCode(code))
        CreateItemVisual(code, "tiles/" + name + ".xml", cell, nullptr);
    else
        CreateItemVisual(code, "images/game/" + name + ".png", cell, nullptr);
}

void World::CreateItemVisual(CellCode code, const Tarv::NarrowString& path, const Cell& cell,
                             Quor::ProcessManager* manager)
{
    CellRecord* record = FindRecord(cell);
    if (record == nullptr)
        return;
    const Cell at = GetItemVisualCell(code, cell);
    Vund::Vector3D position = CellToWorld(at);
    if (IsBoatCode(code)) {
        position.x += BOAT_OFFSET_X;
        position.y += BOAT_OFFSET_Y;
    }

    Tarv::SmartPtr<Vund::DrawableObject> picture;
    if (IsAnimatedItemCode(code)) {
        AnimatedItem* item = new AnimatedItem(path, position, code, cell);
        picture = Tarv::SmartPtr<Vund::DrawableObject>(item);
        if (manager != nullptr)
            manager->AddProcess(item);
    } else if (IsLadderCode(code)) {
        const Tarv::XmlPtr file = Tarv::Xml::CreateFromFile(path);
        Ladder* ladder = new Ladder(Tarv::XmlIterator(file), position);
        picture = Tarv::SmartPtr<Vund::DrawableObject>(ladder);
        // Up to the surface above; a ladder with none above it keeps its shortest form.
        const Cell surface = FindSurface(at);
        ladder->SetHeight(surface == NO_CELL ? 2 : std::max(2, at.y + 1 - surface.y));
    } else {
        picture = Tarv::SmartPtr<Vund::DrawableObject>(
            new Vund::Sprite(Quor::GetSurface(path, "", false), position, 1.0f));
    }

    RetireItem(record->item);
    record->code = code;
    record->item = picture;
    record->used = true;
    if (IsBoatCode(code))
        m_heroScene.AddObject(picture);
    else
        m_itemScene.AddObject(picture);
}

Cell World::GetItemVisualCell(CellCode code, const Cell& cell) const
{
    const Cell below{cell.x, OffsetIndex(cell.y, 1)};
    const Cell left{OffsetIndex(cell.x, -1), cell.y};
    switch (code) {
    case CODE_TRAP_DOOR:
        return below;
    case CODE_BRIDGE:
        // Over a trap door the bridge is drawn where the trap door's lid is.
        return GetCellCode(below) == CODE_TRAP_DOOR ? Cell{cell.x, OffsetIndex(cell.y, 2)} : below;
    case CODE_FIRE_EXTINGUISHER:
        return left;
    case CODE_SKATES:
        return IsGroundCode(GetCellCode(Cell{OffsetIndex(cell.x, 1), below.y})) ? left : cell;
    default:
        return cell;
    }
}

bool World::ResetGrid(int width, int height)
{
    if (!IsUsableGeometry(width, height, 1, 1))
        return false;
    for (std::vector<CellRecord>& column : m_grid) {
        for (CellRecord& record : column)
            RetireItem(record.item);
    }
    m_grid.assign(static_cast<std::size_t>(width), std::vector<CellRecord>(static_cast<std::size_t>(height)));
    m_geometry.width = width;
    m_geometry.height = height;
    return true;
}

} // namespace Pirrock
