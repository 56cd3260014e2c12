// The application's start-up end to end: the program (the tests' build, which reports its
// progress on standard output) on a private Xvfb with its settings folder in a temporary
// XDG_CONFIG_HOME. It mounts the archives beside it, loads the defaults (or the user's file),
// enters its first state through the loading screen, runs its fixed step, and writes the
// settings file when the window manager asks it to close.
#include "framework/Application.h"

#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/InputState.h"
#include "framework/System.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Wait.h"
#include "tests/support/XClient.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <ftw.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using TestSupport::ChildProcess;

constexpr int WAIT_MS = 20000;
// The program tests' build of the program, which reports its progress on standard output.
const std::string PROGRAM = std::string(BRASHWICK_OUTPUT_DIR) + "/brashwick-reporting";
const std::string DEFAULTS = std::string(BRASHWICK_SOURCE_DIR) + "/content/platform/config/defaults.xml";

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path);
}

// The text with every line that holds only an XML comment taken out.
std::string WithoutCommentLines(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    std::string result;
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line.compare(first, 4, "<!--") == 0)
            continue;
        result += line + "\n";
    }
    return result;
}

// Position of the line in the output, or npos.
std::size_t Find(const std::string& output, const std::string& line)
{
    return output.find(line);
}

class StartUp : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsRunning());
        ASSERT_TRUE(m_client.IsOpen());
        char pattern[] = "/tmp/brashwick-startup-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        m_config = made;
        m_settingsFile = m_config + "/Brashwick/settings.xml";
    }

    void TearDown() override { nftw(m_config.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS); }

    void PlaceSettingsFile(const std::string& text)
    {
        mkdir((m_config + "/Brashwick").c_str(), 0700);
        TestFiles::WriteText(m_settingsFile, text);
    }

    // Runs the program from another folder until its first state has run a logic step (and
    // then for idle longer), then closes its window and expects exitStatus; returns its
    // output. The sound server is made unreachable, so the mixer runs without a device.
    std::string RunUntilTheFirstStateRuns(int exitStatus = 0, const std::string& program = PROGRAM,
                                          std::chrono::milliseconds idle = std::chrono::milliseconds(0))
    {
        ChildProcess child;
        Start(child, program);
        const unsigned long window = m_client.WaitForWindow("Brashwick", WAIT_MS);
        EXPECT_NE(window, 0u) << child.GetOutput();
        EXPECT_TRUE(TestSupport::WaitUntil(
            [&] { return child.GetOutput().find("active state vexolan logo") != std::string::npos; }, WAIT_MS))
            << child.GetOutput();
        std::this_thread::sleep_for(idle);
        m_client.SendDeleteWindow(window);
        EXPECT_TRUE(child.WaitForExit(WAIT_MS));
        EXPECT_EQ(child.GetExitStatus(), exitStatus) << child.GetOutput();
        return child.GetOutput();
    }

    void Start(ChildProcess& program, const std::string& path)
    {
        const bool started = program.Start({path},
                                           {{"DISPLAY", m_server.GetDisplayName()},
                                            {"XDG_CONFIG_HOME", m_config},
                                            {"PULSE_SERVER", "unix:" + m_config + "/no-sound-server"},
                                            {"ASAN_OPTIONS", ChildProcess::ProgramSanitizerOptions()},
                                            {"LSAN_OPTIONS", ChildProcess::ProgramLeakOptions()}},
                                           "/");
        ASSERT_TRUE(started);
    }

    TestSupport::XvfbServer m_server{24};
    TestSupport::XClient m_client{m_server.GetDisplayName()};
    std::string m_config;
    std::string m_settingsFile;
};

} // namespace

