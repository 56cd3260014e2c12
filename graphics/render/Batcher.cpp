// The global batcher instance and the helpers shared by every batcher.
#include "graphics/render/Batcher.h"

#include "graphics/render/Texture.h"

namespace Tarv
{

SmartPtr<Batcher> Batcher::Instance;

void Batcher::ReleaseTexture(Texture* texture)
{
    if (texture != nullptr)
        ReleaseNames(texture->GetTextureName(), texture->GetFramebuffer());
}

} // namespace Tarv
