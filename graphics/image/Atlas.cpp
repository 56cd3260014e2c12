// Atlas construction: page image fetched by name, regions from the layout, first name wins.
#include "graphics/image/Atlas.h"

namespace Tarv
{

Atlas::Atlas(const NarrowString& xmlPath, const NarrowString& imageName, const NarrowString& option,
             SurfaceFetcher fetchPage)
{
    const NarrowString pageName = option.empty() ? imageName : NarrowString(imageName + "@" + option);
    m_image = fetchPage != nullptr ? fetchPage(pageName) : LoadSurface(pageName);
    if (!m_image)
        return;
    std::vector<AtlasRegion> regions;
    if (AtlasLayout::ParseFile(xmlPath, option, regions))
        AddRegions(regions);
}

Atlas::Atlas(Surface* image, const std::vector<AtlasRegion>& regions) : m_image(image)
{
    if (m_image)
        AddRegions(regions);
}

Atlas::~Atlas() = default;

SmartPtr<Atlas> Atlas::Load(const NarrowString& key, SurfaceFetcher fetchPage)
{
    const std::size_t at = key.rfind('@');
    const NarrowString path = at == NarrowString::npos ? key : NarrowString(key.substr(0, at));
    const NarrowString option = at == NarrowString::npos ? NarrowString() : NarrowString(key.substr(at + 1));
    const NarrowString imageName = AtlasLayout::GetPageImageName(path);
    if (imageName.empty())
        return nullptr;
    return MakeSmart<Atlas>(path, imageName, option, fetchPage);
}

AtlasSurface* Atlas::GetRegion(const NarrowString& name) const
{
    const auto found = m_regions.find(name);
    return found != m_regions.end() ? found->second.Get() : nullptr;
}

void Atlas::AddRegions(const std::vector<AtlasRegion>& regions)
{
    for (const AtlasRegion& region : regions) {
        if (m_regions.count(region.name) != 0)
            continue;
        m_regions.emplace(region.name, MakeSmart<AtlasSurface>(m_image.Get(), region.x, region.y,
                                                               region.width, region.height));
    }
}

} // namespace Tarv
