// The registry's "/machine" keys report the real driver and the screen through GLMachineInfo.
#include "graphics/render/GLMachineInfo.h"

#include "engine/registry/Registry.h"
#include "graphics/render/OpenGLCaps.h"
#include "tests/graphics/render/RenderTestScreen.h"

namespace
{

class GLMachineKeys : public RenderTest::ScreenTest
{
};

TEST_F(GLMachineKeys, ReportTheDriverStringsAndTheScreen)
{
    Tarv::Registry registry(&Tarv::GLMachineInfo::Get());
    Tarv::NarrowString text;
    ASSERT_TRUE(registry.GetString("/machine/gl/vendor", text));
    EXPECT_EQ(text, reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
    ASSERT_TRUE(registry.GetString("/machine/gl/renderer", text));
    EXPECT_EQ(text, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    EXPECT_NE(text.find("llvmpipe"), std::string::npos);
    ASSERT_TRUE(registry.GetString("/machine/gl/version", text));
    EXPECT_EQ(text, reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    int value = 0;
    ASSERT_TRUE(registry.GetInt("/machine/gl/texsize", value));
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    EXPECT_EQ(value, size);
    bool flag = false;
    ASSERT_TRUE(registry.GetBool("/machine/gl/glsl", flag));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(registry.GetBool("/machine/gl/fbo", flag));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(registry.GetInt("/machine/resolution/x", value));
    EXPECT_EQ(value, 800);
    ASSERT_TRUE(registry.GetInt("/machine/resolution/y", value));
    EXPECT_EQ(value, 480);
    ASSERT_TRUE(registry.GetInt("/machine/orientation", value));
    EXPECT_EQ(value, 90);
}

TEST_F(GLMachineKeys, FollowAResizedScreen)
{
    Tarv::Registry registry(&Tarv::GLMachineInfo::Get());
    Tarv::SmartPtr<Tarv::Display> portrait(Tarv::Display::Create(480, 800));
    int value = 0;
    ASSERT_TRUE(registry.GetInt("/machine/resolution/x", value));
    EXPECT_EQ(value, 480);
    ASSERT_TRUE(registry.GetInt("/machine/orientation", value));
    EXPECT_EQ(value, 0);
    Tarv::SmartPtr<Tarv::Display> landscape(Tarv::Display::Create(800, 480));
    ASSERT_TRUE(registry.GetInt("/machine/resolution/y", value));
    EXPECT_EQ(value, 480);
}

} // namespace
