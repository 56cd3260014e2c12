// The loading bar: its entry line on standard output and its drawing.
#include "app/LoadingBarState.h"

#include "graphics/render/Surface.h"

#include <cstdint>
#include <cstdio>

namespace Brashwick
{

namespace
{

constexpr int BAR_MARGIN = 100;
constexpr int BAR_HEIGHT = 16;
constexpr int BAR_BOTTOM_GAP = 80;

} // namespace

int LoadingBarState::GetFilledWidth(float percent, int barWidth)
{
    if (barWidth <= 0 || !(percent > 0.0f))
        return 0;
    if (percent >= 100.0f)
        return barWidth;
    return static_cast<int>(static_cast<float>(barWidth) * percent / 100.0f);
}

void LoadingBarState::Enter()
{
    std::printf("brashwick: state %s entered\n", GetName().c_str());
    std::fflush(stdout);
}

void LoadingBarState::RenderState(Tarv::Surface* surface)
{
    if (surface == nullptr)
        return;
    static const std::uint8_t frame[4] = {200, 200, 200, 255};
    static const std::uint8_t fill[4] = {0, 128, 128, 255};
    const int width = surface->GetWidth();
    const int bottom = surface->GetHeight() - BAR_BOTTOM_GAP;
    const int left = BAR_MARGIN;
    const int right = width - BAR_MARGIN;
    if (right <= left || bottom <= BAR_HEIGHT)
        return;
    const int filled = GetFilledWidth(GetProgress(), right - left);
    if (filled > 0)
        surface->FillRect(left, bottom - BAR_HEIGHT, left + filled, bottom, fill);
    surface->DrawRect(left, bottom - BAR_HEIGHT, right, bottom, frame);
}

} // namespace Brashwick
