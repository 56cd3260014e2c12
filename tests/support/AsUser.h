// Runs a piece of a test in a child process as an unprivileged user, so that permission bits bind
// it as they bind a player: they don't bind root, whom the tests often run as.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace TestSupport
{

// The user a child becomes when the test runs as root: its user and group, and the further
// groups it is in.
struct ChildUser
{
    uid_t user;
    gid_t group;
    std::vector<gid_t> groups;
};

// What the child's body answered, or why there is no answer.
struct ChildAnswer
{
    enum Outcome { ANSWERED, NO_USER, NO_ANSWER } outcome = NO_ANSWER;
    std::string said;
};

// Runs body in a forked child and gives back the text it returns. As root the child first
// becomes user (NO_USER when root here can't); without root, or with no user, it runs as this
// process does. NO_ANSWER when the child ends without returning from body (it may _exit) or has
// not answered within timeoutMs, after which it is killed.
ChildAnswer RunInChild(const std::function<std::string()>& body, const ChildUser* user, int timeoutMs = 20000);

} // namespace TestSupport
