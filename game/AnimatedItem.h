// Pirrock::AnimatedItem: the animated picture of an item in a World cell (fire, trap door, snare,
// pusher, fire extinguisher, trampoline, hair dryer), which remembers its code and cell so that
// whoever hears of its animation's end knows what to remove.
#pragma once

#include "game/Cell.h"
#include "scene/AnimatedSprite.h"

namespace Pirrock
{

class AnimatedItem : public Vund::AnimatedSprite
{
public:
    // The animation file's sprite at position, default image options, scale 1. Any thread.
    AnimatedItem(const Tarv::NarrowString& path, const Vund::Vector3D& position, CellCode code, const Cell& cell);

    const CellCode itemCode;
    const Cell itemCell;
};

} // namespace Pirrock
