// Tarv::Report: the engine's diagnostic lines. Each goes to standard error and to the sink that
// a layer above installs (the developer console), from any thread.
#pragma once

#include "engine/core/NarrowString.h"

namespace Tarv
{

// Receives each line without its line feed; called on the reporting thread.
using ReportSink = void (*)(const NarrowString& line);

// Null removes the sink. Any thread.
void SetReportSink(ReportSink sink);

// printf-style; a line longer than 1 KiB is cut.
void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Tarv
