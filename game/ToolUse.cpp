// The selected tool placed near a tapped cell.
#include "game/ToolUse.h"

#include "framework/Settings.h"
#include "engine/registry/Registry.h"
#include "game/World.h"
#include "scene/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Pirrock
{

ToolUseResult UseToolAt(World& world, const Cell& cell, bool allowed, ToolUseListener& listener, Cell* placed)
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
        if (anyTool || GetCodeName(code) == selected) {
            listener.PlaceTool(code, candidate);
            world.ShowSelection(candidate);
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

void TakeToolFromStock(CellCode code)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return;
    const Tarv::NarrowString stock = "runtime/tools/" + GetCodeName(code);
    const int left = settings->GetInt(stock);
    settings->SetInt(stock, left > INT32_MIN ? left - 1 : left);
}

namespace
{

// A screen size key as it reads; as for the camera, only a registry or key that is not there
// gives the fallback.
int ReadResolution(const char* path, int fallback)
{
    int value = 0;
    const Tarv::Registry* registry = Tarv::Registry::Instance.Get();
    if (registry == nullptr || !registry->GetInt(path, value))
        return fallback;
    return value;
}

} // namespace

bool IsOnToolBar(int x, int y)
{
    const Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return false;
    const int width = ReadResolution("/machine/resolution/x", Vund::Camera::FALLBACK_WIDTH);
    const int height = ReadResolution("/machine/resolution/y", Vund::Camera::FALLBACK_HEIGHT);
    // In 64 bits: a tool bar wider than the screen reaches past its left edge without overflow.
    const std::int64_t left = std::int64_t(width) - settings->GetInt("runtime/tool_bar_width");
    const std::int64_t top = std::int64_t(height) - settings->GetInt("runtime/tool_bar_height");
    return x >= left && y >= top;
}

Cell ScreenToCell(const World& world, int x, int y)
{
    return world.WorldToCell(Vund::Camera::GetActive()->ScreenToWorld(Vund::ScreenPoint{x, y}, 0.0f));
}

float TiltRunSpeed(float x)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    if (settings == nullptr)
        return 0.0f;
    const float base = static_cast<float>(settings->GetInt("constants/pirrock_default_speed"));
    const float boost = static_cast<float>(settings->GetInt("constants/accelerometer_speed_boost"));
    float speed = base;
    if (boost > 0.0f && std::isfinite(x)) {
        float exponent = 2.0f * std::clamp(x, -0.5f, 0.5f);
        if (settings->GetBool("runtime/running_left"))
            exponent = -exponent;
        speed = base * static_cast<float>(std::pow(double(boost), double(exponent)));
    }
    // Clamped into the int range first: a large default times a large boost would not fit.
    const float limit = 2147483520.0f;  // the largest float below 2^31
    settings->SetInt("runtime/pirrock_speed", static_cast<int>(std::trunc(std::clamp(speed, -limit, limit))));
    return speed;
}

} // namespace Pirrock
