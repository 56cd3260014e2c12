// Memory figures the developer console shows and plots. Safe to call from any thread.
#pragma once

namespace Tarv
{

// Bytes in heap chunks handed out by malloc (mallinfo2's uordblks), clamped to the int range.
// Blocks large enough for malloc to map on their own are not counted, and under a sanitizer
// that replaces malloc the figure says nothing about the program's own allocations.
int GetHeapUsage();

// Video memory in use: this platform has no way to ask, so always 0.
int GetVideoMemoryUsage();

} // namespace Tarv
