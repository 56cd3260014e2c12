// Pirrock::CellCode: what stands in a cell of a level's grid, with the name of each code (names
// form registry keys and asset paths, so they are spelled exactly) and the sets of codes the
// rest of the game asks about. Pure functions, safe on any thread.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstdint>

namespace Pirrock
{

using CellCode = std::int32_t;

// The codes that code needs by name. A value outside 0..49 is not an error anywhere: it has the
// empty name and belongs to no set but IsNotToolCode.
enum : CellCode
{
    CODE_NONE = 0,
    CODE_PIRROCK = 11,
    CODE_EXIT = 12,
    CODE_WATER_FALL = 14,
    CODE_FIRE = 15,
    CODE_WATER = 16,
    CODE_TRAP_DOOR = 17,
    CODE_SNARE = 18,
    CODE_PALLING = 22,
    CODE_UNKNOWN = 24,
    CODE_PUSHER = 26,
    CODE_CARROT = 27,
    CODE_BRIDGE = 28,
    CODE_FIRE_EXTINGUISHER = 29,
    CODE_TRAMPOLINE = 30,
    CODE_HAIR_DRYER = 31,
    CODE_BOAT = 32,
    CODE_LADDER = 33,
    CODE_PARACHUTE = 34,
    CODE_FLAT = 35,
    CODE_UP = 36,
    CODE_DOWN = 37,
    CODE_SKATES = 38,
    CODE_APPLE = 42,
    CODE_WATERMELON = 46,
    CODE_SKI = 47,
    CODE_VOID_SPACE = 48,
    CODE_MAGIC_GROUND = 49,
    CODE_COUNT = 50
};

// The name of the code; "" for codes without one, negative ones and 50 and above.
Tarv::NarrowString GetCodeName(CellCode code);
// Magic ground counts as flat ground; every other value is returned as it is.
CellCode NormalizeGroundCode(CellCode code);

bool IsExitCode(CellCode code);                    // 12
bool IsObstacleCode(CellCode code);                // 14..22, 48
bool IsObstacleExceptTrapDoorCode(CellCode code);  // the obstacles but 17
bool IsToolCode(CellCode code);                    // 26..34, 38, 47
bool IsNotToolCode(CellCode code);                 // every int that is not a tool
bool IsPlainToolCode(CellCode code);               // tools but pusher, trampoline and hair dryer
bool IsGroundCode(CellCode code);                  // 35, 36, 37
bool IsSlopeCode(CellCode code);                   // 36, 37
bool IsGroundOrMagicCode(CellCode code);           // 35, 36, 37, 49
bool IsGroundOrWaterCode(CellCode code);           // 16, 35, 36, 37
bool IsEmptyOrWaterCode(CellCode code);            // 0, 16
bool IsFruitCode(CellCode code);                   // 42..46
bool IsCollectibleCode(CellCode code);             // fruit and 47
bool IsCountedItemCode(CellCode code);             // tools and fruit
bool IsPlacedAtStartCode(CellCode code);           // 15, 17, 18, fruit
bool IsAnimatedItemCode(CellCode code);            // 15, 17, 18, 26, 29, 30, 31
bool IsRemovedAfterAnimationCode(CellCode code);   // 15, 17, 18, 29
bool IsSnareOrTrampolineCode(CellCode code);       // 18, 30
bool IsLadderCode(CellCode code);                  // 33
bool IsPusherCode(CellCode code);                  // 26
bool IsBoatCode(CellCode code);                    // 32
bool IsTriggerCode(CellCode code);                 // 12, 14..16, 18..22, 26, 30, 32..34, 38, 42..48

// Triggers that act a cell late or early depending on the running direction: a trampoline or
// ladder fires from the cell after it while the hero runs right, a pusher two cells ahead
// while it runs left.
bool IsLateTriggerCode(CellCode code, bool runningLeft);   // 30, 33 running right
bool IsEarlyTriggerCode(CellCode code, bool runningLeft);  // 26 running left
// The same for the hero's present direction, "runtime/running_left", which is read only for
// the codes concerned.
bool IsTrampolineOrLadderRunningRight(CellCode code);
bool IsPusherRunningLeft(CellCode code);

} // namespace Pirrock
