// Animated surfaces (their timing is the animation timer's): what the surface reports for its
// current frame, the script functions and a script's Update, and an animation drawn at its offsets.
#include "graphics/image/AnimatedSurface.h"

#include "ImageTestFiles.h"
#include "engine/script/Lua.h"
#include "engine/script/LuaErrorQueue.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cmath>
#include <limits>

using namespace Tarv;
using Frame = AnimatedSurface::Frame;

namespace
{

SmartPtr<Surface> Image(int width, int height)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4, 0xFF);
    return SmartPtr<Surface>(new Surface(
        PixelDataGL::CreateFromPixels(width, height, PixelDataGL::FORMAT_RGBA8888, pixels.data(), pixels.size())));
}

std::vector<Frame> Frames(std::initializer_list<float> seconds)
{
    std::vector<Frame> frames;
    int size = 1;
    for (float time : seconds) {
        frames.push_back(Frame{Image(size, size + 1), time, size, -size});
        ++size;
    }
    return frames;
}

} // namespace

TEST(AnimatedSurface, ReportsTheCurrentFramesImage)
{
    std::vector<Frame> frames = Frames({0.1f, 0.1f});
    frames[1].image->SetFlags(Surface::FLAG_LINEAR);
    AnimatedSurface animation(frames, false, nullptr);
    EXPECT_EQ(animation.GetWidth(), 1);
    EXPECT_EQ(animation.GetHeight(), 2);
    EXPECT_EQ(animation.GetDrawOffsetX(), 1);
    EXPECT_EQ(animation.GetDrawOffsetY(), -1);
    EXPECT_EQ(animation.GetFlags(0xffffffffu), 0u);
    EXPECT_EQ(animation.GetPixelData(), frames[0].image->GetPixelData());
    // The animation's own flags are not consulted.
    animation.SetFlags(Surface::FLAG_COLOR_KEY);
    EXPECT_EQ(animation.GetFlags(0xffffffffu), 0u);
    ASSERT_TRUE(animation.ShowFrame(1));
    EXPECT_EQ(animation.GetFlags(0xffffffffu), Surface::FLAG_LINEAR);
    EXPECT_EQ(animation.GetRect()[2], 2);
    EXPECT_EQ(animation.GetRect()[3], 3);
    EXPECT_EQ(animation.GetPixelData(), frames[1].image->GetPixelData());
    EXPECT_FALSE(animation.ShowFrame(2));
    EXPECT_EQ(animation.GetFrameIndex(), 1u);
}

TEST(AnimatedSurface, FramesWithoutImageAreLeftOut)
{
    std::vector<Frame> frames = Frames({0.1f, 0.2f});
    frames[0].image.Reset();
    AnimatedSurface animation(frames, false, nullptr);
    EXPECT_EQ(animation.GetFrameCount(), 1u);
    EXPECT_FLOAT_EQ(animation.GetTimeLeft(), 0.2f);

    AnimatedSurface empty({}, true, nullptr);
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.GetPixelData(), nullptr);
    EXPECT_FALSE(empty.Update(0.1f));
}

TEST(AnimatedSurfaceNumbers, AlphaKeepsTheLowEightBits)
{
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(300), 44);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(-1), 255);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(255.9), 255);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(-0.5), 0);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(1e300), 0);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(AnimatedSurface::ToAlphaByte(std::numeric_limits<double>::infinity()), 0);
}

