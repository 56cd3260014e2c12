// The bring-up application's start-up choices and its progress lines on standard output; also
// the factory the engine's entry calls.
#include "app/BringUpApp.h"

#include "app/LoadingBarState.h"
#include "app/TitleState.h"
#include "console/DebugOverlay.h"
#include "engine/core/SmartPtr.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/MaemoGameSaveFile.h"
#include "framework/Settings.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

namespace Brashwick
{

namespace
{

const char* DescribeSource(Quor::Application::SettingsSource source)
{
    switch (source) {
    case Quor::Application::SettingsSource::USER_FILE:
        return Quor::Application::USER_SETTINGS_FILE;
    case Quor::Application::SettingsSource::DEFAULTS_FILE:
        return Quor::Application::DEFAULT_SETTINGS_FILE;
    case Quor::Application::SettingsSource::NONE:
        break;
    }
    return "nowhere";
}

// The host file behind the settings' virtual path ("save/settings.xml"), or a note that there is
// none because neither XDG_CONFIG_HOME nor HOME is set.
Tarv::NarrowString DescribeSettingsFile()
{
    const Tarv::NarrowString virtualPath = Quor::Application::USER_SETTINGS_FILE;
    const std::size_t slash = virtualPath.find('/');
    const Tarv::NarrowString hostPath = Tarv::MaemoGameSaveFile::GetSavePath(virtualPath.substr(slash + 1).c_str());
    return hostPath.empty() ? Tarv::NarrowString("nowhere (neither XDG_CONFIG_HOME nor HOME is set)") : hostPath;
}

} // namespace

BringUpApp::BringUpApp()
{
    if (!IsReady())
        return;
    Tarv::DebugOverlay::Create();
    InstallHooks(&m_consoleHooks);
}

BringUpApp::~BringUpApp()
{
    InstallHooks(nullptr);
    Tarv::DebugOverlay::Instance.Reset();
    Tarv::DebugOverlay::Visible = false;
}

void BringUpApp::Init()
{
    char folder[PATH_MAX + 1] = {0};
    if (getcwd(folder, PATH_MAX) == nullptr)
        folder[0] = '\0';
    std::printf("brashwick: running in %s\n", folder);
    std::fflush(stdout);
    Quor::Application::Init();
}

void BringUpApp::LoadAtlases()
{
    LoadStartupAtlases();
}

void BringUpApp::LoadSettings()
{
    Quor::Application::LoadSettings();
    Quor::Settings* settings = GetSettings();
    std::printf("brashwick: settings loaded from %s, version %s, %d keys added\n",
                DescribeSource(GetSettingsSource()),
                settings != nullptr ? settings->GetString("version").c_str() : "",
                GetMigratedKeyCount());
    std::printf("brashwick: settings are saved in %s\n", DescribeSettingsFile().c_str());
    std::fflush(stdout);
}

void BringUpApp::LoadLocalisation()
{
    Quor::Settings* settings = GetSettings();
    LoadLanguage(settings != nullptr ? settings->GetString("language") : Tarv::NarrowString());
    Tarv::NarrowString loading;
    if (Tarv::TextDict::Instance)
        loading = Tarv::NarrowString(Tarv::TextDict::Instance->GetText("IDS_LOADING"));
    std::printf("brashwick: texts from %s: IDS_LOADING = %s\n",
                GetLanguageFile().empty() ? "nowhere" : GetLanguageFile().c_str(), loading.c_str());
    std::fflush(stdout);
}

void BringUpApp::StartGame()
{
    SetLoadingScreen(Tarv::MakeSmart<LoadingBarState>().Get());
    ChangeState(Tarv::MakeSmart<TitleState>().Get(), false);
    Quor::Settings* settings = GetSettings();
    const float interval = settings != nullptr ? settings->GetLogicInterval()
                                               : 1.0f / Quor::Settings::DEFAULT_LOGIC_FPS;
    SetInterval(interval);
    if (settings != nullptr && settings->GetBool("dev/show_fps_mem")) {
        if (Tarv::DebugOverlay* console = Tarv::DebugOverlay::Instance.Get()) {
            console->SetShowFps(true);
            console->SetShowMemory(true);
            console->ShowFpsPlot(true);
            console->ShowMemoryPlot(true);
        }
    }
    std::printf("brashwick: logic step %.6f s\n", static_cast<double>(interval));
    std::fflush(stdout);
}

void BringUpApp::Step()
{
    Quor::Application::Step();
    if (++m_steps == 1) {
        std::printf("brashwick: first fixed step of %.6f s\n", static_cast<double>(GetStep()));
        std::fflush(stdout);
    }
}

void BringUpApp::Render(Tarv::Surface* screen)
{
    Quor::Application::Render(screen);
    ++m_frames;
    // The state tree stands still while the console shows: each change is reported with the
    // steps run so far.
    if (Tarv::DebugOverlay::Visible != m_consoleShown) {
        m_consoleShown = Tarv::DebugOverlay::Visible;
        std::printf("brashwick: console %s after %ld steps\n", m_consoleShown ? "shown" : "hidden", m_steps);
        std::fflush(stdout);
    }
}

void BringUpApp::Shutdown()
{
    Quor::Application::Shutdown();
    std::printf("brashwick: settings %s; shut down after %ld frames and %ld steps\n",
                AreSettingsSaved() ? "saved" : "not saved", m_frames, m_steps);
    std::fflush(stdout);
}

} // namespace Brashwick

namespace Tarv
{

MaemoApplication* CreateApplication()
{
    return new Brashwick::BringUpApp;
}

} // namespace Tarv
