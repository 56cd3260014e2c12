// libpng and libjpeg writers for the image reader tests.
#include "ImageFixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>

#include <jpeglib.h>

namespace ImageFixtures
{

namespace
{

void WriteCallback(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushCallback(png_structp)
{
}

int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

// Packs one row of samples into PNG's big-endian, bit-packed row layout.
Bytes PackRow(const PngImage& image, int y)
{
    const int channels = Channels(image.colorType);
    const std::size_t count = std::size_t(image.width) * channels;
    const unsigned* in = image.samples.data() + count * y;
    Bytes row;
    if (image.bitDepth == 16) {
        for (std::size_t i = 0; i < count; ++i) {
            row.push_back(std::uint8_t(in[i] >> 8));
            row.push_back(std::uint8_t(in[i] & 0xFF));
        }
        return row;
    }
    if (image.bitDepth == 8) {
        for (std::size_t i = 0; i < count; ++i)
            row.push_back(std::uint8_t(in[i]));
        return row;
    }
    const int perByte = 8 / image.bitDepth;
    row.assign((count + perByte - 1) / perByte, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const int shift = 8 - image.bitDepth * int(i % perByte + 1);
        row[i / perByte] |= std::uint8_t(in[i] << shift);
    }
    return row;
}

} // namespace

Bytes WritePng(const PngImage& image)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::abort();
    }
    png_set_write_fn(png, &out, WriteCallback, FlushCallback);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth,
                 image.colorType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < image.palette.size(); i += 3)
        palette.push_back(png_color{image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_color_16 transparent{};
    transparent.gray = png_uint_16(image.transparentGrey);
    transparent.red = png_uint_16(image.transparentRed);
    transparent.green = png_uint_16(image.transparentGreen);
    transparent.blue = png_uint_16(image.transparentBlue);
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
    else if (image.hasTransparentColor)
        png_set_tRNS(png, info, nullptr, 0, &transparent);

    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < image.height; ++y)
        rows.push_back(PackRow(image, y));
    for (Bytes& row : rows)
        pointers.push_back(row.data());
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes WriteJpeg(int width, int height, int components, const Bytes& samples, int quality, bool jfif,
                bool progressive)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    if (jfif)
        info.write_JFIF_header = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data()
                                            + std::size_t(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

Bytes DecodeJpegRgb(const Bytes& file, int& width, int& height)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    Bytes out(std::size_t(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.data() + std::size_t(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

Bytes RandomBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out(count);
    for (auto& b : out)
        b = std::uint8_t(random() & 0xFF);
    return out;
}

} // namespace ImageFixtures
