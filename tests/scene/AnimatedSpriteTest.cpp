// The animated sprite and its file: defaults and overrides, frame timing with exactly
// representable steps and its end notices in a real process manager, navigation, mirrored
// offsets, rate changes, and damaged files.
#include "scene/AnimatedSprite.h"

#include "framework/ProcessManager.h"
#include "framework/ProcessObserver.h"
#include "tests/scene/SceneFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

using namespace Vund;
using Tarv::SmartPtr;

namespace
{

const char* const ANIMATIONS = R"(<s default-canvas-width="64" default-canvas-height="64" default-fps="10" default-loop="true">
  <animation name="walk"><frame x="10" y="4">a.png</frame><frame>b.png</frame><frame>a.png</frame><frame>b.png</frame></animation>
  <animation name="jump" fps="20" loop="no"><frame>a.png</frame><frame x="1">b.png</frame></animation>
  <animation name="still" fps="8" canvas-width="32" canvas-height="0x10"><frame>missing.png</frame></animation>
  <animation name="walk" fps="1"><frame>b.png</frame></animation>
  <animation name="empty"><other>a.png</other></animation>
  <animation fps="5"><frame>a.png</frame></animation>
</s>)";

struct Ends : Quor::ProcessObserver {
    void OnProcessEnd(Quor::Process*) override { ++count; }
    int count = 0;
};

class AnimatedSpriteFile : public SceneTest::SceneFiles
{
protected:
    void SetUp() override
    {
        WritePng("a.png", 20, 8, 200, 0, 0);
        WritePng("b.png", 12, 8, 0, 200, 0);
        Write("anim.xml", ANIMATIONS);
        sprite = SmartPtr<AnimatedSprite>(new AnimatedSprite("anim.xml", Vector3D(), "", 1.0f));
        manager.AddObserver(&ends);
        manager.AddProcess(sprite.Get());
    }

    // Ticks the manager once per step; "frame/notices so far" after each tick.
    std::string Run(std::initializer_list<float> steps)
    {
        std::string trace;
        for (float dt : steps) {
            manager.Tick(dt);
            trace += std::to_string(sprite->GetFrameIndex()) + "/" + std::to_string(ends.count) + " ";
        }
        return trace;
    }

    SmartPtr<AnimatedSprite> sprite;
    Quor::ProcessManager manager{"sprites"};
    Ends ends;
};

} // namespace

TEST_F(AnimatedSpriteFile, ReadsDefaultsOverridesAndDuplicates)
{
    EXPECT_EQ(sprite->GetNames(), (std::vector<Tarv::NarrowString>{"walk", "jump", "still", "walk"}));
    const AnimatedSprite::Animation* walk = sprite->GetAnimation("walk");
    const AnimatedSprite::Animation* jump = sprite->GetAnimation("jump");
    ASSERT_TRUE(walk && jump);
    EXPECT_EQ(walk->interval, 0.1f);
    EXPECT_EQ(walk->frames->size(), 4u); // the first definition stays
    EXPECT_EQ(jump->interval, 0.05f);
    EXPECT_FALSE(jump->loop);
    EXPECT_EQ(jump->index, 1);
    EXPECT_EQ(sprite->GetAnimation("empty"), nullptr);
    EXPECT_EQ(sprite->GetAnimationName(), "walk");
    EXPECT_EQ(sprite->GetWidth(), 64);
    sprite->Play("still");
    EXPECT_EQ(sprite->GetWidth(), 32);
    EXPECT_EQ(sprite->GetHeight(), 16);
    EXPECT_EQ(sprite->GetSurface(), nullptr); // its image is missing
    Write("rates.xml", R"(<r default-fps="7" default-loop="no">
        <animation name="hex" fps="0x0C" loop="TRUE"><frame>a.png</frame></animation>
        <animation name="octal" fps="012" loop="yes"><frame>a.png</frame></animation>
        <animation name="tail" fps="12abc"><frame>a.png</frame></animation>
        <animation name="letters" fps="abc"><frame>a.png</frame></animation></r>)");
    AnimatedSprite rates("rates.xml", Vector3D(), "", 1.0f);
    const std::pair<const char*, int> fps[] = {{"hex", 12}, {"octal", 10}, {"tail", 12}, {"letters", 7}};
    for (const auto& [name, want] : fps)
        EXPECT_EQ(rates.GetFps(name), want) << name;
    EXPECT_FALSE(rates.GetAnimation("hex")->loop);
    EXPECT_TRUE(rates.GetAnimation("octal")->loop);
}

