// The watch over the X server connection for a main thread that cannot notice its loss.
#include "platform/DisplayWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace Tarv
{

DisplayWatch::DisplayWatch(int fd, const std::atomic<unsigned>& passes, std::function<void()> onStuck)
    : m_passes(passes), m_onStuck(std::move(onStuck))
{
    if (fd < 0 || pipe2(m_stopPipe, O_CLOEXEC) != 0)
        return;
    m_thread = std::thread([this, fd] { Run(fd); });
}

DisplayWatch::~DisplayWatch()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        const char wake = 1;
        // A full pipe already holds a wake-up; the flag is read after every wait anyway.
        (void)!write(m_stopPipe[1], &wake, 1);
        m_thread.join();
    }
    for (int end : m_stopPipe) {
        if (end >= 0)
            close(end);
    }
}

void DisplayWatch::Run(int fd)
{
    if (WaitForHangUp(fd) && WaitUntilStuck() && m_onStuck)
        m_onStuck();
}

bool DisplayWatch::WaitForHangUp(int fd)
{
    // Only a hang-up is asked for: the server's ordinary traffic is the main thread's.
    pollfd watched[2] = {{fd, POLLRDHUP, 0}, {m_stopPipe[0], POLLIN, 0}};
    while (!m_stopping) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (watched[1].revents != 0)
            return false;
        // A closed fd (POLLNVAL) means the connection was closed on purpose, not lost.
        if ((watched[0].revents & POLLNVAL) != 0)
            return false;
        if ((watched[0].revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
            return true;
    }
    return false;
}

bool DisplayWatch::WaitUntilStuck()
{
    using Clock = std::chrono::steady_clock;
    unsigned seen = m_passes.load();
    Clock::time_point still = Clock::now();
    pollfd stop = {m_stopPipe[0], POLLIN, 0};
    while (!m_stopping) {
        if (poll(&stop, 1, CHECK_MS) > 0)
            return false;
        const unsigned now = m_passes.load();
        if (now != seen) {
            seen = now;
            still = Clock::now();
        } else if (Clock::now() - still >= std::chrono::milliseconds(STUCK_MS)) {
            return true;
        }
    }
    return false;
}

} // namespace Tarv
