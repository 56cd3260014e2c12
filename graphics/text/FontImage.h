// Reads a font page image straight from the virtual file system into a drawable surface: the
// path the fonts use before an asset dictionary exists. Decoding lives in FontImage.cpp, the
// drawing side in FontSurface.cpp (the two layers' headers are kept apart).
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"

#include <cstddef>
#include <cstdint>

namespace Tarv
{

class PixelData;
class Surface;

// A surface over the image at the key's path (the part before its last "@"), with the key's
// options "linear" (filtered) and "ck" (colour key) applied; other options change nothing.
// Null when the file cannot be opened or decoded. Makes no GL call. New surfaces have count 0.
Surface* LoadFontImage(const NarrowString& imageKey);
// A surface over decoded pixels: alpha-only pixels stay alpha-only (drawn tinted), every
// other format becomes red, green, blue, alpha. Null for null or unsized pixels.
Surface* CreateSurfaceFromPixels(const PixelData* pixels);
// A surface over tightly packed rows: one alpha byte a pixel when alphaOnly, else four bytes
// red, green, blue, alpha. Null when bytes is too short or the size not allowed.
Surface* CreateFontSurface(int width, int height, bool alphaOnly,
                                    const std::uint8_t* bytes, std::size_t size);
// Applies image options ("linear", "ck"; others change nothing) to a surface.
void ApplyFontImageOptions(Surface* surface, const NarrowString& options);

} // namespace Tarv