TEST_F(AnimatedSpriteFile, LoopingAndNonLoopingEnds)
{
    EXPECT_EQ(Run({0.1f, 0.1f, 0.1f, 0.1f, 0.1f}), "1/0 2/0 3/0 0/1 1/1 ");
    sprite->StartAnimation("walk", false);
    EXPECT_EQ(Run({0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f}), "1/1 2/1 3/1 3/2 3/3 3/4 ");
    // Catch-up over several frames; the rest of a tick that wraps is dropped.
    sprite->Play("walk");
    EXPECT_EQ(Run({0.35f, 0.35f, 0.05f}), "3/4 0/5 0/5 ");
    sprite->Play("still"); // a single frame at 8 per second
    EXPECT_EQ(Run({0.125f, 0.125f}), "0/6 0/7 ");
    sprite->Kill();
    manager.Tick(0.125f);
    EXPECT_TRUE(manager.GetItems().empty());
    EXPECT_EQ(ends.count, 8);
}

TEST_F(AnimatedSpriteFile, PlayRestartsNavigationWrapsAndMirrorsOffsets)
{
    Run({0.1f, 0.1f, 0.05f});
    sprite->Play("walk");
    EXPECT_EQ(sprite->GetFrameIndex(), 0);
    EXPECT_EQ(sprite->GetAccumulator(), 0.0f);
    EXPECT_FALSE(sprite->PreviousFrame());
    EXPECT_EQ(sprite->GetFrameIndex(), 3);
    sprite->StartAnimation("walk", false);
    EXPECT_FALSE(sprite->PreviousFrame());
    EXPECT_EQ(sprite->GetFrameIndex(), 0);
    sprite->PreviousAnimation();
    EXPECT_EQ(sprite->GetAnimationName(), "walk"); // the last name is the duplicate "walk"
    sprite->Play("still");
    sprite->NextAnimation();
    sprite->NextAnimation();
    EXPECT_EQ(sprite->GetAnimationName(), "jump"); // via the duplicate, whose entry is the first
    sprite->Play("walk");
    sprite->mirrorMode = 2;
    EXPECT_EQ(sprite->GetOffset().x, 64 - 10 - 20);
    EXPECT_EQ(sprite->GetOffset().y, 4);
    sprite->Play("still");
    EXPECT_EQ(sprite->GetOffset().x, 32); // no image: width 0
}

TEST_F(AnimatedSpriteFile, RateChangesAndReload)
{
    sprite->SetFps("jump", 4); // not playing: the process keeps its interval
    EXPECT_EQ(sprite->GetInterval(), 0.1f);
    Run({0.1f});
    sprite->SetFps("walk", 4);
    EXPECT_EQ(Run({0.125f, 0.125f}), "1/0 2/0 ");
    sprite->SetFps("walk", 0);
    EXPECT_EQ(sprite->GetFps("walk"), 0);
    EXPECT_EQ(Run({1.0f, 5.0f}), "2/0 2/0 ");
    sprite->SetFps("walk", -3);
    EXPECT_EQ(Run({1.0f}), "2/0 ");
    sprite->Play("jump");
    Run({0.25f});
    std::string changed = ANIMATIONS;
    changed.replace(changed.find("fps=\"20\""), 8, "fps=\"8\"");
    Write("anim.xml", changed);
    sprite->ReloadFps();
    EXPECT_EQ(sprite->GetInterval(), 0.125f); // the playing animation, from its current frame
    EXPECT_EQ(sprite->GetFrameIndex(), 1);
    EXPECT_EQ(sprite->GetFps("walk"), 1); // the duplicate "walk" is read last
}

TEST_F(AnimatedSpriteFile, MissingFilesAndNamesChangeNothing)
{
    sprite->Play("nope");
    sprite->StartAnimation("nope", false);
    sprite->SetFps("nope", 3);
    EXPECT_EQ(sprite->GetFps("nope"), 0);
    EXPECT_EQ(sprite->GetAnimationName(), "walk");
    for (const char* text : {"", "<broken", "<s><animation name=\"x\"/></s>"}) {
        Write("bad.xml", text);
        AnimatedSprite empty("bad.xml", Vector3D(), "", 1.0f);
        EXPECT_TRUE(empty.GetNames().empty());
        EXPECT_EQ(empty.GetAnimationName(), "");
        EXPECT_EQ(empty.GetSurface(), nullptr);
        EXPECT_TRUE(empty.Tick(0.5f));
        empty.NextAnimation();
        EXPECT_FALSE(empty.PreviousFrame());
    }
    std::future<SmartPtr<AnimatedSprite>> built = std::async(std::launch::async, [] {
        return SmartPtr<AnimatedSprite>(new AnimatedSprite("anim.xml", Vector3D(), "linear", 1.0f));
    });
    ASSERT_EQ(built.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(built.get()->GetSurface(), sprite->GetSurface()); // built on a loader thread, images shared
}
