// Conversion of loaded pixel data to plain RGBA, and the PNG writer the tools share.
#include "tools/image/RgbaImage.h"

#include "graphics/image/ImageLoader.h"
#include "graphics/render/PixelData.h"

#include <png.h>

#include <csetjmp>
#include <fstream>
#include <iterator>

namespace Tarv
{

namespace
{

void WriteCallback(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushCallback(png_structp)
{
}

// Holds the setjmp; the rows and output live in the caller.
bool WriteRows(png_structp png, png_infop info, const RgbaImage& image, png_bytep* rows,
               std::vector<std::uint8_t>& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, WriteCallback, FlushCallback);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

} // namespace

bool RgbaImage::FromPixelData(const PixelData& source, RgbaImage& out)
{
    out = RgbaImage();
    const PixelFormat format = source.GetFormat();
    const std::uint8_t* bytes = source.GetPixelsConst();
    if (bytes == nullptr || format > PIXEL_FORMAT_RGBA8888 || source.GetWidth() < 1
        || source.GetHeight() < 1)
        return false;
    out.width = source.GetWidth();
    out.height = source.GetHeight();
    out.pixels.resize(std::size_t(out.width) * out.height * 4);
    std::uint8_t* p = out.pixels.data();
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x, p += 4) {
            if (format == PIXEL_FORMAT_A8) {
                p[0] = p[1] = p[2] = 255;
                p[3] = bytes[std::size_t(y) * source.GetPitch() + x];
                continue;
            }
            const Color c = source.GetPixel(x, y);
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    return true;
}

bool RgbaImage::ReadFile(const NarrowString& path, RgbaImage& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    SmartPtr<PixelData> pixels = ImageLoader::DecodeImage(bytes.data(), bytes.size());
    return pixels && FromPixelData(*pixels, out);
}

bool RgbaImage::WritePng(std::vector<std::uint8_t>& out) const
{
    if (width < 1 || height < 1 || pixels.size() != std::size_t(width) * height * 4)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[std::size_t(y)] = const_cast<png_bytep>(pixels.data() + std::size_t(y) * width * 4);
    const bool ok = info != nullptr && WriteRows(png, info, *this, rows.data(), out);
    png_destroy_write_struct(&png, &info);
    return ok;
}

} // namespace Tarv
