// Images of every file format loaded into surfaces and drawn in real GL frames, read back
// pixel by pixel; asset-name options; textures made on a loader thread while the main thread
// draws (run under ThreadSanitizer by the tsan build).
#include "graphics/image/ImageSurface.h"

#include "ImageTestFiles.h"
#include "graphics/image/ImageAssetName.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/image/MemPixelData.h"
#include "graphics/image/StagedPixelData.h"
#include "graphics/image/PixelDataRLE.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <tuple>

using namespace Tarv;
using ImageTestFiles::Bytes;
using RenderTest::Near;
using RenderTest::ReadPixel;
using RenderTest::Rgba;

namespace
{

// Four distinct opaque colours, 2x2: red, green / blue, white.
const Bytes QUAD_RGBA = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

class ImageDrawing : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_folder = std::make_unique<ImageTestFiles::Folder>("imagesurface");
    }
    void TearDown() override { m_folder.reset(); }

    // Loads name, draws it whole at (x, y) on the screen, and reads the pixel at (x + dx, y + dy).
    Rgba DrawAndRead(Surface* image, int dx, int dy, int x = 100, int y = 100)
    {
        const int rect[4] = {0, 0, image->GetWidth(), image->GetHeight()};
        Screen()->Blit(x, y, image, rect);
        return ReadPixel(Screen(), x + dx, y + dy);
    }

    std::unique_ptr<ImageTestFiles::Folder> m_folder;
};

struct FileCase {
    const char* name;
    Bytes file;
    std::vector<RenderTest::Probe> probes; // relative to the image's top-left corner
};

void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<FileCase> FileCases()
{
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255},
        white{255, 255, 255, 255}, grey{90, 90, 90, 255};
    const Bytes runs = {255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 255};
    const Bytes column = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255};
    return {
        {"quad.png", ImageTestFiles::PngRgba(2, 2, QUAD_RGBA),
         {{0, 0, red}, {1, 0, green}, {0, 1, blue}, {1, 1, white}}},
        // TGA rows are stored bottom first and come out top first.
        {"quad.tga", ImageTestFiles::Tga24(2, 2, QUAD_RGBA),
         {{0, 0, red}, {1, 0, green}, {0, 1, blue}, {1, 1, white}}},
        // 16-bit formats expand by bit replication; X1R5G5B5 0x7FFF is the 565 word 0xFFDF.
        {"white.tga", ImageTestFiles::Tga16(1, 1, {0x7FFF}), {{0, 0, Rgba{255, 251, 255, 255}}}},
        {"red.c565", ImageTestFiles::C565(2, 1, {0xF800, 0x07E0}), {{0, 0, red}, {1, 0, green}}},
        // Transparent runs show the grey background.
        {"runs.crle", ImageTestFiles::Crle(3, 1, runs), {{0, 0, red}, {1, 0, grey}, {2, 0, blue}}},
        // Rows of 1 x 3 bytes would be read skewed with GL's default unpack alignment of 4.
        {"column.tga", ImageTestFiles::Tga24(1, 3, column), {{0, 0, red}, {0, 1, green}, {0, 2, blue}}},
    };
}

class ImageFileDrawing : public ImageDrawing, public ::testing::WithParamInterface<FileCase>
{
};

TEST_P(ImageFileDrawing, PixelsKeepTheirColoursAndPlaces)
{
    m_folder->Write(GetParam().name, GetParam().file);
    SmartPtr<Surface> image = LoadSurface(GetParam().name);
    ASSERT_TRUE(image);
    const std::uint8_t grey[4] = {90, 90, 90, 255};
    Screen()->ClearColor(grey);
    DrawAndRead(image.Get(), 0, 0);
    for (const RenderTest::Probe& p : GetParam().probes)
        RenderTest::ExpectPixels(Screen(), {{100 + p.x, 100 + p.y, p.want}});
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageFileDrawing, ::testing::ValuesIn(FileCases()),
                         [](const ::testing::TestParamInfo<FileCase>& info) {
                             std::string name = info.param.name;
                             name[name.find('.')] = '_';
                             return name;
                         });

