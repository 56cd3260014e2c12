// The GUI's one channel for layout problems (unknown item types, missing files, bad sizes):
// each problem is reported once, as one line, while a layout is read; and the way its developer
// dumps reach the developer console.
#pragma once

#include "engine/core/NarrowString.h"

#include <functional>

namespace Plim
{

using MessageHook = std::function<void(const Tarv::NarrowString& message)>;

// Sends the line to the hook, or to standard error when no hook is set.
void Report(const Tarv::NarrowString& message);
// Replaces the hook (an empty one restores standard error). Set it before layouts are read,
// as tests and the console do. A screen built on the loader thread reports from there, so the
// hook must accept calls from that thread.
void SetMessageHook(MessageHook hook);

// Prints one line (colour escapes kept) to the developer console through the console hook;
// without one (no console in this program) the line goes nowhere. Main thread.
void PrintToConsole(const Tarv::NarrowString& line);
// Replaces the console hook (an empty one removes it); the console layer installs it.
void SetConsoleHook(MessageHook hook);

} // namespace Plim
