// Report queue between script threads and the main thread: a mutex-guarded deque, delivered
// outside the lock so a handler may print, pause the mixer or post again.
#include "engine/script/LuaErrorQueue.h"

#include <utility>

namespace Tarv
{

LuaErrorQueue& LuaErrorQueue::Global()
{
    static LuaErrorQueue queue;
    return queue;
}

void LuaErrorQueue::SetHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = std::move(handler);
    m_mainThread = std::this_thread::get_id();
}

bool LuaErrorQueue::IsMainThread() const
{
    return m_mainThread != std::thread::id() && m_mainThread == std::this_thread::get_id();
}

void LuaErrorQueue::Post(const LuaErrorReport& report)
{
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Waiting reports go first, so an immediate delivery would overtake them.
        if (!IsMainThread() || !m_pending.empty() || !m_handler) {
            if (m_pending.size() >= MAX_PENDING) {
                ++m_dropped;
                return;
            }
            m_pending.push_back(report);
            return;
        }
        handler = m_handler;
    }
    handler(report);
}

std::size_t LuaErrorQueue::Drain()
{
    std::deque<LuaErrorReport> reports;
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        reports.swap(m_pending);
        handler = m_handler;
    }
    if (!handler)
        return 0;
    for (const LuaErrorReport& report : reports)
        handler(report);
    return reports.size();
}

std::size_t LuaErrorQueue::GetPendingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending.size();
}

std::size_t LuaErrorQueue::GetDroppedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

void LuaErrorQueue::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.clear();
    m_dropped = 0;
    m_handler = Handler();
    m_mainThread = std::thread::id();
}

} // namespace Tarv
