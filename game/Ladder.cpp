// Stretching the ladder's tiles.
#include "game/Ladder.h"

#include "framework/AssetFunctions.h"
#include "scene/TiledSprite.h"

#include <algorithm>
#include <cstdint>

namespace Pirrock
{

void SetLadderHeight(Vund::TiledSprite& ladder, int cells)
{
    if (cells <= 2 || ladder.tiles.empty() || !ladder.tiles.front())
        return;
    const int middles = std::min(cells, MAX_LADDER_CELLS) - 2;
    const float tileHeight = static_cast<float>(ladder.GetTileHeight());
    Vund::Sprite& top = *ladder.tiles.front();
    top.position.y += static_cast<float>(std::int64_t(ladder.GetTileHeight()) * middles);
    float y = top.position.y;
    for (int i = 0; i < middles; ++i) {
        y -= tileHeight;
        const Vund::Vector3D at(top.position.x, y, top.position.z);
        ladder.tiles.push_back(
            Tarv::SmartPtr<Vund::Sprite>(new Vund::Sprite(Quor::GetSurface(LADDER_MIDDLE_IMAGE, "", false), at, 1.0f)));
    }
}

} // namespace Pirrock
