// Tarv::ImageLoader: the base of the image readers and the registry that recognises a file's
// format from its first bytes, in the fixed probe order PNG, TGA, JPEG, animation XML, "CRLE",
// "C565". Readers work on the whole file in memory and are safe on any thread.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "graphics/render/PixelData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarv
{

class SeekableStream;
class Surface;
class PixelDataGL;

// Image files larger than this are not read into memory.
constexpr std::size_t MAX_IMAGE_FILE_BYTES = std::size_t(128) << 20;
// Loads by path nested deeper than this (animation frames that are animations) give null.
constexpr int MAX_NESTED_IMAGE_LOADS = 8;

enum class ImageFormat
{
    NONE,
    PNG,
    TGA,
    JPEG,
    ANIMATION,
    CRLE,
    C565,
};

class ImageLoader : public RefCounter
{
public:
    ~ImageLoader() override = default;

    // The first format, in probe order, whose probe accepts the file's first bytes.
    static ImageFormat ProbeFormat(const std::uint8_t* data, std::size_t size);
    // A new reader for the file's format, or null when no reader takes it. The animation reader
    // makes surfaces only: its Decode gives no pixel data.
    static SmartPtr<ImageLoader> FindLoader(const std::uint8_t* data, std::size_t size);
    // Probes and decodes; null when no reader takes the file or it is damaged.
    static SmartPtr<PixelData> DecodeImage(const std::uint8_t* data, std::size_t size);

    // The stream forms: each starts at byte 0 and leaves the stream rewound to byte 0. The
    // caller keeps the stream. A null stream, a failed seek or a file over
    // MAX_IMAGE_FILE_BYTES gives NONE, false or null.
    static ImageFormat ProbeFormat(SeekableStream* stream);
    static bool ReadWholeStream(SeekableStream* stream, std::vector<std::uint8_t>& out);
    static SmartPtr<PixelData> LoadPixelsFromStream(SeekableStream* stream);
    // Opens the virtual path for reading; null when it cannot be opened or decoded.
    static SmartPtr<PixelData> LoadPixelsFromFile(const NarrowString& path);
    // Surfaces. The loader argument is accepted for the callers that pass one (always 5) and
    // not read. An animation XML file gives an animated surface (see AnimImageLoader), any
    // other format a surface over its pixels; null when no reader takes the data or it is
    // damaged. The stream is rewound as above.
    static SmartPtr<Surface> LoadFromStream(SeekableStream* stream, int argument);
    // As LoadFromStream for a virtual path. A path that is already being loaded further up on
    // this thread (an animation that names itself, or a cycle of them), or a nesting deeper
    // than MAX_NESTED_IMAGE_LOADS, gives null instead of recursing.
    static SmartPtr<Surface> LoadFromFile(const NarrowString& path, int argument);
    // This reader's surface from the stream, whatever the probes would say; the loader
    // argument is not read.
    virtual SmartPtr<Surface> Load(SeekableStream* stream, int argument);
    // Writes the surface's image in this reader's format. A surface's pixels live in its
    // texture, which holds no memory pixels, so there is nothing to write: false.
    virtual bool Save(SeekableStream* stream, Surface* surface);

    // Writes memory pixels in this reader's format to the stream; false when Encode refuses or
    // the stream takes fewer bytes.
    bool SaveToStream(SeekableStream* stream, const PixelData& pixels);

    // The pixels of a whole file of this reader's format, or null: a damaged, truncated or
    // oversized file never aborts, overruns or allocates beyond the image size limits.
    virtual SmartPtr<PixelData> Decode(const std::uint8_t* data, std::size_t size) = 0;
    // The texture of a whole file of this reader's format, staged for its first draw (no GL
    // call; count 0), or null where Decode gives null. This is how files become surfaces. The
    // base stages Decode's pixels; readers that can decode straight into the texture layout
    // override it.
    virtual PixelDataGL* DecodeTexture(const std::uint8_t* data, std::size_t size);
    // Appends the file form of pixels to out; false (out unchanged) when this format cannot be
    // written or pixels holds no memory pixels of a format it takes.
    virtual bool Encode(const PixelData& pixels, std::vector<std::uint8_t>& out);

protected:
    // A texture over staged texels whose first width x height are decoded: the edges are
    // padded and the bytes adopted. Null when the sizes do not fit the bytes.
    static PixelDataGL* FinishStaged(int width, int height, int format,
                                 std::vector<std::uint8_t>&& staged);
};

// Little-endian reads from bytes the caller has bounds-checked.
inline std::uint32_t ReadLittle16(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
inline std::uint32_t ReadLittle32(const std::uint8_t* p)
{
    return ReadLittle16(p) | (ReadLittle16(p + 2) << 16);
}

} // namespace Tarv
