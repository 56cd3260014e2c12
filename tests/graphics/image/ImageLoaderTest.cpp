// The format registry: the probe order, which reader a file goes to, and decoding on several
// threads at once (run under ThreadSanitizer by the tsan build).
#include "graphics/image/ImageLoader.h"

#include "ImageFixtures.h"
#include "graphics/image/TgaImageLoader.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <thread>

using namespace Tarv;
using ImageFixtures::Bytes;

namespace
{

Bytes Text(const char* text)
{
    return Bytes(text, text + std::strlen(text));
}

Bytes SmallPng()
{
    ImageFixtures::PngImage image;
    image.width = 9;
    image.height = 5;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < 9 * 5 * 4; ++i)
        image.samples.push_back(unsigned(i * 5) & 0xFF);
    return ImageFixtures::WritePng(image);
}

Bytes SmallJpeg()
{
    return ImageFixtures::WriteJpeg(8, 8, 3, ImageFixtures::RandomBytes(8 * 8 * 3, 2), 90, true);
}

Bytes SmallTga()
{
    Bytes file(TGA_HEADER_SIZE, 0);
    file[2] = 2;
    file[12] = 2;
    file[14] = 1;
    file[16] = 24;
    file.insert(file.end(), 6, 0x40);
    return file;
}

} // namespace

TEST(ImageLoaderProbe, RecognisesEachFormat)
{
    EXPECT_EQ(ImageLoader::ProbeFormat(SmallPng().data(), SmallPng().size()), ImageFormat::PNG);
    const Bytes tga = SmallTga();
    EXPECT_EQ(ImageLoader::ProbeFormat(tga.data(), tga.size()), ImageFormat::TGA);
    const Bytes jpeg = SmallJpeg();
    EXPECT_EQ(ImageLoader::ProbeFormat(jpeg.data(), jpeg.size()), ImageFormat::JPEG);
    const Bytes anim = Text("<?xml version=\"1.0\"?><anything/>");
    EXPECT_EQ(ImageLoader::ProbeFormat(anim.data(), anim.size()), ImageFormat::ANIMATION);
    const Bytes crle = Text("CRLE");
    EXPECT_EQ(ImageLoader::ProbeFormat(crle.data(), crle.size()), ImageFormat::CRLE);
    const Bytes c565 = Text("C565");
    EXPECT_EQ(ImageLoader::ProbeFormat(c565.data(), c565.size()), ImageFormat::C565);
}

TEST(ImageLoaderProbe, NearMissesMatchNothing)
{
    for (const char* text : {"<?xml version='1.0'?><a/>", " <?xml version=\"1.0\"?><a/>",
                             "\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>", "<?xml version=\"1.1\"?><a/>",
                             "<?xml version=\"1.0", "CRL", "c565", ""}) {
        const Bytes data = Text(text);
        EXPECT_EQ(ImageLoader::ProbeFormat(data.data(), data.size()), ImageFormat::NONE) << text;
        EXPECT_FALSE(ImageLoader::DecodeImage(data.data(), data.size())) << text;
    }
    EXPECT_EQ(ImageLoader::ProbeFormat(nullptr, 10), ImageFormat::NONE);
}

TEST(ImageLoaderProbe, ExifJpegMatchesNothing)
{
    Bytes jpeg = SmallJpeg();
    jpeg[3] = 0xE1;
    EXPECT_EQ(ImageLoader::ProbeFormat(jpeg.data(), jpeg.size()), ImageFormat::NONE);
    EXPECT_FALSE(ImageLoader::DecodeImage(jpeg.data(), jpeg.size()));
}

TEST(ImageLoader, DecodeImageUsesTheMatchingReader)
{
    const Bytes png = SmallPng();
    SmartPtr<PixelData> pixels = ImageLoader::DecodeImage(png.data(), png.size());
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetWidth(), 9);
    const Bytes tga = SmallTga();
    EXPECT_TRUE(ImageLoader::DecodeImage(tga.data(), tga.size()));
    const Bytes anim = Text("<?xml version=\"1.0\"?><a/>");
    EXPECT_FALSE(ImageLoader::FindLoader(anim.data(), anim.size()));
}

TEST(ImageLoader, OnlyTgaCanSave)
{
    const Bytes png = SmallPng();
    SmartPtr<PixelData> pixels = ImageLoader::DecodeImage(png.data(), png.size());
    ASSERT_TRUE(pixels);
    Bytes out;
    EXPECT_FALSE(ImageLoader::FindLoader(png.data(), png.size())->Save(*pixels, out));
    EXPECT_TRUE(out.empty());
    const Bytes tga = SmallTga();
    EXPECT_TRUE(ImageLoader::FindLoader(tga.data(), tga.size())->Save(*pixels, out));
}

TEST(ImageLoader, DecodesOnSeveralThreadsAtOnce)
{
    const Bytes png = SmallPng();
    const Bytes jpeg = SmallJpeg();
    SmartPtr<PixelData> reference = ImageLoader::DecodeImage(png.data(), png.size());
    ASSERT_TRUE(reference);
    std::vector<std::thread> threads;
    std::vector<int> matches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                SmartPtr<PixelData> a = ImageLoader::DecodeImage(png.data(), png.size());
                SmartPtr<PixelData> b = ImageLoader::DecodeImage(jpeg.data(), jpeg.size());
                if (a && b && std::memcmp(a->GetPixelsConst(), reference->GetPixelsConst(), 9 * 5 * 4) == 0)
                    ++matches[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(matches, (std::vector<int>{20, 20, 20, 20}));
}
