// Quor::Process: something that advances with time, with a duration and an optional fixed
// interval at which its work runs (catching up after a slow frame, within a bound).
#pragma once

#include "engine/core/NarrowString.h"

#include <limits>

namespace Quor
{

class Process
{
public:
    // The duration of a process that never ends by time.
    static constexpr float UNBOUNDED = std::numeric_limits<float>::max();
    // At most this many interval runs per tick by default; time beyond them is dropped, so one
    // very long frame cannot turn into thousands of catch-up runs.
    static constexpr int DEFAULT_MAX_CATCH_UP = 64;

    Process(const Tarv::NarrowString& name, const float& start = 0.0f, const float& duration = UNBOUNDED,
            const float& interval = 0.0f);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    virtual ~Process() = default;

    // Advances the process by dt seconds and runs its work; false once it has ended (time up,
    // or Finish was called). A paused process changes nothing and reports alive. A dt that is
    // negative, NaN or infinite counts as 0.
    bool Tick(const float& dt);

    // The time step the work should use: the interval when one is set, else the latest dt.
    float GetStep() const { return m_interval != 0.0f ? m_interval : m_lastStep; }

    // The next Tick reports the process ended without running its work.
    void Finish();
    // The owning manager drops the process at its next visit without ticking it.
    void Kill() { m_killed = true; }
    void Restart();
    // Seconds between runs of the work; 0 runs it once per tick. A negative, NaN or infinite
    // interval is refused and means 0, so a bad setting can never stop the work for good.
    void SetInterval(float seconds);
    // Runs per tick beyond which accumulated time is dropped; 0 or less means no bound.
    void SetMaxCatchUp(int runs) { m_maxCatchUp = runs; }

    void SetPaused(bool paused) { m_paused = paused; }
    void SetDuration(float seconds) { m_duration = seconds; }

    const Tarv::NarrowString& GetName() const { return m_name; }
    float GetStart() const { return m_start; }
    float GetDuration() const { return m_duration; }
    float GetInterval() const { return m_interval; }
    float GetElapsed() const { return m_elapsed; }
    float GetAccumulator() const { return m_accumulator; }
    bool IsPaused() const { return m_paused; }
    bool IsKilled() const { return m_killed; }

    // Asked before an ended process is dropped from its manager; false keeps it listed.
    virtual bool CanRemove() { return true; }

protected:
    // The process's work; reads its time step through GetStep.
    virtual void Update() = 0;

private:
    float GetRemaining() const;
    bool TickInterval(float dt);

    Tarv::NarrowString m_name;
    float m_start;
    float m_duration;
    float m_interval = 0.0f;
    float m_elapsed = 0.0f;
    float m_lastStep = 0.0f;
    float m_accumulator = 0.0f;
    int m_maxCatchUp = DEFAULT_MAX_CATCH_UP;
    bool m_paused = false;
    bool m_killed = false;
};

} // namespace Quor
