// The tools' RGBA image: conversion from every memory format, and PNG output the engine reads back.
#include "tools/image/RgbaImage.h"

#include "graphics/image/MemPixelData.h"
#include "graphics/image/PngImageLoader.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tarv;

TEST(RgbaImage, ConvertsEachMemoryFormat)
{
    MemPixelData alpha(2, 1, PIXEL_FORMAT_A8);
    alpha.GetPixels()[0] = 0;
    alpha.GetPixels()[1] = 200;
    RgbaImage image;
    ASSERT_TRUE(RgbaImage::FromPixelData(alpha, image));
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{255, 255, 255, 0, 255, 255, 255, 200}));

    MemPixelData rgba(1, 1, PIXEL_FORMAT_RGBA8888);
    const std::uint8_t bgra[4] = {1, 2, 3, 4};
    std::memcpy(rgba.GetPixels(), bgra, 4);
    ASSERT_TRUE(RgbaImage::FromPixelData(rgba, image));
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{3, 2, 1, 4}));

    MemPixelData empty(0, 0, PIXEL_FORMAT_RGB888);
    EXPECT_FALSE(RgbaImage::FromPixelData(empty, image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(RgbaImage, WrittenPngLoadsBackExactly)
{
    RgbaImage image;
    image.width = 5;
    image.height = 3;
    for (int i = 0; i < 5 * 3 * 4; ++i)
        image.pixels.push_back(std::uint8_t(i * 17));
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(image.WritePng(png));
    SmartPtr<PixelData> loaded = PngImageLoader().Decode(png.data(), png.size());
    ASSERT_TRUE(loaded);
    RgbaImage back;
    ASSERT_TRUE(RgbaImage::FromPixelData(*loaded, back));
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(RgbaImage, RefusesInconsistentImages)
{
    RgbaImage image;
    image.width = 2;
    image.height = 2;
    image.pixels.resize(4);
    std::vector<std::uint8_t> png;
    EXPECT_FALSE(image.WritePng(png));
    EXPECT_FALSE(RgbaImage::ReadFile("/no/such/file.png", image));
}
