// Pirrock::FollowHero: the play state's walk after the hero through the cells its last movement
// crossed, one cell at a time, in order: what the hero touches in each new cell goes to the
// hero's state machine, snares and trampolines play the listener's animation for them, fruit
// and skis are taken away (fruit with its sound, its cell disarmed), then the ground under the
// hero follows.
#pragma once

#include "game/Cell.h"

namespace Pirrock
{

class World;

// What the walk hands on; the hero's state machine (the Director) takes the trigger and ground
// codes, the play state the rest.
class HeroCellListener
{
public:
    virtual ~HeroCellListener() = default;
    // The hero entered cell, before its checks (auto-test taps).
    virtual void OnCellEntered(const Cell& cell) { (void)cell; }
    // Whether the hero's touches act now; while not, a touched item stays as it is.
    virtual bool TakesTriggers() const { return true; }
    // A trigger code the hero touched (48 for a hero outside the grid).
    virtual void HandleTrigger(CellCode code) = 0;
    virtual void PlayToolSound(CellCode code) = 0;
    // The animation the item of a touched code plays (a snare's, a trampoline's), or null.
    virtual const char* GetToolAnimation(CellCode code) const { (void)code; return nullptr; }
    // The ground code under the hero, after any trigger of the cell.
    virtual void HandleCell(CellCode ground) = 0;
    // After the ground: the tutorial's turn at the cell.
    virtual void OnCellChecked(const Cell& cell) { (void)cell; }
};

// Runs the World's sub-steps of the hero's last movement; returns the number of new cells.
int FollowHero(World& world, HeroCellListener& listener);

} // namespace Pirrock
