// The animated item: an animated sprite with its cell.
#include "game/AnimatedItem.h"

namespace Pirrock
{

AnimatedItem::AnimatedItem(const Tarv::NarrowString& path, const Vund::Vector3D& position_, CellCode code,
                           const Cell& cell)
    : Vund::AnimatedSprite(path, position_, "", 1.0f), itemCode(code), itemCell(cell)
{
}

} // namespace Pirrock
