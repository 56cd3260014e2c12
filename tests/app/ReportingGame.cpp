// The program tests' application: the game with its progress lines on standard output, and
// the factory of their build of the program, which wires in the console as the program does.
#include "tests/app/ReportingGame.h"

#include "app/Console.h"
#include "console/DebugOverlay.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/MaemoGameSaveFile.h"
#include "framework/ApplicationState.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "platform/Main.h"

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

void ReportingGame::Init()
{
    char folder[PATH_MAX + 1] = {0};
    if (getcwd(folder, PATH_MAX) == nullptr)
        folder[0] = '\0';
    std::printf("brashwick: running in %s\n", folder);
    std::fflush(stdout);
    Game::Init();
}

void ReportingGame::LoadSettings()
{
    Game::LoadSettings();
    Quor::Settings* settings = GetSettings();
    std::printf("brashwick: settings loaded from %s, version %s, %d keys added\n",
                DescribeSource(GetSettingsSource()),
                settings != nullptr ? settings->GetString("version").c_str() : "",
                GetMigratedKeyCount());
    std::printf("brashwick: settings are saved in %s\n", DescribeSettingsFile().c_str());
    std::fflush(stdout);
}

void ReportingGame::LoadLocalisation()
{
    Game::LoadLocalisation();
    Tarv::NarrowString loading;
    if (Tarv::TextDict::Instance)
        loading = Tarv::NarrowString(Tarv::TextDict::Instance->GetText("IDS_LOADING"));
    std::printf("brashwick: texts from %s: IDS_LOADING = %s\n",
                GetLanguageFile().empty() ? "nowhere" : GetLanguageFile().c_str(), loading.c_str());
    std::fflush(stdout);
}

void ReportingGame::StartGame()
{
    Game::StartGame();
    std::printf("brashwick: logic step %.6f s\n", static_cast<double>(GetInterval()));
    std::fflush(stdout);
}

void ReportingGame::Step()
{
    Game::Step();
    if (++m_steps == 1) {
        std::printf("brashwick: first fixed step of %.6f s\n", static_cast<double>(GetStep()));
        std::fflush(stdout);
    }
    Quor::System* system = Quor::System::GetInstance();
    Quor::ApplicationState* active = system != nullptr ? system->GetActiveState() : nullptr;
    const Tarv::NarrowString name = active != nullptr ? active->GetName() : Tarv::NarrowString();
    if (name != m_activeState) {
        m_activeState = name;
        std::printf("brashwick: active state %s\n", name.c_str());
        std::fflush(stdout);
    }
}

void ReportingGame::Render(Tarv::Surface* screen)
{
    Game::Render(screen);
    ++m_frames;
    // The state tree stands still while the console shows: each change is reported with the
    // steps run so far.
    if (Tarv::DebugOverlay::Visible != m_consoleShown) {
        m_consoleShown = Tarv::DebugOverlay::Visible;
        std::printf("brashwick: console %s after %ld steps\n", m_consoleShown ? "shown" : "hidden", m_steps);
        std::fflush(stdout);
    }
}

void ReportingGame::Shutdown()
{
    Game::Shutdown();
    std::printf("brashwick: settings %s; shut down after %ld frames and %ld steps\n",
                AreSettingsSaved() ? "saved" : "not saved", m_frames, m_steps);
    std::fflush(stdout);
}

} // namespace Brashwick

namespace Tarv
{

MaemoApplication* CreateApplication()
{
    auto* game = new Brashwick::ReportingGame;
    Brashwick::AttachConsole(*game);
    return game;
}

} // namespace Tarv
