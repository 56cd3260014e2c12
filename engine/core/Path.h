// Path helpers that derive asset names and extensions from "/"-separated virtual paths.
// All of them work on bytes; an empty path gives an empty result.
#pragma once

#include "engine/core/NarrowString.h"

namespace Tarv
{

// The n-th "/"-separated component counted from the end, 0 being the last ("a/b/c.png" gives
// "c.png" for 0, "b" for 1, "a" for 2). Empty when n is negative or the path has fewer
// components; an empty component (as after a trailing "/") is empty.
NarrowString GetPathComponent(const NarrowString& path, int n);

// Up to three characters after the last "." of the path; when the path holds no ".", its first
// three characters. With withDot, up to four characters from the last "." on, the dot included,
// and empty when the path holds no ".". Callers compare these short forms with "png", "ogg",
// "xml" or "lua".
NarrowString GetExtension(const NarrowString& path, bool withDot = false);

// The last component up to its last "." ("scripts/menu.lua" gives "menu", "menu" gives "menu").
NarrowString GetBaseName(const NarrowString& path);

} // namespace Tarv
