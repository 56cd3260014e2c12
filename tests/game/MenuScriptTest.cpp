// The shipped menu from the built archives on a real GL screen, with an owner that logs the
// commands and carries out the sound switches and the language as the menu state does: the sound
// prompt's answer, the high-score screen, the options, credits and developer screens, and their
// pictures in English and German against goldens (BRASHWICK_UPDATE_GOLDEN=1 rewrites them).
#include "engine/registry/TextDict.h"
#include "framework/AssetClient.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "game/MenuState.h"
#include "gui/Screen.h"
#include "gui/TextBox.h"
#include "platform/AbstractApp.h"
#include "tests/game/ShippedScriptTest.h"
#include "tests/support/BlockAverages.h"

namespace
{

class Owner : public Quor::AssetClient
{
public:
    void OnLuaFeedback(const Tarv::NarrowString&, const Tarv::NarrowString& command) override
    {
        log += command + " ";
        Quor::Settings& settings = *Quor::Settings::GetInstance();
        for (const auto& [name, key] : {std::pair{"SwitchSfx", "sfx_on"}, {"SwitchMusic", "music_on"}})
            if (command == name)
                settings.SetBool(key, !settings.GetBool(key));
        if (command == "UpdateLanguage") {
            Tarv::TextDict::Instance->Load("l10n/" + settings.GetString("language") + ".xml");
            GetComponent("menu")->GetScreen()->UpdateTexts();
        }
    }
    std::string log;
};

// Pictures are kept as 4 x 4 block averages: small files that still show every label's place.
constexpr int WIDTH = 800, HEIGHT = 480, BLOCK = 4;

std::vector<std::uint8_t> Blocks(const std::vector<std::uint8_t>& rgba)
{
    return TestSupport::BlockAverages(rgba, WIDTH, HEIGHT, 4, BLOCK);
}

} // namespace

class MenuScriptTest : public GameTest::ShippedScriptTest<Owner>
{
protected:
    MenuScriptTest() : ShippedScriptTest("menu", "menu.xml") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShippedScriptTest::SetUp());
        for (const char* key : {"sfx_on", "music_on", "dev/enable_cheats", "dev/unlock_all_levels", "dev/show_fps_mem"})
            Settings().SetBool(key, false);
        for (const auto& [key, value] : {std::pair{"game/score", 1400}, {"game/highScore", 770}, {"game/lives", 0},
                                         {"constants/start_lives", 5}})
            Settings().SetInt(key, value);
        Settings().SetString("language", "en");
        Settings().SetString("runtime/game_end_reason", "over");
        ASSERT_NO_FATAL_FAILURE(LoadScript());
    }

    void Call(const char* function, const char* text = nullptr)
    {
        Quor::LuaArguments args;
        if (text != nullptr)
            args.AddString(text);
        Component()->CallFunction(function, args);
    }

    bool Shows(const char* name)
    {
        Plim::Control* control = Control(name);
        return control != nullptr && control->IsVisibleInTree();
    }

    void ExpectGolden(const std::string& name)
    {
        Screen()->ClearGrey(110);
        Component()->GetScreen()->Draw(Screen());
        Batcher()->Flush();
        std::vector<std::uint8_t> rgba;
        ASSERT_TRUE(RenderTest::ReadBack(Screen(), 0, 0, WIDTH, HEIGHT, rgba));
        const std::vector<std::uint8_t> now = Blocks(rgba);
        const std::string path = std::string(BRASHWICK_SOURCE_DIR "/tests/game/golden/menu_") + name + ".ppm";
        const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
        if (update != nullptr && std::string(update) == "1") {
            std::ofstream out(path, std::ios::binary);
            out << "P6\n" << WIDTH / BLOCK << " " << HEIGHT / BLOCK << "\n255\n";
            out.write(reinterpret_cast<const char*>(now.data()), std::streamsize(now.size()));
        }
        std::ifstream in(path, std::ios::binary);
        std::string magic;
        int w = 0, h = 0, maximum = 0;
        ASSERT_TRUE(in >> magic >> w >> h >> maximum && w == WIDTH / BLOCK && h == HEIGHT / BLOCK) << path;
        in.get();
        std::vector<std::uint8_t> golden(now.size());
        ASSERT_TRUE(in.read(reinterpret_cast<char*>(golden.data()), std::streamsize(golden.size()))) << path;
        int differing = 0;
        for (std::size_t i = 0; i < now.size(); ++i)
            differing += std::abs(int(now[i]) - int(golden[i])) > 24 ? 1 : 0;
        EXPECT_LE(differing, int(now.size()) / 200) << name;
    }
};

