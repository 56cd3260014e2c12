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

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <regex>
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

    // Every text line of the screen's layout shows its text on one line within its box, which
    // stands inside its button or panel (the lines named in twoLines, laid out with room for a
    // second line, on at most two): in each language the game ships, with the layout's own texts
    // and after each of fills, which has the script write its texts.
    void ExpectEveryTextLineFits(std::initializer_list<std::function<void()>> fills,
                                 std::initializer_list<std::string> twoLines = {})
    {
        std::ifstream in(std::string(BRASHWICK_SOURCE_DIR "/content/common/xml/") + m_component + ".xml");
        const std::string layout((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::regex textLine("type=\"TextLine\" name=\"([^\"]+)\"");
        std::vector<std::string> names;
        for (std::sregex_iterator it(layout.begin(), layout.end(), textLine), end; it != end; ++it)
            names.push_back((*it)[1]);
        ASSERT_FALSE(names.empty());
        for (const char* language : {"en", "de"}) {
            ASSERT_TRUE(Tarv::TextDict::Instance->Load(std::string("l10n/") + language + ".xml"));
            for (const std::string& name : names)
                if (auto* line = dynamic_cast<Plim::TextLine*>(Control(name.c_str())))
                    line->RefreshText();
            for (const auto& fill : fills) {
                fill();
                for (const std::string& name : names) {
                    auto* line = dynamic_cast<Plim::TextLine*>(Control(name.c_str()));
                    const Plim::ColorText* text = line != nullptr ? line->GetCurrentText() : nullptr;
                    ASSERT_NE(text, nullptr) << name;
                    const bool two = std::find(twoLines.begin(), twoLines.end(), name) != twoLines.end();
                    EXPECT_LE(text->GetTextWidth(), text->GetBoxWidth() * (two ? 2 : 1))
                        << language << " " << name << ": " << Text(name.c_str());
                }
            }
        }
    }

    std::unique_ptr<Owner> owner = std::make_unique<Owner>();
    std::vector<std::string> errors;

private:
    std::string m_component;
    const char* m_atlas;
};

} // namespace GameTest
