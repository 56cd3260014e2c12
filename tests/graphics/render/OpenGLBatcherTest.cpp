// The batching rules counted on the real driver: draw calls, indices, uploads, the index
// limit, flush reasons, discards, blending toggles, scissor boxes, both upload paths.
#include "graphics/render/OpenGLBatcher.h"

#include "graphics/render/OpenGLShader.h"
#include "graphics/render/ShaderSources.h"
#include "tests/graphics/render/RenderTestScreen.h"

namespace
{

using RenderTest::MakeImage;
using RenderTest::Near;
using RenderTest::PatternTexel;
using RenderTest::ReadPixel;
using RenderTest::Rgba;
using Tarv::GLCalls;
using Tarv::SmartPtr;
using Tarv::Surface;

class OpenGLBatcherCounting : public RenderTest::ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_sprite = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
        m_other = MakeImage(4, 4, Tarv::PixelDataGL::FORMAT_RGB888, PatternTexel);
        // Upload both and settle the state, then count from zero.
        Screen()->Blit(0, 0, m_other.Get(), m_rect);
        Screen()->Blit(0, 0, m_sprite.Get(), m_rect);
        Batcher()->Flush();
        Batcher()->ResetStats();
        GLCalls::ResetCounters();
    }

    static GLint ScissorBox(int index)
    {
        GLint box[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        return box[index];
    }

    const int m_rect[4] = {0, 0, 4, 4};
    SmartPtr<Surface> m_sprite;
    SmartPtr<Surface> m_other;
};

TEST_F(OpenGLBatcherCounting, TwoBlitsOfOneTextureAreOneDrawOfTwelveIndices)
{
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().calls, 0u) << "an empty flush makes no GL call";
    Screen()->Blit(10, 10, m_sprite.Get(), m_rect);
    Screen()->Blit(20, 10, m_sprite.Get(), m_rect);
    EXPECT_EQ(GLCalls::GetCounters().calls, 0u) << "same state: no GL call before the flush";
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 1u);
    EXPECT_EQ(GLCalls::GetCounters().indicesDrawn, 12u);
    EXPECT_EQ(GLCalls::GetCounters().bufferUploads, 2u);
    EXPECT_EQ(GLCalls::GetCounters().bytesUploaded, 8u * 20u + 12u * 2u);
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_EXPLICIT], 1u);
}

TEST_F(OpenGLBatcherCounting, AlternatingTexturesFlushOnEveryChange)
{
    for (int i = 0; i < 10; ++i)
        Screen()->Blit(i * 5, 0, (i % 2 == 0 ? m_sprite : m_other).Get(), m_rect);
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 10u);
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_TEXTURE], 9u);
}

TEST_F(OpenGLBatcherCounting, QuadPastTheIndexLimitFlushesFirst)
{
    for (int i = 0; i < 2730; ++i)
        Screen()->Blit(i % 700, 0, m_sprite.Get(), m_rect);
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 0u) << "2730 quads fit one batch";
    EXPECT_EQ(Batcher()->GetPendingVertices(), 2730 * 4);
    Screen()->Blit(0, 0, m_sprite.Get(), m_rect);
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 1u);
    EXPECT_EQ(GLCalls::GetCounters().indicesDrawn, 2730u * 6u);
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_LIMIT], 1u);
    EXPECT_EQ(Batcher()->GetPendingVertices(), 4);
    Batcher()->Flush();
}

TEST_F(OpenGLBatcherCounting, LinesAndTrianglesHaveTheirOwnLimits)
{
    const Tarv::BatchVertex v{0, 0, 0, 0, 255, 255, 255, 255};
    for (int i = 0; i < 8192; ++i)
        Batcher()->AddLine(&v, &v);
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_LIMIT], 1u);
    EXPECT_EQ(Batcher()->GetStats().indices, 8191u * 2u);
    Batcher()->Flush();
    Batcher()->ResetStats();
    for (int i = 0; i < 5462; ++i)
        Batcher()->AddTriangle(&v, &v, &v);
    EXPECT_EQ(Batcher()->GetStats().indices, 5461u * 3u);
    Batcher()->Flush();
}