// Both prompts turn each switch to the answer; a switch already there is left alone.
TEST_F(MenuScriptTest, TheSoundPromptsAnswerIsWhatIsHeard)
{
    struct Case {
        const char* call;
        const char* which;
        bool before;
        int x;
        const char* log;
        bool after;
    };
    const Case cases[] = {
        {"ShowMenu", "EnableSounds", false, 260, "SwitchSfx SwitchMusic PlayClickSound ", true},
        {"ShowMenu", "EnableSounds", false, 540, "", false},
        {"ShowMenu", "EnableSounds", true, 260, "PlayClickSound ", true},
        {"ShowMenu", "EnableSounds", true, 540, "SwitchSfx SwitchMusic ", false},
        {"FirstRun", nullptr, false, 260, "SwitchSfx SwitchMusic PlayClickSound ", true},
        {"FirstRun", nullptr, false, 540, "", false},
    };
    for (const Case& c : cases) {
        Settings().SetBool("sfx_on", c.before);
        Settings().SetBool("music_on", c.before);
        Call(c.call, c.which);
        Tap(c.x, 362);
        EXPECT_EQ(TakeLog(), c.log) << c.call << " " << c.x;
        EXPECT_EQ(Settings().GetBool("sfx_on"), c.after) << c.call << " " << c.x;
        EXPECT_EQ(Settings().GetBool("music_on"), c.after) << c.call << " " << c.x;
        EXPECT_TRUE(Shows("scr_main"));
    }
}

TEST_F(MenuScriptTest, TheEndOfAGameShowsTheScoreAgainstTheBest)
{
    struct Case {
        const char* reason;
        int score;
        int best;
        bool beaten;
        const char* golden;
    };
    const Case cases[] = {{"over", 1400, 770, true, "highscore"}, {"complete", 770, 1400, false, "highscore_de"},
                          {"over", 770, 770, false, nullptr}};
    for (const Case& c : cases) {
        if (c.golden != nullptr && std::string(c.golden) == "highscore_de") {
            Settings().SetString("language", "de");
            owner->OnLuaFeedback("menu", "UpdateLanguage");
        }
        Settings().SetString("runtime/game_end_reason", c.reason);
        Settings().SetInt("game/score", c.score);
        Settings().SetInt("game/highScore", c.best);
        Settings().SetInt("game/lives", 0);
        Call("NewHighScore");
        EXPECT_TRUE(Shows("scr_highscore"));
        EXPECT_EQ(Shows("hs_new"), c.beaten) << c.score;
        EXPECT_EQ(Settings().GetInt("game/highScore"), std::max(c.score, c.best)) << c.score;
        EXPECT_EQ(Settings().GetString("runtime/game_end_reason"), "");
        if (c.golden != nullptr)
            ExpectGolden(c.golden);
        Tap(400, 372);
        EXPECT_TRUE(Shows("scr_main"));
        EXPECT_TRUE(Shows("main_best"));
        EXPECT_EQ(Text("main_best"), Text("hs_best")) << "the main screen shows the same best";
        EXPECT_EQ(Settings().GetInt("game/lives"), 5);
        EXPECT_EQ(Settings().GetInt("game/score"), 0);
        EXPECT_EQ(Settings().GetInt("game/highScore"), std::max(c.score, c.best)) << "the best stays";
    }
    EXPECT_EQ(TakeLog(), "PlayClickSound UpdateLanguage PlayClickSound PlayClickSound ");
    // With no best yet the main screen has no line for it.
    Settings().SetInt("game/highScore", 0);
    Call("ShowMenu", "MainMenu");
    EXPECT_TRUE(Shows("scr_main"));
    EXPECT_FALSE(Shows("main_best"));
}

