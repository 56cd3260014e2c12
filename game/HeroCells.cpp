// The play state's walk after the hero from cell to cell.
#include "game/HeroCells.h"

#include "game/World.h"
#include "scene/AnimatedSprite.h"

namespace Pirrock
{

int FollowHero(World& world, HeroCellListener& listener)
{
    int cells = 0;
    // World::Update bounds the sub-steps of a frame, so the loop ends for any movement.
    for (bool more = true; more;) {
        if (!world.Update(more))
            continue;
        ++cells;
        const Cell cell = world.GetHeroCell();
        listener.OnCellEntered(cell);
        const CellCode code = world.GetTouchedCode();
        if (IsTriggerCode(code) && listener.TakesTriggers()) {
            listener.HandleTrigger(code);
            const char* animation = IsSnareOrTrampolineCode(code) ? listener.GetToolAnimation(code) : nullptr;
            auto* sprite = dynamic_cast<Vund::AnimatedSprite*>(world.GetTouchedItem());
            if (animation != nullptr && sprite != nullptr)
                sprite->Play(animation);
            if (IsCollectibleCode(code))
                world.RemoveTouchedItem();
            if (IsFruitCode(code)) {
                world.ClearTouchedCellUsed();
                listener.PlayToolSound(code);
            }
        }
        listener.HandleCell(world.GetPlatformCode());
        listener.OnCellChecked(cell);
    }
    return cells;
}

} // namespace Pirrock
