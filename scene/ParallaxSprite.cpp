// The parallax sprite's dispatch to the renderer.
#include "scene/ParallaxSprite.h"

#include "scene/BasicRenderer.h"
#include "scene/Renderer.h"

namespace Vund
{

void ParallaxSprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawParallaxSprite(this, target);
}

} // namespace Vund
