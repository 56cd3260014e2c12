// Vund::ParallaxSprite: an image drawn with a parallax that depends on its depth, or fixed
// to the screen (its position then is the target pixel of its top-left corner).
#pragma once

#include "scene/Sprite.h"

namespace Vund
{

class ParallaxSprite : public Sprite
{
public:
    ParallaxSprite(Tarv::SmartPtr<Tarv::Surface> surface, const Vector3D& position, const float& scale)
        : Sprite(surface, position, scale)
    {
    }

    void Draw(Tarv::Surface* target) override;

    bool screenFixed = false;
};

} // namespace Vund
