// Surfaces made from decoded pixel data, and the load of an image asset name (path plus
// options) into a surface. Everything here makes no GL call: a loader thread may use it, and
// the texture is created by the first draw on the main thread.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"

namespace Tarv
{

class PixelData;
struct ImageAssetName;

// How atlases and animations fetch the images they are built from: an asset name in, a shared
// surface (or null) out. The asset dictionary installs its get-or-load here.
using SurfaceFetcher = SmartPtr<Surface> (*)(const NarrowString& name);

// The texture of memory (kind 0) or run-length (kind 1) pixel data, or of the source that a
// texture pixel data (kind 3) still stages; an empty target for a kind 3 without a source.
// Null for other kinds, for a texture itself, and for data that is too big or holds no pixels.
// Count 0. The colour key is copied.
PixelDataGL* CreateTexture(const PixelData* source);

// A surface over CreateTexture(source): flags 0, alpha 255, rect the whole image. When no
// texture can be made the surface has no pixel data and draws nothing. Count 0 in the
// SmartPtr; never null.
SmartPtr<Surface> CreateSurface(const PixelData* source);

// The options of an asset name applied to a loaded surface: "ck" sets the colour-key flag
// and makes the key magenta, "linear" sets linear filtering; nothing is ever cleared.
void ApplyImageOptions(Surface& surface, const ImageAssetName& name);

// Loads the image of an asset name: the path before the last "@" through
// ImageLoader::LoadFromFile, then its options. Null when the file is missing or damaged.
SmartPtr<Surface> LoadSurface(const NarrowString& assetName);

} // namespace Tarv
