// Brashwick::LoadingBarState: the program's loading screen until the game's own exists: a bar
// across the lower part of the window that fills with the smoothed load percentage.
#pragma once

#include "framework/ApplicationLoadingState.h"

namespace Brashwick
{

class LoadingBarState : public Quor::ApplicationLoadingState
{
public:
    static constexpr const char* NAME = "loading";

    LoadingBarState() : ApplicationLoadingState(NAME) {}

    void Enter() override;
    void RenderState(Tarv::Surface* surface) override;

    // The bar's filled width in pixels for a bar of the given width.
    static int GetFilledWidth(float percent, int barWidth);
};

} // namespace Brashwick
