// Routing of the GUI's layout reports.
#include "gui/Messages.h"

#include <cstdio>
#include <utility>

namespace Plim
{

namespace
{

MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}

} // namespace

void Report(const Tarv::NarrowString& message)
{
    if (Hook()) {
        Hook()(message);
        return;
    }
    std::fprintf(stderr, "brashwick: gui: %s\n", message.c_str());
}

void SetMessageHook(MessageHook hook)
{
    Hook() = std::move(hook);
}

} // namespace Plim
