// Pixel data to textures (with the red and blue exchange the texture layout needs) and the
// asset-name load path shared by the asset dictionary, atlases and animation frames.
#include "graphics/image/ImageSurface.h"

#include "graphics/image/ImageAssetName.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/render/PixelData.h"
#include "graphics/image/StagedPixelData.h"
#include "graphics/render/PixelDataGL.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace Tarv
{

namespace
{

static_assert(SURFACE_FLAG_COLOR_KEY == Surface::FLAG_COLOR_KEY &&
                  SURFACE_FLAG_LINEAR == Surface::FLAG_LINEAR,
              "asset options set the surface's own flag bits");

// The texture format of the bytes StagePixels makes: 565 stages as RGB888, run-length as
// RGBA8888.
int TextureFormatOf(PixelFormat format)
{
    if (format == PIXEL_FORMAT_A8)
        return PixelDataGL::FORMAT_ALPHA8;
    if (format == PIXEL_FORMAT_RGB565 || format == PIXEL_FORMAT_RGB888)
        return PixelDataGL::FORMAT_RGB888;
    return PixelDataGL::FORMAT_RGBA8888;
}

// Staged once, straight into the padded layout, and handed to the texture without a copy.
PixelDataGL* CreateFromMemory(const PixelData& source)
{
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    if (!PixelDataGL::CheckSize(width, height))
        return nullptr;
    std::vector<std::uint8_t> staged;
    if (!StagedPixelData::StageInto(&source, PixelDataGL::PaddedSize(width), PixelDataGL::PaddedSize(height),
                                staged))
        return nullptr;
    return PixelDataGL::AdoptStaged(width, height, TextureFormatOf(source.GetFormat()),
                                std::move(staged));
}

} // namespace

PixelDataGL* CreateTexture(const PixelData* source)
{
    if (source == nullptr)
        return nullptr;
    PixelDataGL* texture = nullptr;
    switch (source->GetKind()) {
    case PIXEL_DATA_KIND_MEMORY:
    case PIXEL_DATA_KIND_RLE:
        texture = CreateFromMemory(*source);
        break;
    case PIXEL_DATA_KIND_GL: {
        // A texture answers the same kind as the staging object but stages nothing.
        const auto* staging = dynamic_cast<const StagedPixelData*>(source);
        const StagedPixelData::UploadInfo* info = staging != nullptr ? staging->GetUploadInfo() : nullptr;
        if (info != nullptr && info->source)
            texture = CreateFromMemory(*info->source);
        else if (info != nullptr && !info->stagedPixels)
            texture = PixelDataGL::CreateTarget(source->GetWidth(), source->GetHeight(),
                                            source->GetFormat());
        break;
    }
    default:
        break;
    }
    if (texture != nullptr)
        texture->SetColorKey(source->GetColorKey());
    return texture;
}

namespace
{

// Surfaces made straight from memory or run-length pixel data get their texture from here.
[[maybe_unused]] const bool TEXTURE_MAKER_INSTALLED = (Surface::SetTextureMaker(&CreateTexture), true);

} // namespace

SmartPtr<Surface> CreateSurface(const PixelData* source)
{
    return SmartPtr<Surface>(new Surface(CreateTexture(source)));
}

void ApplyImageOptions(Surface& surface, const ImageAssetName& name)
{
    if (name.colorKey && surface.GetPixelData() != nullptr)
        surface.GetPixelData()->SetColorKey(DEFAULT_COLOR_KEY);
    surface.SetFlags(surface.GetFlags(0xffffffffu) | name.flags);
}

SmartPtr<Surface> LoadSurface(const NarrowString& assetName)
{
    const ImageAssetName name = ImageAssetName::Parse(assetName);
    SmartPtr<Surface> surface = ImageLoader::LoadFromFile(name.path, 5);
    if (surface)
        ApplyImageOptions(*surface, name);
    return surface;
}

} // namespace Tarv