// The run idles a while too, so its frame count shows the pacing to the display rate.
TEST_F(StartUp, FirstRunLoadsTheDefaultsEntersThroughTheLoadingScreenAndSavesOnClose)
{
    const std::string output = RunUntilTheFirstStateRuns(0, PROGRAM, std::chrono::milliseconds(1500));
    EXPECT_NE(Find(output, std::string("running in ") + BRASHWICK_OUTPUT_DIR + "\n"), std::string::npos) << output;
    EXPECT_NE(Find(output, "settings loaded from config/defaults.xml, version 1.0.0, 0 keys added"),
              std::string::npos)
        << output;
    EXPECT_NE(Find(output, "settings are saved in " + m_settingsFile + "\n"), std::string::npos) << output;
    EXPECT_NE(Find(output, "texts from l10n/en.xml: IDS_LOADING = Loading\u2026\n"), std::string::npos) << output;
    EXPECT_NE(Find(output, "logic step 0.033333 s"), std::string::npos) << output;
    EXPECT_NE(Find(output, "first fixed step of 0.033333 s"), std::string::npos) << output;
    // The first state is loaded through the framework's loading stand-in and becomes current after it.
    const std::size_t loading = Find(output, "active state master loading");
    const std::size_t entered = Find(output, "active state vexolan logo");
    ASSERT_NE(loading, std::string::npos) << output;
    ASSERT_NE(entered, std::string::npos) << output;
    EXPECT_LT(loading, entered);
    EXPECT_NE(Find(output, "settings saved; shut down after"), std::string::npos) << output;
    long frames = 0;
    long steps = 0;
    ASSERT_EQ(std::sscanf(output.c_str() + Find(output, "shut down after "), "shut down after %ld frames and %ld steps",
                          &frames, &steps), 2);
    // Frames are paced to 60 a second and logic steps come 30 a second from the same clock, so
    // a run draws about two frames a step, plus the few before the first step (fewer when the
    // machine is slow: a long frame still runs its steps); a loop whose swap does not wait
    // draws many frames between two steps.
    EXPECT_LE(frames, 2 * steps + 30) << frames << " frames, " << steps << " steps";

    // Nothing changed during the run, so the saved file is the defaults in the writer's own
    // layout: the defaults file is kept in that layout, comments aside.
    const std::string saved = TestFiles::ReadText(m_settingsFile);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved, WithoutCommentLines(TestFiles::ReadText(DEFAULTS)));
}

TEST_F(StartUp, SecondRunLoadsTheUserFileInsteadOfTheDefaults)
{
    RunUntilTheFirstStateRuns();
    std::string saved = TestFiles::ReadText(m_settingsFile);
    const std::string english = "<key name=\"language\" type=\"string\">en</key>";
    const std::size_t at = saved.find(english);
    ASSERT_NE(at, std::string::npos) << saved;
    saved.replace(at, english.size(), "<key name=\"language\" type=\"string\">de</key>");
    TestFiles::WriteText(m_settingsFile, saved);

    const std::string output = RunUntilTheFirstStateRuns();
    EXPECT_NE(Find(output, "settings loaded from save/settings.xml, version 1.0.0, 0 keys added"),
              std::string::npos)
        << output;
    EXPECT_NE(Find(output, "texts from l10n/de.xml: IDS_LOADING = Wird geladen\u2026\n"), std::string::npos)
        << output;
    EXPECT_NE(TestFiles::ReadText(m_settingsFile).find("<key name=\"language\" type=\"string\">de</key>"), std::string::npos);
}

