// Shared by the tests of the shipped screen scripts (HUD, menu): the built archives, the English
// texts, the screen's atlas and the scripted screens on a real GL screen; the script loaded by an
// owner of the test's own kind once the test has set the keys it reads; taps, named controls and
// what a text line shows; script errors collected and checked at the end.
#pragma once

#include "engine/registry/TextDict.h"
#include "engine/script/LuaErrorQueue.h"
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "framework/LuaComponent.h"
#include "gui/ColorText.h"
#include "gui/Screen.h"
#include "gui/TextLine.h"
#include "tests/game/GameWorld.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace GameTest
{

// Owner: a Quor::AssetClient that takes the script's commands. The script is
// "scripts/<component>.lua"; atlas is the one its screen draws from.
template <class Owner>
class ShippedScriptTest : public RenderTest::ScreenTest, public GameFiles
{
protected:
    ShippedScriptTest(const char* component, const char* atlas) : m_component(component), m_atlas(atlas) {}

    void SetUp() override
    {
        ScreenTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(MountBuiltArchives());
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
        ASSERT_TRUE(Tarv::TextDict::Instance->Load("l10n/en.xml"));
        ASSERT_TRUE(Quor::LoadAtlas(m_atlas));
        Plim::Screen::InstallFactory();
        Tarv::LuaErrorQueue::Global().SetHandler([this](const Tarv::LuaErrorReport& r) { errors.push_back(r.message); });
        Settings().Init("quor", "", "", true);
    }

    // Loads the script (its Initialize reads the keys set so far).
    void LoadScript()
    {
        owner->RequestAsset("scripts/" + m_component + ".lua");
        owner->LoadQueued();
        ASSERT_NE(Component(), nullptr);
    }

    void TearDown() override
    {
        owner.reset();
        Tarv::LuaErrorQueue::Global().Reset();
        Quor::ScriptScreen::SetFactory(nullptr);
        Quor::UnloadAtlas(m_atlas);
        Tarv::TextDict::Instance.Reset();
        Tarv::AssetDict::Instance.Reset();
        EXPECT_TRUE(errors.empty()) << errors.front();
        ScreenTest::TearDown();
    }

    Quor::LuaComponent* Component() const { return owner->GetComponent(m_component); }

    void Tap(int x, int y)
    {
        owner->GetUpdater().OnTouchDown({Tarv::TouchPoint{x, y}});
        owner->GetUpdater().OnTouchUp({Tarv::TouchPoint{x, y}});
    }

    std::string TakeLog() { return std::exchange(owner->log, ""); }

    Plim::Control* Control(const char* name) const
    {
        auto* screen = dynamic_cast<Plim::Screen*>(Component()->GetScreen());
        return screen != nullptr ? screen->GetNamedControl(name) : nullptr;
    }

    // What a text line shows, "?" when there is no such line.
    std::string Text(const char* name) const
    {
        auto* line = dynamic_cast<Plim::TextLine*>(Control(name));
        const Plim::ColorText* text = line != nullptr ? line->GetCurrentText() : nullptr;
        return text != nullptr ? std::string(Tarv::NarrowString(text->GetText())) : "?";
    }

    std::unique_ptr<Owner> owner = std::make_unique<Owner>();
    std::vector<std::string> errors;

private:
    std::string m_component;
    const char* m_atlas;
};

} // namespace GameTest
