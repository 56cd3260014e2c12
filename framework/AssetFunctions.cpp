// Image and atlas accessors with the framework's default options.
#include "framework/AssetFunctions.h"

#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"

namespace Quor
{

Tarv::NarrowString GetDefaultSurfaceOptions()
{
    return "linear";
}

Tarv::SmartPtr<Tarv::Surface> GetSurface(const Tarv::NarrowString& name, const Tarv::NarrowString& options,
                                         bool hold)
{
    const Tarv::NarrowString used = options.empty() ? GetDefaultSurfaceOptions() : options;
    return Tarv::AssetDict::GetSurface(name + "@" + used, hold);
}

bool LoadAtlas(const Tarv::NarrowString& path)
{
    return Tarv::AssetDict::RegisterAtlas(path + "@" + GetDefaultSurfaceOptions());
}

bool UnloadAtlas(const Tarv::NarrowString& path)
{
    return Tarv::AssetDict::UnregisterAtlas(path + "@" + GetDefaultSurfaceOptions());
}

} // namespace Quor
