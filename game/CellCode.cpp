// Cell codes: the name table and each set of codes as a 50-bit mask.
#include "game/CellCode.h"

#include "framework/Settings.h"

#include <cstdint>
#include <initializer_list>

namespace Pirrock
{

namespace
{

constexpr const char* NAMES[CODE_COUNT] = {
    "none", "", "", "", "", "", "", "", "", "", "",                        // 0..10
    "pirrock", "exit", "", "water_fall", "fire", "water", "trap_door",      // 11..17
    "snare", "rock", "high_tree", "fallen_tree", "palling", "", "unknown",  // 18..24
    "", "pusher", "carrot", "bridge", "fire_extinguisher", "trampoline",    // 25..30
    "hair_dryer", "boat", "ladder", "parachute", "flat", "up", "down",      // 31..37
    "skates", "", "", "", "apple", "cherry", "strawberry", "banana",        // 38..45
    "watermelon", "ski", "void_space", "magic_ground"};                     // 46..49

constexpr std::uint64_t Set(std::initializer_list<int> codes)
{
    std::uint64_t bits = 0;
    for (int code : codes)
        bits |= std::uint64_t(1) << code;
    return bits;
}

constexpr std::uint64_t Range(int first, int last)
{
    std::uint64_t bits = 0;
    for (int code = first; code <= last; ++code)
        bits |= std::uint64_t(1) << code;
    return bits;
}

constexpr std::uint64_t OBSTACLES = Range(14, 22) | Set({48});
constexpr std::uint64_t TOOLS = Range(26, 34) | Set({38, 47});
constexpr std::uint64_t FRUIT = Range(42, 46);
constexpr std::uint64_t GROUND = Set({35, 36, 37});
constexpr std::uint64_t TRIGGERS = Set({12, 14, 15, 16}) | Range(18, 22) | Set({26, 30, 32, 33, 34, 38}) | FRUIT |
                                   Set({47, 48});

bool In(std::uint64_t set, CellCode code)
{
    return code >= 0 && code < CODE_COUNT && (set >> code & 1) != 0;
}

} // namespace

Tarv::NarrowString GetCodeName(CellCode code)
{
    return code >= 0 && code < CODE_COUNT ? NAMES[code] : "";
}

CellCode NormalizeGroundCode(CellCode code)
{
    return code == CODE_MAGIC_GROUND ? CODE_FLAT : code;
}

bool IsExitCode(CellCode code) { return code == CODE_EXIT; }
bool IsObstacleCode(CellCode code) { return In(OBSTACLES, code); }
bool IsObstacleExceptTrapDoorCode(CellCode code) { return In(OBSTACLES & ~Set({17}), code); }
bool IsToolCode(CellCode code) { return In(TOOLS, code); }
bool IsNotToolCode(CellCode code) { return !IsToolCode(code); }
bool IsPlainToolCode(CellCode code) { return In(TOOLS & ~Set({26, 30, 31}), code); }
bool IsGroundCode(CellCode code) { return In(GROUND, code); }
bool IsSlopeCode(CellCode code) { return In(Set({36, 37}), code); }
bool IsGroundOrMagicCode(CellCode code) { return In(GROUND | Set({49}), code); }
bool IsGroundOrWaterCode(CellCode code) { return In(GROUND | Set({16}), code); }
bool IsEmptyOrWaterCode(CellCode code) { return In(Set({0, 16}), code); }
bool IsFruitCode(CellCode code) { return In(FRUIT, code); }
bool IsCollectibleCode(CellCode code) { return In(FRUIT | Set({47}), code); }
bool IsCountedItemCode(CellCode code) { return In(TOOLS | FRUIT, code); }
bool IsPlacedAtStartCode(CellCode code) { return In(Set({15, 17, 18}) | FRUIT, code); }
bool IsAnimatedItemCode(CellCode code) { return In(Set({15, 17, 18, 26, 29, 30, 31}), code); }
bool IsRemovedAfterAnimationCode(CellCode code) { return In(Set({15, 17, 18, 29}), code); }
bool IsSnareOrTrampolineCode(CellCode code) { return In(Set({18, 30}), code); }
bool IsLadderCode(CellCode code) { return code == CODE_LADDER; }
bool IsPusherCode(CellCode code) { return code == CODE_PUSHER; }
bool IsBoatCode(CellCode code) { return code == CODE_BOAT; }
bool IsTriggerCode(CellCode code) { return In(TRIGGERS, code); }

bool IsLateTriggerCode(CellCode code, bool runningLeft)
{
    return !runningLeft && (code == CODE_TRAMPOLINE || code == CODE_LADDER);
}

bool IsEarlyTriggerCode(CellCode code, bool runningLeft)
{
    return runningLeft && code == CODE_PUSHER;
}

namespace
{

bool IsRunningLeft()
{
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings != nullptr && settings->GetBool("runtime/running_left");
}

} // namespace

bool IsTrampolineOrLadderRunningRight(CellCode code)
{
    return (code == CODE_TRAMPOLINE || code == CODE_LADDER) && !IsRunningLeft();
}

bool IsPusherRunningLeft(CellCode code)
{
    return code == CODE_PUSHER && IsRunningLeft();
}

} // namespace Pirrock
