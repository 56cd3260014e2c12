// Tiled sprites: the grid read from a tiled-sprite file, the dispatch to the renderer and the
// flag they pass on to their tiles.
#include "scene/TiledSprite.h"

#include "engine/core/Xml.h"
#include "engine/core/XmlIterator.h"
#include "engine/vfs/XmlFile.h"
#include "framework/AssetFunctions.h"
#include "scene/BasicRenderer.h"
#include "scene/Renderer.h"

#include <cstdint>

namespace Vund
{

TiledSprite::TiledSprite(const Tarv::NarrowString& path, const Vector3D& position_,
                         const Tarv::NarrowString& options, const float& scale_)
    : Sprite(position_, scale_)
{
    const Tarv::XmlPtr document = Tarv::Xml::CreateFromFile(path);
    ReadGrid(Tarv::XmlIterator(document), options);
}

TiledSprite::TiledSprite(const Tarv::XmlIterator& node, const Vector3D& position_, const Tarv::NarrowString& options,
                         const float& scale_)
    : Sprite(position_, scale_)
{
    ReadGrid(node, options);
}

void TiledSprite::ReadGrid(const Tarv::XmlIterator& root, const Tarv::NarrowString& options)
{
    if (!root.IsValid())
        return;
    root.GetAttributeInt("width", m_width);
    root.GetAttributeInt("height", m_height);
    root.GetAttributeInt("tile-width", m_tileWidth);
    root.GetAttributeInt("tile-height", m_tileHeight);
    for (Tarv::XmlIterator tile(root, "tile"); tile.IsValid(); tile.Next()) {
        int x = -1, y = -1;
        Tarv::NarrowString image;
        if (!tile.GetAttributeInt("x", x) || !tile.GetAttributeInt("y", y) || x < 0 || y < 0 ||
            !tile.GetTextString(image) || image.empty())
            continue;
        // The products come from the file: formed in 64 bits, they cannot overflow.
        const std::int64_t across = std::int64_t(m_tileWidth) * x;
        const std::int64_t fromBottom = std::int64_t(m_tileHeight) * (std::int64_t(m_height) - 1);
        const std::int64_t down = std::int64_t(m_tileHeight) * y;
        const Vector3D at(position.x + static_cast<float>(across),
                          position.y + (static_cast<float>(fromBottom) - static_cast<float>(down)), position.z);
        Tarv::NarrowString tileOptions = options;
        tiles.push_back(Tarv::SmartPtr<Sprite>(new Sprite(Quor::GetSurface(image, tileOptions, false), at, scale)));
    }
}

void TiledSprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawTiledSprite(this, target);
}

void TiledSprite::SetTransformed(bool transformed)
{
    Sprite::SetTransformed(transformed);
    for (const Tarv::SmartPtr<Sprite>& tile : tiles)
        if (tile)
            tile->Sprite::SetTransformed(transformed);
}

void TiledParallaxSprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawTiledParallaxSprite(this, target);
}

} // namespace Vund