// Options, credits and back, in both languages.
TEST_F(MenuScriptTest, OptionsAndCredits)
{
    for (const char* language : {"en", "de"}) {
        Settings().SetString("language", language);
        owner->OnLuaFeedback("menu", "UpdateLanguage");
        Call("ShowMenu", "MainMenu");
        Tap(400, 278);
        ASSERT_TRUE(Shows("scr_options"));
        EXPECT_FALSE(Shows("btn_debug")) << "cheats are off";
        Tap(540, 232);
        EXPECT_TRUE(Shows("scr_options"));
        Tap(260, 158);
        Tap(260, 232);
        ExpectGolden(std::string("options_") + language);
        Tap(540, 158);
        ASSERT_TRUE(Shows("scr_credits"));
        auto* credits = static_cast<Plim::TextBox*>(Control("credits_text"));
        const int last = credits->GetTextHeight() - credits->GetBoxHeight();
        ASSERT_GT(last, 20) << "the credits are longer than their window";
        // Whole lines of the body font: none shows cut at the window's edges.
        constexpr int line = 23;
        EXPECT_EQ(credits->GetBoxHeight() % line, 0);
        EXPECT_EQ(last % line, 0);
        ExpectGolden(std::string("credits_") + language);
        Tap(400, 388);
        EXPECT_TRUE(Shows("scr_options"));
        Tap(400, 382);
        EXPECT_TRUE(Shows("scr_main"));
        EXPECT_EQ(TakeLog(), std::string("UpdateLanguage PlayClickSound SwitchSfx SwitchMusic PlayClickSound ") +
                                 "EnableTouch EnableTouch PlayClickSound DisableTouch PlayClickSound ");
        EXPECT_TRUE(Settings().GetBool("sfx_on"));
        Settings().SetBool("sfx_on", false);
        Settings().SetBool("music_on", false);
    }
}

TEST_F(MenuScriptTest, TheDeveloperScreenOnlyWithCheats)
{
    Settings().SetBool("dev/enable_cheats", true);
    for (const char* language : {"en", "de"}) {
        Settings().SetString("language", language);
        owner->OnLuaFeedback("menu", "UpdateLanguage");
        Call("ShowMenu", "MainMenu");
        Tap(400, 278);
        ASSERT_TRUE(Shows("btn_debug"));
        Tap(540, 232);
        ASSERT_TRUE(Shows("scr_debug"));
        TakeLog();
        const std::tuple<int, const char*, const char*, bool> taps[] = {
            {162, "dev/unlock_all_levels", "DebugLevelsLock ", true},
            {232, "dev/show_fps_mem", "DebugShowFpsMem ", true},
            {162, "dev/unlock_all_levels", "DebugLevelsLock ", false},
            {232, "dev/show_fps_mem", "DebugShowFpsMem ", false},
            {232, "dev/show_fps_mem", "DebugShowFpsMem ", true},
        };
        for (const auto& [y, key, log, on] : taps) {
            Tap(400, y);
            EXPECT_EQ(TakeLog(), log) << y;
            EXPECT_EQ(Settings().GetBool(key), on) << y;
        }
        ExpectGolden(std::string("debug_") + language);
        Settings().SetBool("dev/show_fps_mem", false);
    }
    // The reset keeps what is heard and applies the texts and read-out it brought back.
    Settings().SetBool("music_on", true);
    Tap(400, 302);
    EXPECT_EQ(TakeLog(), "DebugResetAllSettings UpdateLanguage DebugShowFpsMem ");
    EXPECT_TRUE(Settings().GetBool("music_on"));
    Tap(400, 388);
    EXPECT_TRUE(Shows("scr_options"));
}

