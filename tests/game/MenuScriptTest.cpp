// The shipped menu from the built archives on a real GL screen, with an owner that logs the
// commands and carries out the sound switches and the language as the menu state does: the sound
// prompt's answer, the high-score screen, the options, credits and developer screens, and their
// pictures in English and German against goldens (BRASHWICK_UPDATE_GOLDEN=1 rewrites them).
#include "engine/registry/TextDict.h"
#include "framework/AssetClient.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
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

    void Drag(int step)
    {
        Quor::LuaArguments args;
        args.AddInt(step);
        Component()->CallFunction("OnMultitouchMove", args);
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

// Options, credits (drags scroll them only while they show) and back, in both languages.
TEST_F(MenuScriptTest, OptionsAndCreditsScrolledByDrags)
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
        const std::pair<int, int> drags[] = {{-5, 0}, {12, line}, {8, line}, {-10, 0}, {10000, last}};
        for (const auto& [step, at] : drags) {
            Drag(step);
            EXPECT_EQ(credits->GetTextPosition(), at) << step;
        }
        Drag(-10000);
        ExpectGolden(std::string("credits_") + language);
        Tap(400, 388);
        EXPECT_TRUE(Shows("scr_options"));
        Drag(30);
        EXPECT_EQ(credits->GetTextPosition(), 0) << "no scrolling once they are gone";
        Tap(400, 382);
        EXPECT_TRUE(Shows("scr_main"));
        EXPECT_EQ(TakeLog(), std::string("UpdateLanguage PlayClickSound SwitchSfx SwitchMusic ") +
                                 "PlayClickSound EnableTouch PlayClickSound DisableTouch PlayClickSound ");
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