TEST_F(StartUp, AnOlderSettingsFileKeepsTheUsersValuesAndGainsTheMissingKeys)
{
    PlaceSettingsFile(R"(<registry><node name="/quor">
        <key name="version" type="string">0.9.0</key>
        <key name="language" type="string">de</key>
        <key name="music_on" type="bool">true</key>
        <node name="game"><key name="score" type="int">1234</key></node>
    </node></registry>)");
    const std::string output = RunUntilTheFirstStateRuns();
    EXPECT_NE(Find(output, "settings loaded from save/settings.xml, version 1.0.0"), std::string::npos) << output;
    EXPECT_NE(Find(output, "IDS_LOADING = Wird geladen"), std::string::npos) << output;
    const std::string saved = TestFiles::ReadText(m_settingsFile);
    EXPECT_NE(saved.find("<key name=\"version\" type=\"string\">1.0.0</key>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<key name=\"score\" type=\"int\">1234</key>"), std::string::npos) << saved;
    // Every start writes both sound switches off: the menu's prompt asks again.
    EXPECT_NE(saved.find("<key name=\"music_on\" type=\"bool\">false</key>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<key name=\"language\" type=\"string\">de</key>"), std::string::npos) << saved;
    // Keys of this release that the old file lacked come from the defaults.
    EXPECT_NE(saved.find("<key name=\"logic_fps\" type=\"int\">30</key>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<key name=\"first_run\" type=\"bool\">true</key>"), std::string::npos) << saved;
}

TEST_F(StartUp, ADamagedSettingsFileIsKeptAsideAndTheProgramStillStarts)
{
    const std::string damaged = "<registry><node name=\"/quor\"><key name=\"version\"";
    PlaceSettingsFile(damaged);
    const std::string output = RunUntilTheFirstStateRuns();
    EXPECT_NE(Find(output, "settings loaded from config/defaults.xml"), std::string::npos) << output;
    EXPECT_EQ(TestFiles::ReadText(m_settingsFile + ".bad"), damaged);
    EXPECT_NE(Find(output, "settings file " + m_settingsFile + " does not load: kept as " + m_settingsFile + ".bad\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(TestFiles::ReadText(m_settingsFile), WithoutCommentLines(TestFiles::ReadText(DEFAULTS)));
}

// A file of this release that lacks keys, or holds one that doesn't read, gets them back from
// the defaults at every start; the user's own choices stay.
TEST_F(StartUp, ALanguageWithoutAFileLeavesEveryTextItsIdAndMissingOrUnreadableKeysComeBack)
{
    PlaceSettingsFile(R"(<registry><node name="/quor">
        <key name="version" type="string">1.0.0</key>
        <key name="language" type="string">fr</key>
        <key name="music_on" type="switch">true</key>
        <node name="constants"><key name="logic_fps" type="int">five</key></node>
    </node></registry>)");
    const std::string output = RunUntilTheFirstStateRuns();
    for (const std::string key : {"/quor/constants/logic_fps", "/quor/music_on"}) {
        const std::string line =
            "setting " + key + " in save/settings.xml does not read as its type: its default is used\n";
        EXPECT_NE(Find(output, line), std::string::npos) << output;
    }
    EXPECT_EQ(Find(output, ", 0 keys added"), std::string::npos) << output;
    EXPECT_NE(Find(output, "texts from nowhere: IDS_LOADING = IDS_LOADING\n"), std::string::npos) << output;
    EXPECT_NE(Find(output, "logic step 0.033333 s"), std::string::npos) << output;
    // The choice itself is the user's and stays.
    const std::string saved = TestFiles::ReadText(m_settingsFile);
    EXPECT_NE(saved.find("<key name=\"language\" type=\"string\">fr</key>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<key name=\"logic_fps\" type=\"int\">30</key>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<key name=\"first_run\" type=\"bool\">true</key>"), std::string::npos) << saved;
}

// A save folder that can't be made (a file stands where the folder should be): the failure is
// said, with the path and the reason, and the exit status is 1.
TEST_F(StartUp, ASaveThatFailsIsReported)
{
    TestFiles::WriteText(m_config + "/Brashwick", "a file, not a folder");
    const std::string output = RunUntilTheFirstStateRuns(1);
    EXPECT_NE(Find(output, "settings not saved to " + m_settingsFile + ": Not a directory\n"), std::string::npos)
        << output;
    EXPECT_NE(Find(output, "settings not saved; shut down after"), std::string::npos) << output;
}

// Without a sound platform.pak there are neither defaults nor texts: the program says which
// archive is at fault and writes no settings file that would later pass for the user's.
TEST_F(StartUp, AMissingOrDamagedPlatformArchiveIsNamedAndNoSettingsAreSaved)
{
    const std::string folder = m_config + "/bin";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    // The program works in its own folder: a link to it (or a copy across file systems) there.
    if (link(PROGRAM.c_str(), (folder + "/brashwick").c_str()) != 0) {
        ASSERT_TRUE(std::filesystem::copy_file(PROGRAM, folder + "/brashwick"));
    }
    const std::string built = std::string(BRASHWICK_OUTPUT_DIR) + "/";
    for (const std::string archive : {"common.pak", "atlas.pak"})
        ASSERT_EQ(symlink((built + archive).c_str(), (folder + "/" + archive).c_str()), 0);
    for (const char* fault : {"missing", "damaged"}) {
        if (std::string(fault) == "damaged")
            TestFiles::WriteText(folder + "/platform.pak", TestFiles::ReadText(built + "platform.pak").substr(0, 40));
        const std::string output = RunUntilTheFirstStateRuns(1, folder + "/brashwick");
        EXPECT_NE(Find(output, std::string("archive platform.pak is ") + fault + "\n"), std::string::npos) << output;
        EXPECT_NE(Find(output, "settings not saved to " + m_settingsFile + ": the defaults"), std::string::npos)
            << output;
        EXPECT_NE(access(m_settingsFile.c_str(), F_OK), 0) << fault;
    }
}

// The settings file is replaced through a temporary file and a rename: a kill while the program
// saves (here its start-up save of an older release's large file) leaves the old file or the
// new one, each complete.
TEST_F(StartUp, AKillWhileSavingLeavesTheOldOrTheNewCompleteFile)
{
    std::string old = "<registry><node name=\"/quor\">"
                      "<key name=\"version\" type=\"string\">0.9.0</key><node name=\"game\">";
    for (int i = 0; i < 40000; ++i)
        old += "<key name=\"k" + std::to_string(i) + "\" type=\"int\">" + std::to_string(i) + "</key>";
    old += "</node></node></registry>";
    PlaceSettingsFile(old);
    ChildProcess program;
    Start(program, PROGRAM);
    const std::filesystem::path folder = m_config + "/Brashwick";
    const auto saving = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().rfind("settings.xml.tmp", 0) == 0)
                return true;
        return false;
    };
    TestSupport::WaitUntil([&] { return saving() || !program.IsRunning(); }, WAIT_MS);
    program.Signal(SIGKILL);
    ASSERT_TRUE(program.WaitForExit(WAIT_MS));

    const std::string kept = TestFiles::ReadText(m_settingsFile);
    if (kept == old)
        return;
    Tarv::Registry loaded;
    ASSERT_TRUE(loaded.LoadString(kept, false, "")) << kept.size() << " bytes";
    Tarv::NarrowString version;
    int last = 0;
    EXPECT_TRUE(loaded.GetString("/quor/version", version) && version == "1.0.0");
    EXPECT_TRUE(loaded.GetInt("/quor/game/k39999", last) && last == 39999);
}

