// Stretching the ladder's tiles.
#include "game/Ladder.h"

#include "framework/AssetFunctions.h"

#include <algorithm>
#include <cstdint>

namespace Pirrock
{

Ladder::Ladder(const Tarv::XmlIterator& node, const Vund::Vector3D& position)
    : Vund::TiledSprite(node, position, "", 1.0f)
{
}

void Ladder::SetHeight(int cells)
{
    if (cells <= 2 || tiles.empty() || !tiles.front())
        return;
    const int middles = std::min(cells, MAX_LADDER_CELLS) - 2;
    const float tileHeight = static_cast<float>(GetTileHeight());
    Vund::Sprite& top = *tiles.front();
    top.position.y += static_cast<float>(std::int64_t(GetTileHeight()) * middles);
    float y = top.position.y;
    for (int i = 0; i < middles; ++i) {
        y -= tileHeight;
        const Vund::Vector3D at(top.position.x, y, top.position.z);
        tiles.push_back(
            Tarv::SmartPtr<Vund::Sprite>(new Vund::Sprite(Quor::GetSurface(LADDER_MIDDLE_IMAGE, "", false), at, 1.0f)));
    }
}

} // namespace Pirrock
