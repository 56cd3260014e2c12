// The level layout check: how level designs must place items beside, above and below each other,
// rule by rule, cell by cell (column by column, each from the top row down), with a fixed table
// of cells in shipped levels that are known to break a rule and are excused.
//
// Three further conditions on a parachute's neighbours and two on a cell's own code were never
// settled; they are not checked, so the check agrees with the level compiler's.
#include "game/World.h"

#include "game/GameLog.h"
#include "game/WorldMath.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace Pirrock
{

namespace
{

using RuleRecord = World::RuleRecord;

// Cells of shipped levels excused from every rule.
constexpr RuleRecord EXCEPTIONS[] = {
    {8, 71, 7, 30},   {8, 105, 13, 30}, {10, 74, 7, 30},  {12, 76, 32, 30},  {13, 5, 6, 30},
    {14, 3, 23, 26},  {14, 40, 27, 30}, {14, 62, 25, 30}, {14, 108, 21, 30}, {15, 95, 36, 26},
    {16, 5, 45, 30},  {16, 95, 35, 30}, {18, 35, 46, 30}, {18, 56, 42, 33},  {18, 59, 38, 30},
    {18, 105, 46, 33}, {19, 50, 26, 30}, {19, 56, 33, 33}, {21, 38, 33, 30},  {24, 33, 42, 26},
    {27, 46, 41, 30}, {27, 51, 39, 30}, {28, 14, 37, 30}, {28, 73, 37, 30},  {30, 42, 11, 30}};

class Checker
{
public:
    Checker(const World& world, int level, bool runningLeft, const std::vector<RuleRecord>& exceptions,
            MessageSink& sink)
        : m_world(world), m_level(level), m_runningLeft(runningLeft), m_exceptions(exceptions), m_sink(sink)
    {
    }

    void CheckCell(int x, int y);
    int GetFaults() const { return m_faults; }

private:
    CellCode N(int dx, int dy) const
    {
        return m_world.GetCellCode(Cell{OffsetIndex(m_x, dx), OffsetIndex(m_y, dy)});
    }
    bool Late(CellCode code) const { return IsLateTriggerCode(code, m_runningLeft); }
    bool Early(CellCode code) const { return IsEarlyTriggerCode(code, m_runningLeft); }
    void Check(bool holds, const char* rule, const char* text);
    CellCode FindParachuteLanding() const;
    void CheckNeighbours();
    void CheckOwnLayout();

    const World& m_world;
    const int m_level;
    const bool m_runningLeft;
    const std::vector<RuleRecord>& m_exceptions;
    MessageSink& m_sink;
    int m_x = 0;
    int m_y = 0;
    CellCode m_code = CODE_NONE;
    int m_faults = 0;
};

void Checker::Check(bool holds, const char* rule, const char* text)
{
    if (World::CheckLevelRule(holds, RuleRecord{m_level, m_x, m_y, m_code}, m_exceptions))
        return;
    ++m_faults;
    std::string line = "level " + std::to_string(m_level) + ": rule " + rule + " fails at (" + std::to_string(m_x) +
                       ", " + std::to_string(m_y) + "), code " + std::to_string(m_code);
    const Tarv::NarrowString name = GetCodeName(m_code);
    if (!name.empty())
        line += " (" + name + ")";
    m_sink.Print(line + ": " + text);
}

// The code of the cell above the first ground down the column; void space when the column has
// no ground below the cell.
CellCode Checker::FindParachuteLanding() const
{
    for (int dy = 1; m_world.IsInsideGrid(Cell{m_x, OffsetIndex(m_y, dy)}); ++dy) {
        if (IsGroundCode(N(0, dy)))
            return N(0, dy - 1);
    }
    return CODE_VOID_SPACE;
}

void Checker::CheckNeighbours()
{
    const CellCode c = m_code;
    if (c == CODE_PARACHUTE)
        Check(!IsObstacleCode(FindParachuteLanding()), "1", "the parachute would land on an obstacle or outside the grid");
    if (Late(c) || c == CODE_PUSHER) {
        Check(!IsTriggerCode(N(1, 0)), "2", "a trigger lies right beside it on its right");
        Check(!IsTriggerCode(N(-1, 0)), "2", "a trigger lies right beside it on its left");
    }
    if (Early(c)) {
        Check(!IsTriggerCode(N(2, 0)), "3", "a trigger lies two cells to its right");
        Check(!IsTriggerCode(N(-2, 0)), "3", "a trigger lies two cells to its left");
    }
    if (Late(c) || c == CODE_PUSHER || Early(c)) {
        Check(!Late(N(-1, 0)) && !Late(N(1, 0)), "4", "a trampoline or ladder lies right beside it");
        Check(N(-1, 0) != CODE_PUSHER && N(1, 0) != CODE_PUSHER, "4", "a pusher lies right beside it");
    }
    if (Early(c))
        Check(!Late(N(-2, 0)) && !Late(N(2, 0)), "5", "a trampoline or ladder lies two cells from it");
    if (IsTriggerCode(c)) {
        for (int dx : {-1, 1}) {
            if (N(dx, 0) == CODE_BOAT || N(dx, 0) == CODE_SKATES)
                Check(IsGroundCode(N(0, 1)), "6", "a boat or skates lie beside it, but no ground below it");
        }
    }
}

void Checker::CheckOwnLayout()
{
    const CellCode c = m_code;
    const bool gapBelow = N(0, 1) == CODE_NONE && N(1, 1) == CODE_NONE && IsGroundCode(N(-1, 1)) &&
                          IsGroundCode(N(2, 1));
    if (c == CODE_TRAP_DOOR) {
        Check(N(0, -1) == CODE_BRIDGE && gapBelow, "7",
              "a trap door needs a bridge above it and a two-cell gap below it between ground");
    } else if (c == CODE_BRIDGE && N(0, 1) != CODE_TRAP_DOOR) {
        Check(gapBelow, "7", "a bridge needs a two-cell gap below it between ground");
    } else if (c == CODE_PUSHER) {
        Check(!IsFruitCode(N(-1, 0)) && !IsFruitCode(N(2, 0)), "7", "fruit lies where the pusher turns the hero");
    } else if (c == CODE_SKATES) {
        Check(IsGroundCode(N(-1, 1)) || IsGroundCode(N(1, 1)), "7", "skates need ground below-left or below-right");
    } else if (c == CODE_FIRE) {
        const CellCode right = N(1, 0);
        Check(N(1, 1) == CODE_FLAT && (right == CODE_NONE || IsFruitCode(right) || right == CODE_FIRE), "7",
              "a fire needs flat ground below-right and room to its right");
    }
    if (IsObstacleCode(c)) {
        Check(IsGroundCode(N(0, 1)) || c == CODE_WATER || c == CODE_TRAP_DOOR || c == CODE_PALLING, "8",
              "an obstacle needs ground below it");
    }
}

void Checker::CheckCell(int x, int y)
{
    m_x = x;
    m_y = y;
    m_code = m_world.GetCellCode(Cell{x, y});
    CheckNeighbours();
    CheckOwnLayout();
}

} // namespace

bool World::CheckLevelRule(bool holds, const RuleRecord& record, const std::vector<RuleRecord>& exceptions)
{
    return holds || std::any_of(exceptions.begin(), exceptions.end(), [&record](const RuleRecord& excused) {
               return excused.level == record.level && excused.x == record.x && excused.y == record.y &&
                      excused.code == record.code;
           });
}

int World::ValidateLevel(int level, bool runningLeft, MessageSink& sink) const
{
    const std::vector<RuleRecord> exceptions(std::begin(EXCEPTIONS), std::end(EXCEPTIONS));
    Checker checker(*this, level, runningLeft, exceptions, sink);
    for (int x = 0; x < m_geometry.width; ++x) {
        for (int y = 0; y < m_geometry.height; ++y)
            checker.CheckCell(x, y);
    }
    return checker.GetFaults();
}

} // namespace Pirrock