namespace
{

// A state that records the steps it is given and what the input state showed it.
class RecordingState : public Quor::ApplicationState
{
public:
    RecordingState() : ApplicationState("recording") {}
    void UpdateState(const float& dt) override { steps.push_back(dt); }
    void OnKeyDown(int key) override
    {
        Quor::InputState* input = Quor::Application::GetInputState();
        keySeenDown = input != nullptr && input->IsKeyDown(key);
    }
    std::vector<float> steps;
    bool keySeenDown = false;
};

// A mount whose reads hold the searching thread inside it until the mount is released or
// HOLD_MS have passed. The flags live outside the mount, which may be gone when the search
// goes on.
struct HeldSearch {
    static constexpr int HOLD_MS = 1000;
    std::atomic<bool> entered{false};
    std::atomic<bool> inside{false};
    std::atomic<bool> released{false};
    std::atomic<bool> releasedWhileInside{false};
};

class HoldingMount : public Tarv::VfsMount
{
public:
    explicit HoldingMount(HeldSearch* held) : VfsMount("held/", Tarv::VFS_MOUNT_FALL_THROUGH), m_held(held) {}
    ~HoldingMount() override
    {
        if (m_held->inside)
            m_held->releasedWhileInside = true;
        m_held->released = true;
    }
    Tarv::File* OpenRead(const char*) override
    {
        HeldSearch* held = m_held;
        held->inside = true;
        held->entered = true;
        TestSupport::WaitUntil([held] { return held->released.load(); }, HeldSearch::HOLD_MS);
        held->inside = false;
        return nullptr;
    }
    Tarv::File* OpenWrite(const char*) override { return nullptr; }

private:
    HeldSearch* m_held;
};

// A state whose load (on the loader thread) looks for a file under "held/".
class OpeningState : public Quor::ApplicationState
{
public:
    OpeningState() : ApplicationState("opening") {}
    void Load() override { Tarv::SmartPtr<Tarv::File> file(Tarv::VfsOpenRead("held/level.xml")); }
};

class TestApplication : public Quor::Application
{
public:
    using Quor::Application::LoadLanguage;
};

// The application in this process on a private Xvfb, its state tree holding a recording state
// (set directly, with no loading), no reachable sound server and a private settings folder.
// The environment is set before the application starts: its sound thread reads the environment
// while it connects, and setenv on another thread at that moment can crash the read.
class ApplicationInProcess : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsRunning());
        setenv("DISPLAY", m_server.GetDisplayName().c_str(), 1);
        setenv("PULSE_SERVER", "unix:/nonexistent/brashwick-no-sound-server", 1);
        ASSERT_FALSE(m_configFolder.Path().empty());
        setenv("XDG_CONFIG_HOME", m_configFolder.Path().c_str(), 1);
        m_app = Tarv::SmartPtr<Tarv::MaemoApplication>(new TestApplication);
        ASSERT_TRUE(m_app->IsReady());
        app = static_cast<TestApplication*>(m_app.Get());
        state = Tarv::MakeSmart<RecordingState>();
        app->SetPending(state.Get());
        // The first update switches the state in.
        app->Update(0.0f);
        state->steps.clear();
    }
    void TearDown() override
    {
        state.Reset();
        m_app.Reset();
        Quor::System::Destroy();
        unsetenv("XDG_CONFIG_HOME");
    }

    TestSupport::XvfbServer m_server{24};
    TestFiles::TempDir m_configFolder;
    Tarv::SmartPtr<Tarv::MaemoApplication> m_app;
    TestApplication* app = nullptr;
    Tarv::SmartPtr<RecordingState> state;
};

} // namespace

