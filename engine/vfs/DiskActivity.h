// The process-wide disk-activity flag: host file access sets it from any thread, and the
// developer overlay takes (reads and clears) it on the main thread to blink its indicator.
#pragma once

namespace Tarv
{

void SetDiskActivity();
// Returns whether the flag was set since the last call, and clears it.
bool TakeDiskActivity();

} // namespace Tarv
