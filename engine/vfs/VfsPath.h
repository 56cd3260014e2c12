// Checks on relative paths that come from callers or content before they reach the host.
#pragma once

namespace Tarv
{

// True for a relative path that stays below its root: not absolute and without a ".."
// component. Null is not confined.
bool IsConfinedPath(const char* path);

} // namespace Tarv
