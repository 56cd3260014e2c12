// A child process for a test's piece of code, as another user, with a bounded wait for its answer.
#include "tests/support/AsUser.h"

#include "tests/support/Wait.h"

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace TestSupport
{

namespace
{

// The exit status of a child that could not become its user.
constexpr int NO_USER_STATUS = 3;

bool BecomeUser(const ChildUser& user)
{
    return setgroups(user.groups.size(), user.groups.data()) == 0 &&
           setresgid(user.group, user.group, user.group) == 0 && setresuid(user.user, user.user, user.user) == 0;
}

// Reads until the child closes its end; false when it did not within the deadline.
bool ReadToEnd(int fd, std::chrono::steady_clock::time_point deadline, std::string& text)
{
    char piece[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd wait{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) != 1)
            return false;
        const ssize_t got = read(fd, piece, sizeof piece);
        if (got <= 0)
            return got == 0;
        text.append(piece, static_cast<std::size_t>(got));
    }
}

} // namespace

ChildAnswer RunInChild(const std::function<std::string()>& body, const ChildUser* user, int timeoutMs)
{
    ChildAnswer answer;
    int ends[2];
    if (pipe(ends) != 0)
        return answer;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        if (user != nullptr && geteuid() == 0 && !BecomeUser(*user))
            _exit(NO_USER_STATUS);
        const std::string said = body();
        _exit(write(ends[1], said.data(), said.size()) == static_cast<ssize_t>(said.size()) ? 0 : 2);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return answer;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const bool ended = ReadToEnd(ends[0], deadline, answer.said);
    close(ends[0]);
    int status = 0;
    const auto reaped = [&] { return waitpid(child, &status, WNOHANG) == child; };
    if (!ended || !WaitUntil(reaped, timeoutMs)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        answer.said.clear();
        return answer;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        answer.outcome = ChildAnswer::ANSWERED;
    else if (WIFEXITED(status) && WEXITSTATUS(status) == NO_USER_STATUS)
        answer.outcome = ChildAnswer::NO_USER;
    if (answer.outcome != ChildAnswer::ANSWERED)
        answer.said.clear();
    return answer;
}

} // namespace TestSupport
