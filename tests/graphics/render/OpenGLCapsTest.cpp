// GL initialisation: the capability record and the "/machine" registry keys both report what the
// driver says, the batcher Init makes, the programs built only when first used, and Shutdown.
#include "graphics/render/OpenGLCaps.h"

#include "engine/registry/Registry.h"
#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/OpenGLBatcher.h"
#include "tests/graphics/render/RenderTestScreen.h"

namespace
{

using Tarv::OpenGLCaps;

class OpenGLCapsOnScreen : public RenderTest::ScreenTest
{
};

// Whatever the driver, its own strings and limits come back unchanged through both routes; the
// drawing tests need GLSL and framebuffer objects, which every ES 2.0 driver has.
TEST_F(OpenGLCapsOnScreen, CapsAndMachineKeysReportTheDriver)
{
    Tarv::Registry registry(&Tarv::GLMachineInfo::Get());
    const std::pair<const char*, GLenum> strings[] = {
        {"/machine/gl/vendor", GL_VENDOR}, {"/machine/gl/renderer", GL_RENDERER},
        {"/machine/gl/version", GL_VERSION}};
    for (const auto& [key, name] : strings) {
        const std::string driver = reinterpret_cast<const char*>(glGetString(name));
        Tarv::NarrowString text;
        ASSERT_TRUE(registry.GetString(key, text)) << key;
        EXPECT_EQ(text, driver);
        EXPECT_FALSE(driver.empty()) << key;
    }
    EXPECT_EQ(OpenGLCaps::GetVendor(), reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
    EXPECT_EQ(OpenGLCaps::GetRenderer(), reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    EXPECT_EQ(OpenGLCaps::GetVersion(), reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    GLint size = 0, alignment = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_GE(size, 64) << "ES 2.0 guarantees at least 64";
    EXPECT_EQ(OpenGLCaps::GetMaxTextureSize(), size);
    EXPECT_EQ(alignment, 1);
    int value = 0;
    bool glsl = false, fbo = false;
    EXPECT_TRUE(registry.GetInt("/machine/gl/texsize", value) && value == size);
    EXPECT_TRUE(registry.GetBool("/machine/gl/glsl", glsl) && glsl && OpenGLCaps::HasGlsl());
    EXPECT_TRUE(registry.GetBool("/machine/gl/fbo", fbo) && fbo &&
                OpenGLCaps::HasFramebufferObjects());
}

TEST_F(OpenGLCapsOnScreen, MachineKeysFollowTheScreen)
{
    Tarv::Registry registry(&Tarv::GLMachineInfo::Get());
    const auto key = [&](const char* path) {
        int value = -1;
        return registry.GetInt(path, value) ? value : -1;
    };
    EXPECT_EQ(key("/machine/resolution/x"), 800);
    EXPECT_EQ(key("/machine/resolution/y"), 480);
    EXPECT_EQ(key("/machine/orientation"), 90);
    Tarv::SmartPtr<Tarv::Display> portrait(Tarv::Display::Create(480, 800));
    EXPECT_EQ(key("/machine/resolution/x"), 480);
    EXPECT_EQ(key("/machine/orientation"), 0);
    Tarv::SmartPtr<Tarv::Display> landscape(Tarv::Display::Create(800, 480));
    EXPECT_EQ(key("/machine/resolution/y"), 480);
}

TEST_F(OpenGLCapsOnScreen, InitReplacesTheBatcherAndBuildsOnlyTheTexturedPrograms)
{
    ASSERT_TRUE(OpenGLCaps::Init());
    Tarv::OpenGLBatcher* batcher = Batcher();
    ASSERT_NE(batcher, nullptr);
    EXPECT_EQ(batcher->IsBufferOrphaning(), OpenGLCaps::GetVendor() == "Intel");
    for (int shader = 0; shader < 3; ++shader)
        EXPECT_TRUE(batcher->GetBuiltInShader(shader)->IsLinked()) << shader;
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
    EXPECT_FALSE(OpenGLCaps::HasGlsl() || OpenGLCaps::HasFramebufferObjects());
    EXPECT_EQ(OpenGLCaps::GetVendor(), "");
    EXPECT_EQ(OpenGLCaps::GetMaxTextureSize(), 0);
    EXPECT_EQ(Tarv::Batcher::Instance.Get(), nullptr);
}

} // namespace
