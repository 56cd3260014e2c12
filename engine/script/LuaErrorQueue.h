// Carries script error reports from whichever thread ran the script to the main thread, where
// the console and the mixer may be touched. The application drains it once a frame.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace Tarv
{

// One report: a heading line (for a script file, "Fatal error reading file " and its path)
// followed by the interpreter's message.
struct LuaErrorReport
{
    NarrowString heading;
    NarrowString message;
};

class LuaErrorQueue
{
public:
    using Handler = std::function<void(const LuaErrorReport& report)>;

    // Reports beyond this many waiting ones are dropped (and counted), so a loader that fails
    // over and over while nobody drains cannot grow memory without bound.
    static constexpr std::size_t MAX_PENDING = 64;

    // The queue the script host posts to.
    static LuaErrorQueue& Global();

    // Installs the handler and makes the calling thread the main thread. An empty handler
    // discards reports. Call on the main thread. The application's handler shows the console,
    // pauses the mixer with the console's reason and prints the heading and the message as
    // two lines; without a console it does nothing.
    void SetHandler(Handler handler);

    // Any thread. On the main thread, with nothing waiting, the handler runs at once; otherwise
    // the report waits for Drain.
    void Post(const LuaErrorReport& report);

    // Main thread: hands every waiting report to the handler in posting order; returns how
    // many were delivered. The handler runs outside the queue's lock and may post again.
    std::size_t Drain();

    std::size_t GetPendingCount() const;
    std::size_t GetDroppedCount() const;

    // Forgets the handler, the main thread and every waiting report (tests, shutdown).
    void Reset();

private:
    bool IsMainThread() const;

    mutable std::mutex m_mutex;
    std::deque<LuaErrorReport> m_pending;
    std::size_t m_dropped = 0;
    Handler m_handler;
    std::thread::id m_mainThread;
};

} // namespace Tarv