TEST_F(OpenGLBatcherCounting, ClearDiscardsPendingGeometry)
{
    Screen()->Blit(10, 10, m_sprite.Get(), m_rect);
    Screen()->ClearGrey(40);
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 0u);
    EXPECT_EQ(Batcher()->GetStats().primitivesDiscarded, 1u);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 10, 10), Rgba{40, 40, 40, 255}));
}

// An opaque RGB texture blends only below full alpha; additive mode keeps blending at full alpha.
TEST_F(OpenGLBatcherCounting, BlendingFollowsAlphaAndMode)
{
    Screen()->Blit(10, 10, m_sprite.Get(), m_rect);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    m_sprite->SetAlpha(128);
    Screen()->Blit(20, 10, m_sprite.Get(), m_rect);
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_BLEND], 1u);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    m_sprite->SetAlpha(255);
    Tarv::OpenGLBatcher* batcher = Batcher();
    const std::uint8_t grey[4] = {100, 100, 100, 255};
    Screen()->FillRect(0, 0, 50, 50, grey);
    batcher->SetBlendMode(1);
    batcher->SetAlpha(255);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    const Tarv::BatchVertex a{10, 10, 0, 0, 100, 50, 0, 255}, b{20, 10, 0, 0, 100, 50, 0, 255},
        c{20, 20, 0, 0, 100, 50, 0, 255}, d{10, 20, 0, 0, 100, 50, 0, 255};
    batcher->AddQuad(&a, &b, &c, &d);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 15, 15), Rgba{200, 150, 100, 255})) << ReadPixel(Screen(), 15, 15);
    batcher->SetBlendMode(0);
    batcher->SetAlpha(255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(OpenGLBatcherCounting, ScissorIsFlippedOnTheScreenOnly)
{
    const int clip[4] = {0, 0, 100, 50};
    Batcher()->SetRenderTarget(Screen()->GetPixelData(), 0);
    Batcher()->SetClipRect(clip);
    EXPECT_EQ(ScissorBox(1), 430);
    EXPECT_EQ(ScissorBox(3), 50);
    // The same rectangle on another target must not be taken for the one already set.
    SmartPtr<Surface> target(new Surface(200, 100, Tarv::PixelDataGL::FORMAT_RGBA8888));
    Batcher()->SetRenderTarget(target->GetPixelData(), 0);
    Batcher()->SetClipRect(clip);
    EXPECT_EQ(ScissorBox(1), 0);
    EXPECT_EQ(ScissorBox(2), 100);
    Batcher()->SetRenderTarget(Screen()->GetPixelData(), 0);
    Batcher()->SetClipRect(clip);
    EXPECT_EQ(ScissorBox(1), 430);
}

// Releasing the current target drops its geometry and the next screen drawing binds the screen
// again; releasing the bound texture draws what uses it first, and a new texture that may get the
// same GL name is bound, not taken for the old one.
TEST_F(OpenGLBatcherCounting, ReleasesKeepTargetsAndTexturesApart)
{
    {
        SmartPtr<Surface> target(new Surface(16, 16, Tarv::PixelDataGL::FORMAT_RGBA8888));
        target->Blit(0, 0, m_sprite.Get(), m_rect);
        EXPECT_GT(Batcher()->GetPendingVertices(), 0);
    }
    EXPECT_EQ(Batcher()->GetPendingVertices(), 0);
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 0u);
    Screen()->Blit(10, 10, m_sprite.Get(), m_rect);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 10, 10), PatternTexel(0, 0)));

    const int rect[4] = {0, 0, 2, 2};
    const auto solid = [](Rgba colour) {
        return MakeImage(2, 2, Tarv::PixelDataGL::FORMAT_RGB888, [colour](int, int) { return colour; });
    };
    Batcher()->ResetStats();
    {
        SmartPtr<Surface> doomed = solid(Rgba{0, 200, 0, 255});
        Screen()->Blit(30, 30, doomed.Get(), rect);
    }
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_RELEASE], 1u);
    SmartPtr<Surface> next = solid(Rgba{200, 0, 0, 255});
    Screen()->Blit(40, 30, next.Get(), rect);
    RenderTest::ExpectPixels(Screen(), {{30, 30, Rgba{0, 200, 0, 255}}, {40, 30, Rgba{200, 0, 0, 255}}});
}