TEST_F(ImageDrawing, JpegDrawsWhatLibjpegDecodes)
{
    Bytes solid;
    for (int i = 0; i < 64; ++i)
        solid.insert(solid.end(), {200, 60, 20});
    const Bytes file = ImageFixtures::WriteJpeg(8, 8, 3, solid, 95, true);
    int width = 0, height = 0;
    const Bytes decoded = ImageFixtures::DecodeJpegRgb(file, width, height);
    m_folder->Write("photo.jpg", file);
    SmartPtr<Surface> image = LoadSurface("photo.jpg");
    ASSERT_TRUE(image);
    const Rgba got = DrawAndRead(image.Get(), 3, 5);
    const std::uint8_t* want = decoded.data() + (5 * 8 + 3) * 3;
    EXPECT_TRUE(Near(got, Rgba{want[0], want[1], want[2], 255})) << got;
}

TEST_F(ImageDrawing, GreyPngIsCoverageDrawnInTheTint)
{
    m_folder->Write("grey.png", ImageTestFiles::PngGrey(2, 1, {0, 255}));
    SmartPtr<Surface> image = LoadSurface("grey.png");
    ASSERT_TRUE(image);
    const std::uint8_t green[4] = {0, 255, 0, 255};
    const int rect[4] = {0, 0, 2, 1};
    Screen()->BlitTinted(100, 100, green, image.Get(), rect);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 100, 100), Rgba{0, 0, 0, 255}, 1)) << ReadPixel(Screen(), 100, 100);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 101, 100), Rgba{0, 255, 0, 255}, 1)) << ReadPixel(Screen(), 101, 100);
}

TEST_F(ImageDrawing, ColourKeyOptionDiscardsMagenta)
{
    const Bytes rgba = {255, 0, 255, 255, 0, 255, 0, 255};
    m_folder->Write("keyed.png", ImageTestFiles::PngRgba(2, 1, rgba));
    SmartPtr<Surface> plain = LoadSurface("keyed.png");
    SmartPtr<Surface> keyed = LoadSurface("keyed.png@ck");
    SmartPtr<Surface> both = LoadSurface("keyed.png@ck,linear");
    ASSERT_TRUE(plain && keyed && both);
    EXPECT_EQ(plain->GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(keyed->GetFlags(0xffffffffu), Surface::FLAG_COLOR_KEY);
    EXPECT_EQ(both->GetFlags(0xffffffffu), Surface::FLAG_COLOR_KEY | Surface::FLAG_LINEAR);
    EXPECT_TRUE(Near(DrawAndRead(plain.Get(), 0, 0), Rgba{255, 0, 255, 255}));
    EXPECT_TRUE(Near(DrawAndRead(keyed.Get(), 0, 0, 200), Rgba{0, 0, 0, 255}));
    EXPECT_TRUE(Near(DrawAndRead(keyed.Get(), 1, 0, 200), Rgba{0, 255, 0, 255}));
}

TEST_F(ImageDrawing, MissingAndDamagedFilesGiveNull)
{
    m_folder->WriteText("text.png", "not an image");
    Bytes truncated = ImageTestFiles::PngRgba(2, 2, QUAD_RGBA);
    truncated.resize(truncated.size() / 2);
    m_folder->Write("half.png", truncated);
    EXPECT_FALSE(LoadSurface("nothing.png"));
    EXPECT_FALSE(LoadSurface("text.png@linear"));
    EXPECT_FALSE(LoadSurface("half.png"));
    // Only the last "@" splits the name.
    m_folder->Write("dir@x/a.png", ImageTestFiles::PngRgba(2, 2, QUAD_RGBA));
    EXPECT_FALSE(LoadSurface("dir@x/a.png"));
    SmartPtr<Surface> image = LoadSurface("dir@x/a.png@");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetFlags(0xffffffffu), 0u);
}

