// Pixel data to textures (with the red and blue exchange the texture layout needs) and the
// asset-name load path shared by the asset dictionary, atlases and animation frames.
#include "graphics/image/ImageSurface.h"

#include "graphics/image/ImageAssetName.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/image/PixelData.h"
#include "graphics/image/PixelDataGL.h"
#include "graphics/render/Texture.h"

#include <cstddef>

namespace Tarv
{

namespace
{

// The texture format of PixelDataGL's staged bytes per pixel (565 stages as RGB888, run-length
// as RGBA8888).
int TextureFormatOf(PixelFormat format)
{
    if (format == PIXEL_FORMAT_A8)
        return PIXEL_FORMAT_ALPHA8;
    if (format == PIXEL_FORMAT_RGB565 || format == PIXEL_FORMAT_RGB888)
        return PIXEL_FORMAT_RGB888;
    return PIXEL_FORMAT_RGBA8888;
}

Texture* CreateFromMemory(const PixelData& source)
{
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    // Staged without padding: tightly packed rows in red, green, blue (, alpha) order, which
    // the texture then pads itself.
    std::unique_ptr<std::uint8_t[]> packed = PixelDataGL::StagePixels(&source, width, height);
    if (!packed)
        return nullptr;
    const int format = TextureFormatOf(source.GetFormat());
    const std::size_t bytes = format == PIXEL_FORMAT_ALPHA8 ? 1 : format == PIXEL_FORMAT_RGB888 ? 3 : 4;
    return Texture::CreateFromPixels(width, height, format, packed.get(),
                                     bytes * std::size_t(width) * std::size_t(height));
}

} // namespace

Texture* CreateTexture(const PixelData* source)
{
    if (source == nullptr)
        return nullptr;
    Texture* texture = nullptr;
    switch (source->GetKind()) {
    case PIXEL_DATA_KIND_MEMORY:
    case PIXEL_DATA_KIND_RLE:
        texture = CreateFromMemory(*source);
        break;
    case PIXEL_DATA_KIND_GL: {
        const PixelDataGL::UploadInfo* info = static_cast<const PixelDataGL*>(source)->GetUploadInfo();
        if (info != nullptr && info->source)
            texture = CreateFromMemory(*info->source);
        else if (info != nullptr && !info->stagedPixels)
            texture = Texture::CreateTarget(source->GetWidth(), source->GetHeight(),
                                            source->GetFormat());
        break;
    }
    default:
        break;
    }
    if (texture != nullptr) {
        const Color& key = source->GetColorKey();
        texture->SetColorKey(key.r, key.g, key.b);
    }
    return texture;
}

SmartPtr<Surface> CreateSurface(const PixelData* source)
{
    return SmartPtr<Surface>(new Surface(CreateTexture(source)));
}

void ApplyImageOptions(Surface& surface, const ImageAssetName& name)
{
    if (name.colorKey && surface.GetPixelData() != nullptr)
        surface.GetPixelData()->SetColorKey(DEFAULT_COLOR_KEY.r, DEFAULT_COLOR_KEY.g,
                                            DEFAULT_COLOR_KEY.b);
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