// The pause screen is asked for before the game sets the level in progress aside: it shows the
// score without the level's points then, and the same once the game has lowered it.
TEST_F(MenuScriptTest, ThePauseScreenShowsTheScoreWithoutTheLevelInProgress)
{
    Settings().SetInt("runtime/levelScore", 30);
    for (bool playing : {true, false}) {
        Settings().SetInt("game/score", 1400);
        Settings().SetBool("runtime/playing", playing);
        Call("ShowMenu", "PauseMenu");
        const std::string shown = Text("pause_score");
        EXPECT_NE(shown.find(playing ? "1370" : "1400"), std::string::npos) << shown;
        Settings().SetInt("game/score", playing ? 1370 : 1400);
        owner->OnLuaFeedback("menu", "UpdateLanguage");
        EXPECT_EQ(Text("pause_score"), shown) << playing;
    }
    TakeLog();
}

// Every button's label and every line of text stays inside its button or panel on one line in
// each language, the developer screen's switches and the longest scores included.
TEST_F(MenuScriptTest, EveryLabelFitsItsButtonOrPanelInEachLanguage)
{
    for (const char* key : {"dev/enable_cheats", "dev/unlock_all_levels", "dev/show_fps_mem", "sfx_on", "music_on"})
        Settings().SetBool(key, true);
    Settings().SetInt("game/score", 99999);
    Settings().SetInt("game/highScore", 99999);
    ExpectEveryTextLineFits({[this] { Call("UpdateTexts"); },
                             [this] {
                                 for (const char* key : {"dev/unlock_all_levels", "dev/show_fps_mem", "sfx_on", "music_on"})
                                     Settings().SetBool(key, false);
                                 Call("UpdateTexts");
                             }},
                            {"first_title", "sound_q", "exit_q"});
}

// The pause screen's round switches, and the exit prompt, in both languages.
TEST_F(MenuScriptTest, PauseSwitchesAndTheExitPrompt)
{
    for (const char* language : {"en", "de"}) {
        Settings().SetString("language", language);
        owner->OnLuaFeedback("menu", "UpdateLanguage");
        Call("ShowMenu", "PauseMenu");
        Tap(348, 380);
        Tap(452, 380);
        EXPECT_EQ(Control("btn_pause_sfx")->GetRepresentationName(), "on");
        EXPECT_EQ(Control("btn_pause_music")->GetRepresentationName(), "on");
        ExpectGolden(std::string("pause_") + language);
        Tap(452, 380);
        EXPECT_EQ(Control("btn_pause_music")->GetRepresentationName(), "default");
        Settings().SetBool("sfx_on", false);
        Call("ShowMenu", "MainMenu");
        Tap(400, 418);
        EXPECT_TRUE(Shows("scr_exit"));
        ExpectGolden(std::string("exit_") + language);
        Tap(540, 362);
        EXPECT_TRUE(Shows("scr_main"));
        EXPECT_EQ(TakeLog(), "UpdateLanguage SwitchSfx SwitchMusic SwitchMusic PlayClickSound PlayClickSound ");
    }
    Tap(400, 418);
    Tap(260, 362);
    Tap(400, 418);
    EXPECT_EQ(TakeLog(), "PlayClickSound Exit ") << "nothing after the exit until the program calls again";
}

namespace
{

// The menu state itself under the shipped script, so that drags arrive as the program sends them:
// half the finger's pixels a move, from where the state last saw the finger.
class DraggingOwner : public Pirrock::MenuState
{
public:
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override
    {
        if (command == "EnableTouch" || command == "DisableTouch")
            MenuState::OnLuaFeedback(component, command);
    }
};

} // namespace

class MenuCreditsTest : public GameTest::ShippedScriptTest<DraggingOwner>
{
protected:
    static constexpr int LINE = 23;

