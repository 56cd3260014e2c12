// Report: formats a diagnostic line once and hands it to standard error and the sink.
#include "engine/core/Report.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace Tarv
{

namespace
{

std::atomic<ReportSink> s_sink{nullptr};

} // namespace

void SetReportSink(ReportSink sink)
{
    s_sink.store(sink);
}

void Report(const char* format, ...)
{
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    std::fprintf(stderr, "%s\n", line);
    if (ReportSink sink = s_sink.load())
        sink(line);
}

} // namespace Tarv