TEST_F(ApplicationInProcess, StepsFollowTheIntervalAndCatchUpInOneFrame)
{
    app->SetInterval(1.0f / 32.0f);
    app->Update(0.02f);
    EXPECT_TRUE(state->steps.empty());
    app->Update(0.02f);
    ASSERT_EQ(state->steps.size(), 1u);
    EXPECT_FLOAT_EQ(state->steps[0], 1.0f / 32.0f);
    EXPECT_NEAR(app->GetAccumulator(), 0.00875f, 1e-6f);
    // A half-second frame runs all its 16 steps in that frame, each of the interval.
    app->SetInterval(1.0f / 32.0f);
    state->steps.clear();
    app->Update(0.5f);
    ASSERT_EQ(state->steps.size(), 16u);
    EXPECT_FLOAT_EQ(state->steps.back(), 1.0f / 32.0f);
    state->steps.clear();
    app->Update(0.01f);
    EXPECT_TRUE(state->steps.empty());
    // Without an interval one capped step runs per frame.
    app->SetInterval(0.0f);
    app->Update(0.5f);
    ASSERT_EQ(state->steps.size(), 1u);
    EXPECT_FLOAT_EQ(state->steps[0], Quor::Application::MAX_STEP);
    app->Update(0.01f);
    ASSERT_EQ(state->steps.size(), 2u);
    EXPECT_FLOAT_EQ(state->steps[1], 0.01f);
}