TEST_F(ImageDrawing, ImagesDecodedOnAnotherThreadDrawOnTheMainThread)
{
    constexpr int COUNT = 12;
    for (int i = 0; i < COUNT; ++i) {
        Bytes rgba;
        for (int p = 0; p < 9; ++p)
            rgba.insert(rgba.end(), {std::uint8_t(20 * i), 100, 200, 255});
        m_folder->Write(("img" + std::to_string(i) + ".png").c_str(), ImageTestFiles::PngRgba(3, 3, rgba));
    }
    std::mutex lock;
    std::vector<SmartPtr<Surface>> loaded(COUNT);
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < COUNT; ++i) {
            SmartPtr<Surface> image = LoadSurface("img" + std::to_string(i) + ".png@linear");
            std::lock_guard<std::mutex> guard(lock);
            loaded[std::size_t(i)] = image;
        }
        done = true;
    });
    // The main thread keeps drawing whatever has arrived until the loader is through.
    std::vector<bool> drawn(COUNT, false);
    bool finished = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!finished && std::chrono::steady_clock::now() < deadline) {
        finished = done.load();
        for (int i = 0; i < COUNT; ++i) {
            SmartPtr<Surface> image;
            {
                std::lock_guard<std::mutex> guard(lock);
                image = loaded[std::size_t(i)];
            }
            if (!image || drawn[std::size_t(i)])
                continue;
            const int rect[4] = {0, 0, 3, 3};
            Screen()->Blit(10 * i, 10, image.Get(), rect);
            drawn[std::size_t(i)] = true;
        }
        Batcher()->Flush();
    }
    loader.join();
    for (int i = 0; i < COUNT; ++i) {
        EXPECT_TRUE(drawn[std::size_t(i)]);
        EXPECT_TRUE(Near(ReadPixel(Screen(), 10 * i + 1, 11), Rgba{20 * i, 100, 200, 255}))
            << i << " " << ReadPixel(Screen(), 10 * i + 1, 11);
    }
}

// The staging object and a texture answer the same kind: each handed to the other's path is
// passed over, not read as the other. The batcher draws nothing from a staging object (as a
// texture or as a target), and no texture is made from a texture.
TEST_F(ImageDrawing, StagingAndTextureAreNotMistakenForEachOther)
{
    SmartPtr<PixelData> memory(new MemPixelData(2, 2, PIXEL_FORMAT_RGB888));
    std::fill_n(memory->GetPixels(), 12, std::uint8_t(255));
    SmartPtr<PixelData> staged(new StagedPixelData(memory.Get()));
    SmartPtr<PixelData> stagedTarget(new StagedPixelData(4, 4, PIXEL_FORMAT_RGBA8888));
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Screen()->FillRect(0, 0, 1, 1, white);
    Batcher()->Flush();
    Tarv::GLCalls::ResetCounters();
    Batcher()->SetRenderTarget(stagedTarget.Get(), 0);
    Batcher()->SetTexture(staged.Get(), 0, 255);
    Batcher()->ReleaseTexture(staged.Get());
    EXPECT_EQ(Tarv::GLCalls::GetCounters().calls, 0u);
    // The screen stays the target.
    const Tarv::BatchVertex a{10, 10, 0, 0, 0, 255, 0, 255}, b{12, 10, 0, 0, 0, 255, 0, 255},
        c{12, 12, 0, 0, 0, 255, 0, 255}, d{10, 12, 0, 0, 0, 255, 0, 255};
    Batcher()->SetTextured(false);
    Batcher()->AddQuad(&a, &b, &c, &d);
    RenderTest::ExpectPixels(Screen(), {{11, 11, Rgba{0, 255, 0, 255}}});

    SmartPtr<PixelDataGL> texture(PixelDataGL::CreateTarget(4, 4, PixelDataGL::FORMAT_RGB888));
    EXPECT_EQ(CreateTexture(texture.Get()), nullptr);
    EXPECT_EQ(CreateSurface(texture.Get())->GetPixelData(), nullptr);
}

} // namespace

