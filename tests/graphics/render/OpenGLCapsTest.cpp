// GL initialisation: the capability record before and after, the driver's own strings, the
// batcher it makes, and the programs that are built only when first used.
#include "graphics/render/OpenGLCaps.h"

#include "graphics/render/OpenGLBatcher.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <cstring>

namespace
{

using Tarv::OpenGLCaps;

class OpenGLCapsOnScreen : public RenderTest::ScreenTest
{
};

TEST_F(OpenGLCapsOnScreen, RecordsWhatTheDriverReports)
{
    EXPECT_EQ(OpenGLCaps::GetVendor(), reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
    EXPECT_EQ(OpenGLCaps::GetRenderer(), reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    EXPECT_EQ(OpenGLCaps::GetVersion(), reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    EXPECT_NE(OpenGLCaps::GetRenderer().find("llvmpipe"), std::string::npos);
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    EXPECT_EQ(OpenGLCaps::GetMaxTextureSize(), size);
    EXPECT_GT(size, 0);
    EXPECT_TRUE(OpenGLCaps::HasGlsl());
    EXPECT_TRUE(OpenGLCaps::HasFramebufferObjects());
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
}

TEST_F(OpenGLCapsOnScreen, InitReplacesTheBatcherAndBuildsOnlyTheTexturedPrograms)
{
    ASSERT_TRUE(OpenGLCaps::Init());
    Tarv::OpenGLBatcher* batcher = Batcher();
    ASSERT_NE(batcher, nullptr);
    EXPECT_FALSE(batcher->IsBufferOrphaning()) << "only for the \"Intel\" driver";
    EXPECT_TRUE(batcher->GetBuiltInShader(0)->IsLinked());
    EXPECT_TRUE(batcher->GetBuiltInShader(1)->IsLinked());
    EXPECT_TRUE(batcher->GetBuiltInShader(2)->IsLinked());
    EXPECT_FALSE(batcher->GetBuiltInShader(3)->IsBuilt()) << "built at the first untextured draw";
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Screen()->FillRect(0, 0, 2, 2, white);
    EXPECT_TRUE(batcher->GetBuiltInShader(3)->IsLinked());
    EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), 1, 1),
                                 RenderTest::Rgba{255, 255, 255, 255}));
}

TEST(OpenGLCaps, ShutdownForgetsEverything)
{
    OpenGLCaps::Shutdown();
    EXPECT_FALSE(OpenGLCaps::HasGlsl());
    EXPECT_FALSE(OpenGLCaps::HasFramebufferObjects());
    EXPECT_EQ(OpenGLCaps::GetVendor(), "");
    EXPECT_EQ(OpenGLCaps::GetMaxTextureSize(), 0);
    EXPECT_EQ(Tarv::Batcher::Instance.Get(), nullptr);
}

} // namespace
