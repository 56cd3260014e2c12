// Quor::ApplicationLoadingState: the base of loading screens; the master loading state hands
// it the smoothed load percentage before each update.
#pragma once

#include "framework/ApplicationState.h"

namespace Quor
{

class ApplicationLoadingState : public ApplicationState
{
public:
    explicit ApplicationLoadingState(const Tarv::NarrowString& name) : ApplicationState(name) {}

    // Percent from 0 to 100; always a number in that range (main thread).
    float GetProgress() const { return m_progress; }
    void SetProgress(float percent);

private:
    float m_progress = 0.0f;
};

} // namespace Quor