TEST(AnimatedSurfaceNumbers, FrameIndicesTruncateAndNeverWrap)
{
    EXPECT_EQ(AnimatedSurface::ToFrameIndex(1.9), 1u);
    EXPECT_EQ(AnimatedSurface::ToFrameIndex(-3), 0u);
    EXPECT_EQ(AnimatedSurface::ToFrameIndex(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(AnimatedSurface::ToFrameIndex(4294967296.0 + 1), 0xffffffffu);
}

namespace
{

class AnimatedSurfaceScript : public ::testing::Test
{
protected:
    void SetUp() override { LuaErrorQueue::Global().Reset(); }
    void TearDown() override { LuaErrorQueue::Global().Reset(); }

    SmartPtr<AnimatedSurface> Run(const char* script, std::vector<Frame> frames)
    {
        m_folder.WriteText("anim.lua", script);
        return MakeSmart<AnimatedSurface>(frames, false, "anim.lua");
    }
    double Global(AnimatedSurface& animation, const char* name)
    {
        lua_State* state = animation.GetScript()->GetState();
        lua_getglobal(state, name);
        const double value = lua_tonumber(state, -1);
        lua_pop(state, 1);
        return value;
    }

    ImageTestFiles::Folder m_folder{"animscript"};
};

} // namespace

TEST_F(AnimatedSurfaceScript, TopLevelCodeSeesTheFrames)
{
    SmartPtr<AnimatedSurface> animation = Run(
        "count = NumFrames() first = FrameNum() t0 = FrameTime(0) t1 = FrameTime(1) "
        "outside = FrameTime(7) SetFrame(2) SetAlpha(300) "
        "function Update(dt) return 1 end",
        Frames({0.1f, 1.0f, 0.5f}));
    ASSERT_TRUE(animation->HasScript());
    EXPECT_EQ(Global(*animation, "count"), 3);
    EXPECT_EQ(Global(*animation, "first"), 0);
    EXPECT_EQ(Global(*animation, "t0"), 6553);
    EXPECT_EQ(Global(*animation, "t1"), 65536);
    EXPECT_EQ(Global(*animation, "outside"), 0);
    EXPECT_EQ(animation->GetFrameIndex(), 2u);
    EXPECT_EQ(animation->GetWidth(), 3);
    EXPECT_EQ(animation->GetAlpha(), 44);
}

TEST_F(AnimatedSurfaceScript, UpdateFollowsTheScriptAlone)
{
    SmartPtr<AnimatedSurface> animation = Run(
        "total = 0 "
        "function Update(dt) total = total + dt "
        "  if total > 1 then SetFrame(-5) SetAlpha(-1) return 0 end "
        "  SetFrame(FrameNum() + 1) return 1 end",
        Frames({0.1f, 0.1f, 0.1f}));
    EXPECT_TRUE(animation->Update(0.5f));
    EXPECT_EQ(animation->GetFrameIndex(), 1u);
    EXPECT_TRUE(animation->Update(0.25f));
    EXPECT_EQ(animation->GetFrameIndex(), 2u);
    // Past the last frame SetFrame changes nothing.
    EXPECT_TRUE(animation->Update(0.0f));
    EXPECT_EQ(animation->GetFrameIndex(), 2u);
    EXPECT_FALSE(animation->Update(1.0f));
    EXPECT_EQ(animation->GetFrameIndex(), 0u);
    EXPECT_EQ(animation->GetAlpha(), 255);
    EXPECT_EQ(Global(*animation, "total"), 1.75);
    EXPECT_EQ(lua_gettop(animation->GetScript()->GetState()), 0);
}

// "this" is the animation as a light userdata, and the state holds no other global of its own.
TEST_F(AnimatedSurfaceScript, ThisIsTheAnimationAsAPointer)
{
    SmartPtr<AnimatedSurface> animation = Run(
        "SetFrame(1) function Update(dt) return true end", Frames({0.1f, 0.1f}));
    EXPECT_EQ(animation->GetFrameIndex(), 1u);
    lua_State* state = animation->GetScript()->GetState();
    lua_getglobal(state, "this");
    EXPECT_EQ(lua_type(state, -1), LUA_TLIGHTUSERDATA);
    EXPECT_EQ(lua_touserdata(state, -1), static_cast<void*>(animation.Get()));
    lua_getglobal(state, "AnimatedSurface");
    EXPECT_TRUE(lua_isnil(state, -1));
    lua_pop(state, 2);
    // Only the number 1 goes on.
    EXPECT_FALSE(animation->Update(0.1f));
}

// A script that overwrote "this" gets a script error from the functions, not a stray pointer.
TEST_F(AnimatedSurfaceScript, TheFunctionsRefuseAnOverwrittenThis)
{
    std::vector<LuaErrorReport> reports;
    LuaErrorQueue::Global().SetHandler([&](const LuaErrorReport& report) { reports.push_back(report); });
    SmartPtr<AnimatedSurface> animation = Run(
        "this = 3 function Update(dt) SetFrame(1) return 1 end", Frames({0.1f, 0.1f}));
    EXPECT_FALSE(animation->Update(0.1f));
    EXPECT_EQ(animation->GetFrameIndex(), 0u);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].message.find("this"), std::string::npos) << reports[0].message;
}

// A failed call is reported once; the script's Update is still called at every update, so a
// script that fails once goes on afterwards.
TEST_F(AnimatedSurfaceScript, AFailingUpdateIsReportedOnceAndCalledAgain)
{
    std::vector<LuaErrorReport> reports;
    LuaErrorQueue::Global().SetHandler([&](const LuaErrorReport& report) { reports.push_back(report); });
    SmartPtr<AnimatedSurface> animation = Run(
        "calls = 0 function Update(dt) calls = calls + 1 "
        "if calls < 3 then return SetFrame('x') end return 1 end", Frames({0.1f, 0.1f}));
    EXPECT_FALSE(animation->Update(0.1f));
    EXPECT_FALSE(animation->Update(0.1f));
    EXPECT_TRUE(animation->Update(0.1f));
    EXPECT_EQ(Global(*animation, "calls"), 3);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].heading, "Animation script anim.lua");
    EXPECT_EQ(animation->GetFrameIndex(), 0u);
    // The error text the failed call left is taken off again.
    EXPECT_EQ(lua_gettop(animation->GetScript()->GetState()), 0);
}

// No standard library is open, and a script without Update ends the animation.
TEST_F(AnimatedSurfaceScript, ScriptsAreBare)
{
    SmartPtr<AnimatedSurface> animation = Run(
        "bare = (math == nil and print == nil) and 1 or 0", Frames({0.1f}));
    EXPECT_EQ(Global(*animation, "bare"), 1);
    EXPECT_FALSE(animation->Update(0.1f));
}

namespace
{

class AnimatedSurfaceDrawing : public RenderTest::ScreenTest
{
};

} // namespace

TEST_F(AnimatedSurfaceDrawing, DrawsTheCurrentFrameAtItsOffset)
{
    std::vector<Frame> frames;
    frames.push_back(Frame{RenderTest::MakeImage(2, 2, PixelDataGL::FORMAT_RGB888,
                                                 [](int, int) { return RenderTest::Rgba{255, 0, 0, 255}; }),
                           0.1f, 0, 0});
    frames.push_back(Frame{RenderTest::MakeImage(2, 2, PixelDataGL::FORMAT_RGB888,
                                                 [](int, int) { return RenderTest::Rgba{0, 255, 0, 255}; }),
                           0.1f, 10, 5});
    SmartPtr<AnimatedSurface> animation = MakeSmart<AnimatedSurface>(frames, true, nullptr);
    const int rect[4] = {0, 0, 2, 2};
    Screen()->Blit(100, 100, animation.Get(), rect);
    EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), 100, 100), RenderTest::Rgba{255, 0, 0, 255}));
    animation->Update(0.2f);
    Screen()->Blit(200, 100, animation.Get(), rect);
    EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), 210, 105), RenderTest::Rgba{0, 255, 0, 255}));
    EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), 200, 100), RenderTest::Rgba{0, 0, 0, 255}));
}
