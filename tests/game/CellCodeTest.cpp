// The cell codes: every name, and each predicate over every code from -2 to 51.
#include "game/CellCode.h"
#include "tests/game/GameWorld.h"

#include <gtest/gtest.h>

#include <set>

using namespace Pirrock;

namespace
{

const char* const NAMES[50] = {
    "none", "", "", "", "", "", "", "", "", "", "", "pirrock", "exit", "", "water_fall", "fire", "water",
    "trap_door", "snare", "rock", "high_tree", "fallen_tree", "palling", "", "unknown", "", "pusher", "carrot",
    "bridge", "fire_extinguisher", "trampoline", "hair_dryer", "boat", "ladder", "parachute", "flat", "up", "down",
    "skates", "", "", "", "apple", "cherry", "strawberry", "banana", "watermelon", "ski", "void_space", "magic_ground"};

struct Predicate
{
    bool (*test)(CellCode);
    std::set<CellCode> codes;
};

const Predicate PREDICATES[] = {
    {IsExitCode, {12}},
    {IsObstacleCode, {14, 15, 16, 17, 18, 19, 20, 21, 22, 48}},
    {IsObstacleExceptTrapDoorCode, {14, 15, 16, 18, 19, 20, 21, 22, 48}},
    {IsToolCode, {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 47}},
    {IsPlainToolCode, {27, 28, 29, 32, 33, 34, 38, 47}},
    {IsGroundCode, {35, 36, 37}},
    {IsSlopeCode, {36, 37}},
    {IsGroundOrMagicCode, {35, 36, 37, 49}},
    {IsGroundOrWaterCode, {16, 35, 36, 37}},
    {IsEmptyOrWaterCode, {0, 16}},
    {IsFruitCode, {42, 43, 44, 45, 46}},
    {IsCollectibleCode, {42, 43, 44, 45, 46, 47}},
    {IsCountedItemCode, {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 42, 43, 44, 45, 46, 47}},
    {IsPlacedAtStartCode, {15, 17, 18, 42, 43, 44, 45, 46}},
    {IsAnimatedItemCode, {15, 17, 18, 26, 29, 30, 31}},
    {IsRemovedAfterAnimationCode, {15, 17, 18, 29}},
    {IsSnareOrTrampolineCode, {18, 30}},
    {IsLadderCode, {33}},
    {IsPusherCode, {26}},
    {IsBoatCode, {32}},
    {IsTriggerCode, {12, 14, 15, 16, 18, 19, 20, 21, 22, 26, 30, 32, 33, 34, 38, 42, 43, 44, 45, 46, 47, 48}},
    {[](CellCode c) { return !IsNotToolCode(c); }, {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 47}},
    {[](CellCode c) { return IsLateTriggerCode(c, false) || IsLateTriggerCode(c, true); }, {30, 33}},
    {[](CellCode c) { return IsEarlyTriggerCode(c, true) || IsEarlyTriggerCode(c, false); }, {26}},
};

} // namespace

TEST(CellCode, NamesAndPredicatesCoverExactlyTheirCodes)
{
    for (CellCode code = -2; code <= 51; ++code) {
        const bool named = code >= 0 && code < 50 && *NAMES[code] != '\0';
        EXPECT_EQ(GetCodeName(code), named ? NAMES[code] : "") << code;
        for (const Predicate& predicate : PREDICATES)
            EXPECT_EQ(predicate.test(code), predicate.codes.count(code) == 1) << &predicate - PREDICATES << " " << code;
    }
    EXPECT_FALSE(IsLateTriggerCode(30, true) || IsEarlyTriggerCode(26, false));
    EXPECT_EQ(NormalizeGroundCode(49), 35);
    EXPECT_EQ(NormalizeGroundCode(36), 36);
    EXPECT_EQ(NormalizeGroundCode(-5), -5);
}

// A trampoline or ladder acts from behind a hero running right, a pusher from ahead of one
// running left; the direction is the hero's own, read as it is now.
TEST(CellCode, TheDirectionalTriggersFollowTheHerosDirection)
{
    GameTest::GameFiles files;
    struct Direction
    {
        bool left;
        std::set<CellCode> fromBehind, fromAhead;
    };
    const Direction directions[] = {{false, {30, 33}, {}}, {true, {}, {26}}, {false, {30, 33}, {}}};
    for (const Direction& d : directions) {
        files.Settings().SetBool("runtime/running_left", d.left);
        for (CellCode code = -2; code <= 51; ++code) {
            EXPECT_EQ(IsTrampolineOrLadderRunningRight(code), d.fromBehind.count(code) == 1) << code << d.left;
            EXPECT_EQ(IsPusherRunningLeft(code), d.fromAhead.count(code) == 1) << code << d.left;
        }
    }
}
