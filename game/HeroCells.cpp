// The play state's walk after the hero from cell to cell.
#include "game/HeroCells.h"

#include "game/World.h"
#include "scene/AnimatedSprite.h"

namespace Pirrock
{

const char* GetTouchAnimation(CellCode code)
{
    if (code == CODE_SNARE)
        return "trapping";
    if (code == CODE_TRAMPOLINE)
        return "ejecting";
    return nullptr;
}

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
            if (const char* animation = GetTouchAnimation(code)) {
                if (auto* sprite = dynamic_cast<Vund::AnimatedSprite*>(world.GetTouchedItem()))
                    sprite->Play(animation);
            }
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
