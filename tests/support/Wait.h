// The one way tests wait: poll a condition every few milliseconds, up to a time limit.
#pragma once

namespace TestSupport
{

bool WaitUntilImpl(bool (*condition)(void*), void* context, int timeoutMs);

// Polls `condition` every 2 ms for at most timeoutMs; true once it holds (checked once more at
// the limit, so a timeout of 0 is a single check).
template <class Condition>
bool WaitUntil(Condition condition, int timeoutMs)
{
    return WaitUntilImpl([](void* c) { return (*static_cast<Condition*>(c))(); }, &condition,
                         timeoutMs);
}

} // namespace TestSupport