// The constructor sets the version and the singletons; a key is in the input state before any
// state sees it.
TEST_F(ApplicationInProcess, SingletonsAndKeys)
{
    Tarv::NarrowString version;
    ASSERT_NE(Tarv::Registry::Instance.Get(), nullptr);
    EXPECT_TRUE(Tarv::Registry::Instance->GetString(Quor::Application::VERSION_KEY, version));
    EXPECT_EQ(version, "1.0.0");
    EXPECT_NE(Tarv::Mixer::Instance, nullptr);
    EXPECT_EQ(Quor::System::GetInstance()->GetRoot(), static_cast<Quor::Substatable*>(app));

    app->OnKeyDown(12);
    EXPECT_TRUE(state->keySeenDown);
    Quor::InputState* input = Quor::Application::GetInputState();
    ASSERT_NE(input, nullptr);
    EXPECT_TRUE(input->IsKeyDown(12));
    EXPECT_FALSE(input->IsKeyDown(13));
    app->OnKeyUp(12);
    EXPECT_FALSE(input->IsKeyDown(12));
}

// Any language value names the file "l10n/" + value + ".xml": odd and long names load when that
// file exists; a value naming no file, however long or strange, empties the texts (and the file
// system keeps "../" inside its mount).
TEST_F(ApplicationInProcess, LanguageLoadsTheFileItsValueNames)
{
    TestFiles::TempDir folder;
    ASSERT_EQ(mkdir((folder / "l10n").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((folder / "config").c_str(), 0700), 0);
    const std::string texts = "<l10n><string id=\"IDS_A\">a</string></l10n>";
    ASSERT_TRUE(TestFiles::WriteText(folder / "l10n/pt BR.v2.xml", texts));
    ASSERT_TRUE(TestFiles::WriteText(folder / "l10n/english-of-the-united-kingdom.xml", texts));
    ASSERT_TRUE(TestFiles::WriteText(folder / "config/x.xml", texts));
    Tarv::VfsInit();
    Tarv::VfsMountNative(folder.Path() + "/", "", 0);

    const struct
    {
        std::string language;
        bool loads;
    } cases[] = {{"pt BR.v2", true},
                 {"english-of-the-united-kingdom", true},
                 {"../config/x", false},
                 {"", false},
                 {"missing", false},
                 {"../../../../../../../../nowhere/x", false},
                 {std::string(5000, 'a'), false},
                 {std::string("e\0n", 3), false}};
    Tarv::TextDict* dict = Tarv::TextDict::Instance.Get();
    ASSERT_NE(dict, nullptr);
    for (const auto& c : cases) {
        ASSERT_TRUE(app->LoadLanguage("pt BR.v2"));
        EXPECT_EQ(app->LoadLanguage(c.language), c.loads) << c.language;
        EXPECT_EQ(dict->GetCount(), c.loads ? 1u : 0u) << c.language;
        EXPECT_EQ(app->GetLanguageFile(), c.loads ? "l10n/" + c.language + ".xml" : "") << c.language;
    }
    Tarv::VfsShutdown();
}

// Quitting while a state loads: the shut-down and the release wait for the load before the file
// system goes, so no loader is left searching a mount list that has been freed.
TEST_F(ApplicationInProcess, QuittingDuringALoadReleasesTheFileSystemAfterTheLoad)
{
    app->Init();
    HeldSearch held;
    Tarv::VfsAddMount(new HoldingMount(&held));
    app->ChangeState(new OpeningState, false);
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] {
            app->Update(0.0f);
            return held.entered.load();
        },
        WAIT_MS));
    app->Shutdown();
    m_app.Reset();
    EXPECT_TRUE(held.released);
    EXPECT_FALSE(held.releasedWhileInside);
}
