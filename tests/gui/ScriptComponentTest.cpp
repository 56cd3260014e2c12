// Script components on real screens: layout paths from script paths, feedback to the owner,
// named calls with typed arguments (re-entered from the owner), the updater's order, loading
// through an asset client's queue, and a screen built on a loader thread while the main thread
// walks another.
#include "framework/LuaComponent.h"

#include "platform/AbstractApp.h"
#include "engine/script/LuaErrorQueue.h"
#include "framework/AssetClient.h"
#include "framework/LuaArguments.h"
#include "graphics/render/Surface.h"
#include "gui/Screen.h"
#include "tests/gui/GuiWorld.h"

#include <chrono>
#include <future>
#include <thread>

using Quor::LuaComponent;

namespace
{

// An owner that logs each feedback and answers "Fruit..." with a named call of its own.
class Owner : public Quor::AssetClient
{
public:
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override
    {
        log += component + ":" + command + " ";
        if (command.rfind("Fruit", 0) == 0) {
            Quor::LuaArguments inner;
            inner.AddString("inner");
            GetComponent(component)->CallFunction("Echo", inner);
        }
    }
    std::string log;
};

class ScriptComponents : public GuiTest::GuiWorld<>
{
protected:
    void SetUp() override
    {
        GuiWorld::SetUp();
        Plim::Screen::InstallFactory();
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { errors.push_back(report.message); });
    }

    void TearDown() override
    {
        Tarv::LuaErrorQueue::Global().Reset();
        Quor::ScriptScreen::SetFactory(nullptr);
        GuiWorld::TearDown();
    }

    std::vector<std::string> errors;
};

TEST(ScriptPaths, LayoutAndGlobalNamesComeFromTheScriptPath)
{
    const std::pair<const char*, const char*> layouts[] = {
        {"scripts/level_select.lua", "xml/level_select.xml"}, {"data/scripts/hud.lua", "data/xml/hud.xml"},
        {"menu.lua", "../xml/menu.xml"}, {"ui/menu.lua", "xml/menu.xml"}, {"a/b/ui/x.lua", "a/b/xml/x.xml"},
        {"s/x.lua", "xml/x.xml"}, {"/x.lua", "xml/x.xml"}, {"a//x.lua", "a/xml/x.xml"}};
    for (const auto& [script, layout] : layouts)
        EXPECT_EQ(LuaComponent::GetLayoutPath(script), layout) << script;
    EXPECT_EQ(LuaComponent::GetBaseName("scripts/level_select.lua"), "level_select");
}

TEST_F(ScriptComponents, CallsFeedbackAndTheUpdatersOrderReachTheScripts)
{
    Owner owner;
    owner.RequestAsset("scripts/menu.lua");
    owner.RequestAsset("scripts/hud.lua");
    owner.RequestAsset("scripts/menu.lua");
    owner.LoadQueued();
    EXPECT_EQ(owner.log, "menu:Ready2 menu:Ready2 ") << "the second menu ran once and was dropped";
    owner.log.clear();

    Quor::LuaArguments args;
    args.AddInt(12);
    args.AddBool(true);
    owner.GetComponent("menu")->CallFunction("UpdateFruitPoints", args);
    owner.GetComponent("menu")->CallFunction("Bad", Quor::LuaArguments());
    owner.GetUpdater().Update(0.1f);
    owner.GetUpdater().OnKeyDown(7);
    owner.GetUpdater().OnTouchDown({{5, 6}, {9, 9}});
    EXPECT_EQ(owner.log, "menu:Fruit12true menu:Echoinnerfalse hud:Update menu:Update hud:Key7 "
                         "menu:Key7 hud:Touch5,6 menu:Touch5,6 ");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Screen:Bad status = 2"), std::string::npos) << errors[0];
}

TEST_F(ScriptComponents, AScreenBuiltOnALoaderThreadLeavesTheMainThreadsScreenAlone)
{
    Owner shown, loading;
    shown.LoadComponent("scripts/hud.lua");
    loading.RequestAsset("scripts/menu.lua");
    std::atomic<bool> done{false};
    std::thread loader([&] {
        loading.LoadQueued();
        done = true;
    });
    Tarv::Surface nowhere(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int frames = 0;
    while ((!done || frames < 3) && std::chrono::steady_clock::now() < deadline) {
        shown.GetUpdater().Update(0.016f);
        shown.GetUpdater().Render(&nowhere);
        ++frames;
    }
    loader.join();
    ASSERT_TRUE(done);
    EXPECT_NE(loading.GetComponent("menu"), nullptr);
    EXPECT_EQ(loading.log, "menu:Ready2 ");
    EXPECT_TRUE(errors.empty());
}

} // namespace
