// Pirrock::UseToolAt: the road of a tap during play once it is a cell of the World: the selected
// tool ("runtime/activeTool") goes to the nearest free cell of it, with its stock, picture,
// effects and sound; or a wrong-tool sound plays when only other tools were near. The play state
// supplies the gate (the hero's state and the tutorial) and what it plays and refreshes.
#pragma once

#include "game/Cell.h"

namespace Quor
{
class ProcessManager;
}

namespace Pirrock
{

class World;

class ToolUseListener
{
public:
    virtual ~ToolUseListener() = default;
    // The tool of code goes into cell: its stock, its picture and effects, its sound.
    virtual void PlaceTool(CellCode code, const Cell& cell) = 0;
    // One of "wrong_tool_1" and "wrong_tool_2", chosen by the listener's random numbers.
    virtual void PlayWrongToolSound() = 0;
    // The HUD script's "UpdateLevelData".
    virtual void UpdateLevelData() = 0;
};

enum class ToolUseResult
{
    Ignored,   // the gate was shut: nothing changed, the selection stays
    Placed,    // a tool went into a cell
    WrongTool, // only free cells of other tools were near
    NoTool     // no free tool cell near, or no tool selected
};

// With allowed false nothing happens. Otherwise the selected tool (any free tool while
// "dev/enable_auto_test" is set) goes into the first matching candidate of the tap through the
// listener's PlaceTool, and the developer selection moves there; or, when only free cells of other
// tools were near, the wrong-tool sound plays. Then the selection is cleared and the HUD
// refreshed, whatever the result. placed (may be null) gets the tool's cell, NO_CELL when none.
ToolUseResult UseToolAt(World& world, const Cell& cell, bool allowed, ToolUseListener& listener,
                        Cell* placed = nullptr);

// One tool of code taken from its stock "runtime/tools/" + name, whatever is left: a placed
// tool always counts, so a stock may go below 0 (a missing one starts at 0).
void TakeToolFromStock(CellCode code);

// A tap on the tool bar ("runtime/tool_bar_width" x "runtime/tool_bar_height" pixels in the
// screen's bottom-right corner, screen size "/machine/resolution/x" and "y"), which the HUD
// script handles.
bool IsOnToolBar(int x, int y);

// The cell under a screen pixel (origin top-left), through the active camera at depth 0.
Cell ScreenToCell(const World& world, int x, int y);

// The hero's running speed for a sideways tilt x (clamped to +-0.5; tilting toward the running
// direction speeds up): "constants/pirrock_default_speed" times
// "constants/accelerometer_speed_boost" to the power 2x. A boost of 0 or less, or a tilt that is
// not a number, leaves the default speed. Writes "runtime/pirrock_speed" (truncated).
float TiltRunSpeed(float x);

} // namespace Pirrock
