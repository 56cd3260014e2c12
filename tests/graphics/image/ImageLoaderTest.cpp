// The format registry: the probe order, which reader a file goes to, and decoding on several
// threads at once (run under ThreadSanitizer by the tsan build).
#include "graphics/image/ImageLoader.h"

#include "ImageTestFiles.h"
#include "engine/vfs/CachedFile.h"
#include "engine/vfs/Vfs.h"
#include "graphics/image/AnimImageLoader.h"
#include "graphics/image/TgaImageLoader.h"
#include "graphics/render/Surface.h"

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

TEST(ImageLoaderProbe, RecognisesEachFormatAndNoNearMiss)
{
    const std::pair<Bytes, ImageFormat> files[] = {
        {SmallPng(), ImageFormat::PNG},   {SmallTga(), ImageFormat::TGA},
        {SmallJpeg(), ImageFormat::JPEG}, {Text("<?xml version=\"1.0\"?><anything/>"), ImageFormat::ANIMATION},
        {Text("CRLE"), ImageFormat::CRLE}, {Text("C565"), ImageFormat::C565}};
    for (const auto& [data, format] : files)
        EXPECT_EQ(ImageLoader::ProbeFormat(data.data(), data.size()), format);
    Bytes exif = SmallJpeg();
    exif[3] = 0xE1;
    std::vector<Bytes> misses = {exif};
    for (const char* text : {"<?xml version='1.0'?><a/>", " <?xml version=\"1.0\"?><a/>",
                             "\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>", "<?xml version=\"1.1\"?><a/>",
                             "<?xml version=\"1.0", "CRL", "c565", ""})
        misses.push_back(Text(text));
    for (const Bytes& data : misses) {
        EXPECT_EQ(ImageLoader::ProbeFormat(data.data(), data.size()), ImageFormat::NONE);
        EXPECT_FALSE(ImageLoader::DecodeImage(data.data(), data.size()));
    }
    EXPECT_EQ(ImageLoader::ProbeFormat(nullptr, 10), ImageFormat::NONE);
}

