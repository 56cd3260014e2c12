// The cell codes: every name, and each predicate over every code from -2 to 51.
#include "game/CellCode.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace Pirrock;

namespace
{

const std::map<CellCode, const char*> NAMES = {
    {0, "none"}, {11, "pirrock"}, {12, "exit"}, {14, "water_fall"}, {15, "fire"}, {16, "water"},
    {17, "trap_door"}, {18, "snare"}, {19, "rock"}, {20, "high_tree"}, {21, "fallen_tree"}, {22, "palling"},
    {24, "unknown"}, {26, "pusher"}, {27, "carrot"}, {28, "bridge"}, {29, "fire_extinguisher"},
    {30, "trampoline"}, {31, "hair_dryer"}, {32, "boat"}, {33, "ladder"}, {34, "parachute"}, {35, "flat"},
    {36, "up"}, {37, "down"}, {38, "skates"}, {42, "apple"}, {43, "cherry"}, {44, "strawberry"},
    {45, "banana"}, {46, "watermelon"}, {47, "ski"}, {48, "void_space"}, {49, "magic_ground"}};

struct Predicate
{
    const char* name;
    bool (*test)(CellCode);
    std::set<CellCode> codes;
};

const std::set<CellCode> TOOLS = {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 47};
const std::set<CellCode> FRUIT = {42, 43, 44, 45, 46};

const Predicate PREDICATES[] = {
    {"Exit", IsExitCode, {12}},
    {"Obstacle", IsObstacleCode, {14, 15, 16, 17, 18, 19, 20, 21, 22, 48}},
    {"ObstacleExceptTrapDoor", IsObstacleExceptTrapDoorCode, {14, 15, 16, 18, 19, 20, 21, 22, 48}},
    {"Tool", IsToolCode, TOOLS},
    {"PlainTool", IsPlainToolCode, {27, 28, 29, 32, 33, 34, 38, 47}},
    {"Ground", IsGroundCode, {35, 36, 37}},
    {"Slope", IsSlopeCode, {36, 37}},
    {"GroundOrMagic", IsGroundOrMagicCode, {35, 36, 37, 49}},
    {"GroundOrWater", IsGroundOrWaterCode, {16, 35, 36, 37}},
    {"EmptyOrWater", IsEmptyOrWaterCode, {0, 16}},
    {"Fruit", IsFruitCode, FRUIT},
    {"Collectible", IsCollectibleCode, {42, 43, 44, 45, 46, 47}},
    {"CountedItem", IsCountedItemCode, {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 42, 43, 44, 45, 46, 47}},
    {"PlacedAtStart", IsPlacedAtStartCode, {15, 17, 18, 42, 43, 44, 45, 46}},
    {"AnimatedItem", IsAnimatedItemCode, {15, 17, 18, 26, 29, 30, 31}},
    {"RemovedAfterAnimation", IsRemovedAfterAnimationCode, {15, 17, 18, 29}},
    {"SnareOrTrampoline", IsSnareOrTrampolineCode, {18, 30}},
    {"Ladder", IsLadderCode, {33}},
    {"Pusher", IsPusherCode, {26}},
    {"Boat", IsBoatCode, {32}},
    {"Trigger", IsTriggerCode, {12, 14, 15, 16, 18, 19, 20, 21, 22, 26, 30, 32, 33, 34, 38, 42, 43, 44, 45, 46, 47, 48}},
};

} // namespace

TEST(CellCode, EveryCodeHasItsNameAndOnlyNamedCodesHaveOne)
{
    for (CellCode code = -2; code <= 51; ++code) {
        const auto found = NAMES.find(code);
        EXPECT_EQ(GetCodeName(code), found == NAMES.end() ? "" : found->second) << code;
        EXPECT_EQ(GetCodeByName(GetCodeName(code)), found == NAMES.end() ? 0 : code) << code;
    }
}

TEST(CellCode, EachPredicateHoldsForExactlyItsCodes)
{
    for (const Predicate& predicate : PREDICATES) {
        for (CellCode code = -2; code <= 51; ++code)
            EXPECT_EQ(predicate.test(code), predicate.codes.count(code) == 1) << predicate.name << " " << code;
    }
    for (CellCode code = -2; code <= 51; ++code)
        EXPECT_EQ(IsNotToolCode(code), TOOLS.count(code) == 0) << code;
}

TEST(CellCode, MagicGroundCountsAsFlatAndNothingElseChanges)
{
    EXPECT_EQ(NormalizeGroundCode(49), 35);
    EXPECT_EQ(NormalizeGroundCode(36), 36);
    EXPECT_EQ(NormalizeGroundCode(-5), -5);
}

TEST(CellCode, LateAndEarlyTriggersDependOnTheRunningDirection)
{
    for (CellCode code = -1; code <= 50; ++code) {
        EXPECT_EQ(IsLateTriggerCode(code, false), code == 30 || code == 33) << code;
        EXPECT_FALSE(IsLateTriggerCode(code, true)) << code;
        EXPECT_EQ(IsEarlyTriggerCode(code, true), code == 26) << code;
        EXPECT_FALSE(IsEarlyTriggerCode(code, false)) << code;
    }
}
