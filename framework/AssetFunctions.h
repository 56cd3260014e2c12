// The framework's image and atlas accessors over the asset dictionary: images filtered linearly
// unless the caller names other options, atlases registered with the same "linear" option.
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
// Registers / unregisters the atlas description at path with the option "linear", so its
// regions are found by their ids through GetSurface. Pairs must use the same path.
bool LoadAtlas(const Tarv::NarrowString& path);
bool UnloadAtlas(const Tarv::NarrowString& path);

} // namespace Quor
