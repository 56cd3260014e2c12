// Tarv::DisplayWatch: notices from a thread of its own that the X server connection has gone
// while the main thread is stuck. The GL driver's buffer swap can spin on a dead connection
// without ever returning to Xlib, whose I/O error handler would otherwise end the program.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace Tarv
{

class DisplayWatch
{
public:
    // How long the main thread may make no pass after the connection hung up before it counts
    // as stuck. A main thread that still runs meets the loss itself at its next event read.
    static constexpr int STUCK_MS = 1000;
    static constexpr int CHECK_MS = 50;

    // Watches the connection's socket fd. passes is the main loop's pass count, read only.
    // onStuck runs on the watch thread, at most once, when the peer has hung up and passes has
    // not moved for STUCK_MS; it is expected to end the program. Nothing is watched when fd is
    // negative or the wake-up pipe cannot be made.
    DisplayWatch(int fd, const std::atomic<unsigned>& passes, std::function<void()> onStuck);
    // Stops the watch and joins its thread; never waits on the server.
    ~DisplayWatch();
    DisplayWatch(const DisplayWatch&) = delete;
    DisplayWatch& operator=(const DisplayWatch&) = delete;

    bool IsWatching() const { return m_thread.joinable(); }

private:
    void Run(int fd);
    // True once the peer has hung up; false when the stop pipe woke the watch first.
    bool WaitForHangUp(int fd);
    // True when passes stayed still for STUCK_MS; false when the watch was stopped.
    bool WaitUntilStuck();

    const std::atomic<unsigned>& m_passes;
    std::function<void()> m_onStuck;
    int m_stopPipe[2] = {-1, -1};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace Tarv
