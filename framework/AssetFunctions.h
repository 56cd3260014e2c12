// The framework's image accessors over the asset dictionary: images filtered linearly unless
// the caller names other options.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{
class Surface;
}

namespace Quor
{

// "linear".
Tarv::NarrowString GetDefaultSurfaceOptions();
// The image name + "@" + options ("linear" when options is empty) from the asset dictionary;
// null when it can't be loaded or there is no dictionary.
Tarv::SmartPtr<Tarv::Surface> GetSurface(const Tarv::NarrowString& name, const Tarv::NarrowString& options,
                                         bool hold);

} // namespace Quor
