// Tarv::Atlas: the regions of one atlas page, read from its atlas XML, each a Tarv::AtlasSurface
// filed under its region name ("id", or "id@option").
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "graphics/image/AtlasLayout.h"
#include "graphics/image/AtlasSurface.h"
#include "graphics/image/ImageSurface.h"

#include <map>
#include <vector>

namespace Tarv
{

class Atlas : public RefCounter
{
public:
    using RegionMap = std::map<NarrowString, SmartPtr<AtlasSurface>>;

    // Fetches the page image by imageName (followed by "@" and option when option is not
    // empty) through fetchPage (null: LoadSurface), then reads the regions from the atlas
    // XML at xmlPath. An unreadable XML file or a page that cannot be fetched gives an atlas
    // without regions. No GL call: any thread.
    Atlas(const NarrowString& xmlPath, const NarrowString& imageName, const NarrowString& option,
          SurfaceFetcher fetchPage = nullptr);
    // The regions of a layout already read, over a page already loaded (null: no regions).
    Atlas(Surface* image, const std::vector<AtlasRegion>& regions);
    ~Atlas() override;

    // The atlas of a registration key "menu.xml" or "menu.xml@linear": split at the last "@",
    // page image "menu.png" (AtlasLayout::GetPageImageName). Null when the path is shorter
    // than three characters.
    static SmartPtr<Atlas> Load(const NarrowString& key, SurfaceFetcher fetchPage = nullptr);

    Surface* GetImage() const { return m_image.Get(); }
    const RegionMap& GetRegions() const { return m_regions; }
    // The region of that name, or null.
    AtlasSurface* GetRegion(const NarrowString& name) const;

private:
    void AddRegions(const std::vector<AtlasRegion>& regions);

    SmartPtr<Surface> m_image;
    RegionMap m_regions;
};

} // namespace Tarv