    MenuCreditsTest() : ShippedScriptTest("menu", "menu.xml") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShippedScriptTest::SetUp());
        Settings().SetString("language", "en");
        ASSERT_NO_FATAL_FAILURE(LoadScript());
        Tap(400, 278);
        Tap(540, 158);
        credits = static_cast<Plim::TextBox*>(Control("credits_text"));
        ASSERT_TRUE(credits != nullptr && credits->IsVisibleInTree());
        last = credits->GetTextHeight() - credits->GetBoxHeight();
        ASSERT_GE(last, 4 * LINE) << "the credits are longer than their window";
    }

    int Shown() const { return credits->GetTextPosition(); }

    // The frames of the given time, a tenth of a second each; the places the text took on the way.
    std::vector<int> Roll(float seconds)
    {
        std::vector<int> places;
        for (int frame = 0; frame < int(seconds * 10.0f + 0.5f); ++frame) {
            owner->GetUpdater().Update(0.1f);
            if (places.empty() || places.back() != Shown())
                places.push_back(Shown());
        }
        return places;
    }

    // A finger from (400, from) to (400, to) in moves of 5 pixels (halving them cuts), then lifted.
    // While it moves the text stays within a line of where the finger has carried it since it
    // came down, and once it is lifted within half a line: it shows whole lines only.
    void Drag(int from, int to)
    {
        const int start = Shown();
        const auto carried = [&](int y) { return std::clamp(start + from - y, 0, last); };
        owner->GetUpdater().OnTouchDown({Tarv::TouchPoint{400, from}});
        for (int y = from; y != to;) {
            y = to > y ? std::min(to, y + 5) : std::max(to, y - 5);
            owner->OnTouchMove({Tarv::TouchPoint{400, y}});
            ASSERT_LE(std::abs(Shown() - carried(y)), LINE) << "from " << from << " at " << y;
        }
        owner->GetUpdater().OnTouchUp({Tarv::TouchPoint{400, to}});
        EXPECT_LE(std::abs(Shown() - carried(to)), LINE / 2) << from << " to " << to;
    }

    Plim::TextBox* credits = nullptr;
    int last = 0;
};

// Untouched, the credits roll a line at a time after a pause and stop at their last line; drags
// take the text with the finger from wherever the roll or the last drag left it, both ways, and
// the roll waits while a finger is on them.
TEST_F(MenuCreditsTest, RollOnAndFollowEachDrag)
{
    EXPECT_EQ(Roll(2.5f), std::vector<int>{0}) << "a pause first";
    std::vector<int> lines;
    for (int at = 0; at <= last; at += LINE)
        lines.push_back(at);
    const std::vector<int> rolled = Roll(float(last / LINE) + 1.0f);
    EXPECT_EQ(rolled, lines) << "a line a second to the last";
    EXPECT_EQ(Roll(10.0f), std::vector<int>{last}) << "the last line stays";

    // A mouse moving with no button held drags nothing, and leaves no jump for the next drag.
    owner->OnTouchMove({Tarv::TouchPoint{400, 140}});
    owner->OnTouchMove({Tarv::TouchPoint{400, 310}});
    EXPECT_EQ(Shown(), last);

    // Down twice the same way, the second drag begun far from where the first ended; then up.
    for (const auto& [from, to] : {std::pair{150, 196}, {240, 286}, {280, 234}, {140, 300}}) {
        Drag(from, to);
        EXPECT_EQ(Roll(2.9f).size(), 1u) << "the roll waits again after a drag";
    }
    EXPECT_EQ(Shown(), 0) << "the first lines come back";

    // A finger held still on the text holds the roll.
    owner->GetUpdater().OnTouchDown({Tarv::TouchPoint{400, 200}});
    EXPECT_EQ(Roll(5.0f), std::vector<int>{0});
    owner->GetUpdater().OnTouchUp({Tarv::TouchPoint{400, 200}});
    EXPECT_EQ(Roll(3.1f), (std::vector<int>{0, LINE}));
}
