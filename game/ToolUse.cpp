// The selected tool placed near a tapped cell.
#include "game/ToolUse.h"

#include "framework/Settings.h"
#include "game/World.h"

namespace Pirrock
{

ToolUseResult UseToolAt(World& world, const Cell& cell, bool allowed, Quor::ProcessManager* toolAnimator,
                        ToolUseListener& listener, Cell* placed)
{
    if (placed != nullptr)
        *placed = NO_CELL;
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (!allowed || settings == nullptr)
        return ToolUseResult::Ignored;

    const Tarv::NarrowString selected = settings->GetString("runtime/activeTool");
    const bool anyTool = settings->GetBool("dev/enable_auto_test");
    ToolUseResult result = ToolUseResult::NoTool;
    for (const Cell& candidate : world.GetToolCandidates(cell)) {
        const CellCode code = world.GetFreeCellCode(candidate);
        if (!IsToolCode(code))
            continue;
        const Tarv::NarrowString name = GetCodeName(code);
        if (anyTool || name == selected) {
            const Tarv::NarrowString stock = "runtime/tools/" + name;
            settings->SetInt(stock, settings->GetInt(stock) - 1);
            world.PlaceTool(code, candidate, toolAnimator);
            world.ShowSelection(candidate);
            listener.PlayToolSound(code);
            if (placed != nullptr)
                *placed = candidate;
            result = ToolUseResult::Placed;
            break;
        }
        if (!selected.empty())
            result = ToolUseResult::WrongTool;
    }
    if (result == ToolUseResult::WrongTool)
        listener.PlayWrongToolSound();
    settings->SetString("runtime/activeTool", "");
    listener.UpdateLevelData();
    return result;
}

} // namespace Pirrock