// Textures from pixel data: none without pixels, the source's texels for staged data, an empty
// render target for a target, and the colour key carried over.
TEST(ImageSurface, TexturesFollowThePixelDataKind)
{
    EXPECT_EQ(CreateTexture(nullptr), nullptr);
    SmartPtr<Surface> empty = CreateSurface(nullptr);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetPixelData(), nullptr);
    SmartPtr<PixelData> memory(new MemPixelData(3, 2, PIXEL_FORMAT_RGB888));
    memory->SetColorKey(Color{1, 2, 3, 255});
    SmartPtr<PixelData> staged(new StagedPixelData(memory.Get()));
    SmartPtr<PixelDataGL> fromMemory(CreateTexture(memory.Get())), fromStaged(CreateTexture(staged.Get()));
    ASSERT_TRUE(fromMemory && fromStaged);
    EXPECT_FALSE(fromStaged->IsRenderTarget());
    EXPECT_EQ(fromStaged->GetWidth(), 3);
    EXPECT_EQ(fromMemory->GetColorKey().r * 100 + fromMemory->GetColorKey().b, 103);
    SmartPtr<PixelData> target(new StagedPixelData(5, 4, PIXEL_FORMAT_RGBA8888));
    SmartPtr<PixelDataGL> fromTarget(CreateTexture(target.Get()));
    ASSERT_TRUE(fromTarget);
    EXPECT_TRUE(fromTarget->IsRenderTarget());
    EXPECT_EQ(fromTarget->GetFormat(), PixelDataGL::FORMAT_RGBA8888);
}

// A surface takes pixel data of every kind: a texture as its own pixel data, memory and
// run-length pixels made into a new texture, nothing for a kind it does not know.
TEST(ImageSurface, SurfacesAreMadeFromPixelDataOfEveryKind)
{
    class Unknown : public PixelData
    {
    public:
        int GetKind() const override { return 2; }
    };
    SmartPtr<PixelData> memory(new MemPixelData(3, 2, PIXEL_FORMAT_RGB565));
    const std::uint8_t run[] = {10, 3, 0, 0, 2, 0};
    SmartPtr<PixelData> rle(new PixelDataRLE(2, 1, int(sizeof run), run));
    SmartPtr<PixelDataGL> texture(PixelDataGL::CreateTarget(4, 4, PixelDataGL::FORMAT_RGB888));
    const std::tuple<PixelData*, int, int> cases[] = {
        {memory.Get(), 3, PixelDataGL::FORMAT_RGB888},
        {rle.Get(), 2, PixelDataGL::FORMAT_RGBA8888},
        {texture.Get(), 4, PixelDataGL::FORMAT_RGB888},
    };
    for (const auto& [source, width, format] : cases) {
        SmartPtr<Surface> surface(new Surface(source));
        ASSERT_NE(surface->GetPixelData(), nullptr) << width;
        EXPECT_EQ(surface->GetPixelData()->GetKind(), PIXEL_DATA_KIND_GL);
        EXPECT_EQ(surface->GetWidth(), width);
        EXPECT_EQ(surface->GetPixelData()->GetFormat(), format);
        EXPECT_EQ(surface->GetPixel(0, 0), (Color{0, 0, 0, 255}));
    }
    EXPECT_EQ(SmartPtr<Surface>(new Surface(texture.Get()))->GetPixelData(), texture.Get());
    EXPECT_EQ(SmartPtr<Surface>(new Surface(new Unknown))->GetPixelData(), nullptr);
    EXPECT_EQ(SmartPtr<Surface>(new Surface(nullptr))->GetRect()[2], 0);
}