// Each file goes to its own reader; only the TGA reader saves, and never into a read-only or
// missing stream; a reader loads its own format only.
TEST(ImageLoader, ReadersDecodeAndSaveTheirOwnFormat)
{
    const Bytes png = SmallPng(), tga = SmallTga();
    const Bytes anim = Text("<?xml version=\"1.0\"?><a/>");
    SmartPtr<PixelData> pixels = ImageLoader::DecodeImage(png.data(), png.size());
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetWidth(), 9);
    EXPECT_TRUE(ImageLoader::DecodeImage(tga.data(), tga.size()));
    SmartPtr<ImageLoader> animation = ImageLoader::FindLoader(anim.data(), anim.size());
    ASSERT_TRUE(dynamic_cast<AnimImageLoader*>(animation.Get()));
    EXPECT_FALSE(animation->Decode(anim.data(), anim.size()));
    Bytes out;
    EXPECT_FALSE(ImageLoader::FindLoader(png.data(), png.size())->Encode(*pixels, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(ImageLoader::FindLoader(tga.data(), tga.size())->Encode(*pixels, out));
    TgaImageLoader loader;
    SmartPtr<CachedFile> tgaStream(new CachedFile(tga.data(), int(tga.size()), true));
    SmartPtr<CachedFile> pngStream(new CachedFile(png.data(), int(png.size()), true));
    EXPECT_FALSE(loader.SaveToStream(tgaStream.Get(), *pixels));
    EXPECT_FALSE(loader.SaveToStream(nullptr, *pixels));
    SmartPtr<Surface> surface = loader.Load(tgaStream.Get(), 5);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetWidth(), 2);
    EXPECT_FALSE(loader.Load(pngStream.Get(), 5));
    // A surface's pixels are in its texture: nothing for the writer.
    EXPECT_FALSE(loader.Save(tgaStream.Get(), surface.Get()));
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

namespace
{

// A stream that hands out at most a few bytes per read, as slow streams may.
class TrickleStream : public CachedFile
{
public:
    TrickleStream(const Bytes& data) : CachedFile(data.data(), int(data.size()), true) {}
    int Read(void* buffer, int count) override { return CachedFile::Read(buffer, count < 3 ? count : 3); }
};

class ImageLoaderFiles : public ::testing::Test
{
protected:
    ImageTestFiles::Folder m_folder{"image"};
};

} // namespace

// Streams that hand out a few bytes a read are probed and decoded from any position, into pixels
// or a surface of the image's size, and rewound; null, unknown and empty streams give null.
TEST(ImageLoaderStream, ProbesAndDecodesFromAnyPositionAndRewinds)
{
    const Bytes png = SmallPng();
    SmartPtr<CachedFile> stream(new TrickleStream(png));
    stream->Seek(7, SEEK_ORIGIN_START);
    EXPECT_EQ(ImageLoader::ProbeFormat(stream.Get()), ImageFormat::PNG);
    EXPECT_EQ(stream->Tell(), 0);
    stream->Seek(5, SEEK_ORIGIN_START);
    SmartPtr<PixelData> pixels = ImageLoader::LoadPixelsFromStream(stream.Get());
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetWidth(), 9);
    EXPECT_EQ(stream->Tell(), 0);
    stream->Seek(3, SEEK_ORIGIN_START);
    SmartPtr<Surface> surface = ImageLoader::LoadFromStream(stream.Get(), 5);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetWidth() * 10 + surface->GetHeight(), 95);
    EXPECT_EQ(surface->GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(surface->GetAlpha(), 255);
    EXPECT_EQ(stream->Tell(), 0);

    EXPECT_EQ(ImageLoader::ProbeFormat(static_cast<SeekableStream*>(nullptr)), ImageFormat::NONE);
    EXPECT_FALSE(ImageLoader::LoadPixelsFromStream(nullptr));
    EXPECT_FALSE(ImageLoader::LoadFromStream(nullptr, 5));
    const Bytes text = Text("plain text, no image");
    SmartPtr<CachedFile> textStream(new CachedFile(text.data(), int(text.size()), true));
    EXPECT_FALSE(ImageLoader::LoadPixelsFromStream(textStream.Get()));
    EXPECT_FALSE(ImageLoader::LoadFromStream(textStream.Get(), 5));
    SmartPtr<CachedFile> empty(new CachedFile(nullptr, 0, false));
    EXPECT_FALSE(ImageLoader::LoadPixelsFromStream(empty.Get()));
}

TEST_F(ImageLoaderFiles, LoadsPixelsAndSurfacesAndSavedTgaLoadsBack)
{
    m_folder.Write("a.png", SmallPng());
    m_folder.Write("b.tga", SmallTga());
    m_folder.WriteText("c.txt", "no image");
    SmartPtr<PixelData> png = ImageLoader::LoadPixelsFromFile("a.png");
    SmartPtr<Surface> surface = ImageLoader::LoadFromFile("a.png", 5);
    ASSERT_TRUE(png && surface);
    EXPECT_EQ(png->GetWidth() + surface->GetWidth(), 18);
    for (const char* bad : {"c.txt", "missing.png"})
        EXPECT_FALSE(ImageLoader::LoadPixelsFromFile(bad) || ImageLoader::LoadFromFile(bad, 5)) << bad;
    SmartPtr<PixelData> pixels = ImageLoader::LoadPixelsFromFile("b.tga");
    ASSERT_TRUE(pixels);
    {
        SmartPtr<File> out(VfsOpenWrite("saved.tga"));
        ASSERT_TRUE(out);
        EXPECT_TRUE(TgaImageLoader().SaveToStream(out.Get(), *pixels));
    }
    SmartPtr<PixelData> back = ImageLoader::LoadPixelsFromFile("saved.tga");
    ASSERT_TRUE(back);
    EXPECT_EQ(0, std::memcmp(back->GetPixelsConst(), pixels->GetPixelsConst(), 6));
}