// Pixel data that is no texture has no GL objects: the batcher's texture slots leave their
// state and the pending geometry alone.
TEST_F(OpenGLBatcherCounting, PixelDataOtherThanTexturesChangesNothing)
{
    class CpuPixels : public Tarv::PixelData
    {
    public:
        int GetKind() const override { return Tarv::PIXEL_DATA_KIND_MEMORY; }
    };
    CpuPixels pixels;
    Screen()->Blit(0, 0, m_sprite.Get(), m_rect);
    Batcher()->SetTexture(&pixels, 0, 255);
    Batcher()->SetRenderTarget(&pixels, 0);
    Batcher()->ReleaseTexture(&pixels);
    Batcher()->ReleaseTexture(nullptr);
    EXPECT_EQ(Batcher()->GetPendingVertices(), 4);
    Screen()->Blit(4, 0, m_sprite.Get(), m_rect);
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().drawCalls, 1u);
}

TEST_F(OpenGLBatcherCounting, OrphaningPathDrawsTheSamePixels)
{
    Batcher()->SetBufferOrphaning(true);
    Screen()->Blit(10, 10, m_sprite.Get(), m_rect);
    Batcher()->Flush();
    EXPECT_EQ(GLCalls::GetCounters().bufferUploads, 4u);
    EXPECT_EQ(GLCalls::GetCounters().bytesUploaded, 4u * 20u + 6u * 2u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(ReadPixel(Screen(), 10 + x, 10 + y), PatternTexel(x, y)));
    Batcher()->SetBufferOrphaning(false);
}

TEST_F(OpenGLBatcherCounting, ColourKeyIsIgnoredUnderACustomShaderAndRestoredAfter)
{
    Tarv::OpenGLShader custom;
    custom.SetSources(Tarv::ShaderSources::TEXTURED_VERTEX, Tarv::ShaderSources::TEXTURE_FRAGMENT);
    Batcher()->SetShader(&custom);
    EXPECT_EQ(Batcher()->GetCurrentShader(), &custom);
    const std::uint64_t before = Batcher()->GetStats().flushes[Tarv::FLUSH_COLOUR_KEY];
    Batcher()->SetColorKey(true, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(Batcher()->GetCurrentShader(), &custom);
    // Back to the built-ins at once, without waiting for another state change.
    Batcher()->SetShader(nullptr);
    EXPECT_EQ(Batcher()->GetCurrentShader(), Batcher()->GetBuiltInShader(1));
    EXPECT_EQ(Batcher()->GetStats().flushes[Tarv::FLUSH_COLOUR_KEY], before);
}

} // namespace

namespace
{

class OpenGLBatcherKey : public RenderTest::ScreenTest
{
};

// A key colour set while untextured drawing runs reaches the key program when it is next used.
TEST_F(OpenGLBatcherKey, KeyChangedWhileUntexturedIsUsedByTheNextKeyedBlit)
{
    SmartPtr<Surface> sprite = MakeImage(2, 1, Tarv::PixelDataGL::FORMAT_RGB888, [](int x, int) {
        return x == 0 ? Rgba{0, 255, 0, 255} : Rgba{255, 0, 255, 255};
    });
    sprite->SetFlags(Tarv::Surface::FLAG_COLOR_KEY);
    const int rect[4] = {0, 0, 2, 1};
    Screen()->Blit(0, 0, sprite.Get(), rect);
    Batcher()->SetTextured(false);
    Batcher()->SetColorKey(true, 0.0f, 1.0f, 0.0f);
    Batcher()->SetTextured(true);
    Batcher()->SetTexture(sprite->GetPixelData(), Tarv::Surface::FLAG_COLOR_KEY, 255);
    const Tarv::BatchVertex a{10, 10, 0, 0, 255, 255, 255, 255};
    const Tarv::BatchVertex b{12, 10, 1, 0, 255, 255, 255, 255};
    const Tarv::BatchVertex c{12, 11, 1, 1, 255, 255, 255, 255};
    const Tarv::BatchVertex d{10, 11, 0, 1, 255, 255, 255, 255};
    Batcher()->AddQuad(&a, &b, &c, &d);
    EXPECT_TRUE(Near(ReadPixel(Screen(), 10, 10), Rgba{0, 0, 0, 255})) << "green is the key now";
    EXPECT_TRUE(Near(ReadPixel(Screen(), 11, 10), Rgba{255, 0, 255, 255}));
}

} // namespace
