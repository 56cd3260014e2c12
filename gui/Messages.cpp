// Routing of the GUI's layout reports and of its dumps to the developer console.
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

MessageHook& ConsoleHook()
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

void PrintToConsole(const Tarv::NarrowString& line)
{
    if (ConsoleHook())
        ConsoleHook()(line);
}

void SetConsoleHook(MessageHook hook)
{
    ConsoleHook() = std::move(hook);
}

} // namespace Plim
