// Application: the singletons' lifetime, the start-up sequence, the fixed logic step, input
// routing, drawing, and the orderly end with the settings saved.
#include "framework/Application.h"

#include "engine/core/Any.h"
#include "engine/core/Report.h"
#include "engine/core/Xml.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "framework/Audio.h"
#include "framework/InputState.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/Surface.h"

#include <algorithm>

namespace Quor
{

namespace
{

Tarv::NarrowString ReadRegistryString(const Tarv::NarrowString& path)
{
    Tarv::NarrowString value;
    if (Tarv::Registry* registry = Tarv::Registry::Instance.Get())
        registry->GetString(path, value);
    return value;
}

// Start-up and shutdown problems the user must hear of: standard error and the console.
void Report(const Tarv::NarrowString& message)
{
    Tarv::Report("brashwick: %s", message.c_str());
}

// Mounts an archive and says so when it is missing or damaged: without platform.pak the
// program has neither its defaults nor its texts.
void MountArchive(const char* name, int flags)
{
    Tarv::PakMount* mount = Tarv::VfsMountPak(name, "", flags);
    if (mount == nullptr)
        Report(Tarv::NarrowString("archive ") + name + " is missing");
    else if (mount->IsDamaged())
        Report(Tarv::NarrowString("archive ") + name + " is damaged");
}

} // namespace

Application::Application() : Substatable("application"), Process("application")
{
    if (!IsReady())
        return;

    Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
    Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&Tarv::GLMachineInfo::Get());

    Tarv::AudioFormat format;
    format.channels = 1;
    format.rate = 22050;
    Tarv::MixerConfig config;
    config.blockBytes = 2048;
    config.maxChannels = 4;
    m_mixer = Tarv::MakeSmart<Tarv::Mixer>(format, config);
    Tarv::Mixer::Instance = m_mixer.Get();

    // A layer above may install hooks with a developer console; until then these answer "none".
    Tarv::AbstractApp::SetEngineHooks(&m_hooks);
    Tarv::LuaErrorQueue::Global().SetHandler(
        [this](const Tarv::LuaErrorReport& report) { m_activeHooks->ReportScriptError(report); });

    System::Create(this);
    Settings::GetInstance();
    Tarv::Registry::Instance->SetString(VERSION_KEY, VERSION);
}

void ReleaseEngineServices(Tarv::SmartPtr<Tarv::Mixer>& mixer, bool vfsStarted)
{
    if (Tarv::Mixer::Instance == mixer.Get())
        Tarv::Mixer::Instance = nullptr;
    mixer.Reset();
    // GL textures go while the context of the shell still exists.
    if (Tarv::AssetDict::Instance)
        Tarv::AssetDict::Instance->ReleaseHeld();
    Tarv::AssetDict::Instance.Reset();
    if (vfsStarted)
        Tarv::VfsShutdown();
    Tarv::Registry::Instance.Reset();
    Tarv::TextDict::Instance.Reset();
}

Application::~Application()
{
    // A load still running is waited for, so no loader reads files or fills the asset
    // dictionary when those go.
    ReleaseStates();
    // The services (fonts, sounds, audio settings) hold GL textures and mixer effects: they go
    // while the mixer and the shell's GL context still exist. Destroy after this is a no-op.
    System::Destroy();
    if (&Tarv::AbstractApp::GetEngineHooks() == m_activeHooks)
        Tarv::AbstractApp::SetEngineHooks(nullptr);
    ReleaseEngineServices(m_mixer, m_vfsStarted);
    // The console goes last, after the services it lists and plots, while the shell's GL
    // context that its overlay draws with still exists.
    m_activeHooks->ReleaseConsole();
    if (IsReady())
        Tarv::LuaErrorQueue::Global().Reset();
}

void Application::InstallHooks(ApplicationHooks* hooks)
{
    const bool installed = &Tarv::AbstractApp::GetEngineHooks() == m_activeHooks;
    m_activeHooks = hooks != nullptr ? hooks : &m_hooks;
    if (installed)
        Tarv::AbstractApp::SetEngineHooks(m_activeHooks);
}

void Application::Init()
{
    Tarv::VfsInit();
    m_vfsStarted = true;
    m_activeHooks->SetConsoleVideoMemoryShown(false);
    MountFiles();
    LoadAtlases();
    LoadSettings();
    LoadLocalisation();
    ApplyAudioSettings();
    StartGame();
}

void Application::Shutdown()
{
    StopGame();
    m_settingsSaved = SaveVersion();
    if (!m_settingsSaved)
        SetExitStatus(1);
    ReleaseStates();
}

void Application::OnDisplayLost()
{
    SaveVersion();
}

void Application::MountFiles()
{
    MountArchive("platform.pak", 0);
    MountArchive("common.pak", Tarv::VFS_MOUNT_FALL_THROUGH);
    MountArchive("atlas.pak", Tarv::VFS_MOUNT_FALL_THROUGH);
    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
}

void Application::LoadAtlases()
{
    LoadStartupAtlases();
    LoadGameAtlases();
}

void Application::LoadStartupAtlases()
{
    LoadAtlas("splash.xml");
    LoadAtlas("loading.xml");
}

void Application::LoadGameAtlases()
{
    LoadAtlas("game.xml");
    LoadAtlas("menu.xml");
}

void Application::LoadSettings()
{
    m_settingsSource = SettingsSource::NONE;
    m_migratedKeys = 0;
    Settings* settings = GetSettings();
    if (settings == nullptr)
        return;
    if (settings->Init(SETTINGS_NAME, USER_SETTINGS_FILE, DEFAULT_SETTINGS_FILE, false))
        m_settingsSource = settings->IsFromUserFile() ? SettingsSource::USER_FILE : SettingsSource::DEFAULTS_FILE;
    if (!settings->GetLoadError().empty())
        Report(settings->GetLoadError());
    Tarv::Registry* registry = Tarv::Registry::Instance.Get();
    if (registry == nullptr)
        return;
    // Nothing to bring up to date or to save: Shutdown reports that the settings weren't saved.
    if (m_settingsSource == SettingsSource::NONE) {
        Report(Tarv::NarrowString("no settings: neither ") + USER_SETTINGS_FILE + " nor " + DEFAULT_SETTINGS_FILE +
               " loaded");
        return;
    }
    // Keys the user's file lacks (a file of another release, a key whose value didn't read)
    // come from the defaults at every start; the user's own values stay.
    if (m_settingsSource == SettingsSource::USER_FILE)
        m_migratedKeys = std::max(0, settings->AddMissingDefaults());
    ReportUnreadableKeys(*settings, *registry);
    // An absent "/application/version" reads as empty; an absent stored version always differs.
    Tarv::NarrowString stored;
    const bool hasStored = registry->GetString(settings->GetRoot() + "/version", stored);
    const Tarv::NarrowString current = ReadRegistryString(VERSION_KEY);
    if (hasStored && stored == current)
        return;
    // Another release's file (its keys are already brought up to date above), or settings
    // without any version: the file is rewritten at once.
    SaveVersion();
}

void Application::ReportUnreadableKeys(const Settings& settings, const Tarv::Registry& registry)
{
    for (const Settings::UnreadableKey& key : settings.GetUnreadableKeys()) {
        Tarv::Any value;
        const bool set = registry.GetValue(key.path, value) && !value.IsEmpty();
        Report("setting " + key.path + " in " + USER_SETTINGS_FILE + " does not read as its type: " +
               (key.defaulted ? "its default is used" : set ? "it has no default and reads as 0 or false"
                                                            : "it is left out"));
    }
}

void Application::LoadLocalisation()
{
    LoadLanguage(DEFAULT_LANGUAGE);
}

bool Application::LoadLanguage(const Tarv::NarrowString& language)
{
    Tarv::TextDict* texts = Tarv::TextDict::Instance.Get();
    if (texts == nullptr)
        return false;
    const Tarv::NarrowString path = "l10n/" + language + ".xml";
    if (texts->Load(path)) {
        m_languageFile = path;
        return true;
    }
    // Texts of a language no longer chosen must not stay.
    texts->LoadDocument(Tarv::Xml::CreateFromString("<l10n/>"));
    m_languageFile.clear();
    return false;
}

void Application::ApplyAudioSettings()
{
    Audio::InitFromSettings();
}

bool Application::SaveVersion()
{
    Settings* settings = GetSettings();
    if (settings == nullptr || settings->GetRoot().empty()) {
        Report("settings not saved: none were loaded");
        return false;
    }
    settings->SetString("version", ReadRegistryString(VERSION_KEY));
    // A failed save says so itself.
    return settings->Save();
}

void Application::Update(const float& seconds)
{
    Tarv::LuaErrorQueue::Global().Drain();
    if (m_mixer)
        m_mixer->SetTimeSkew(Tarv::AbstractApp::TimeSkew.load(std::memory_order_relaxed));
    Process::Tick(seconds);
}

void Application::Step()
{
    const float dt = std::min(GetStep(), MAX_STEP);
    if (System* system = System::GetInstance())
        system->UpdateManagers(dt);
    Substatable::Update(dt);
}

void Application::Render(Tarv::Surface* screen)
{
    if (screen == nullptr)
        return;
    static const std::uint8_t black[4] = {0, 0, 0, 255};
    screen->ClearColor(black);
    Substatable::Render(screen);
    if (System* system = System::GetInstance())
        system->RenderAll(screen);
}

void Application::OnKeyDown(int key)
{
    if (InputState* input = GetInputState())
        input->OnKeyDown(key);
    Substatable::OnKeyDown(key);
}

void Application::OnKeyUp(int key)
{
    if (InputState* input = GetInputState())
        input->OnKeyUp(key);
    Substatable::OnKeyUp(key);
}

void Application::OnMultitouchDown(const std::vector<Tarv::TouchPoint>& points)
{
    if (InputState* input = GetInputState())
        input->OnTouchDown();
    Substatable::OnTouchDown(points);
}

void Application::OnMultitouchUp(const std::vector<Tarv::TouchPoint>& points)
{
    if (InputState* input = GetInputState())
        input->OnTouchUp();
    Substatable::OnTouchUp(points);
}

void Application::OnMultitouchMove(const std::vector<Tarv::TouchPoint>& points)
{
    InputState* input = GetInputState();
    if (input != nullptr && !points.empty())
        input->OnTouchMove(points.front().x, points.front().y);
    Substatable::OnTouchMove(points);
}

void Application::OnAccelerometer(const float& x, const float& y, const float& z)
{
    HandleAccelerometer(x, y, z);
}

void Application::OnTouchDown(const TouchPoints& points)
{
    OnMultitouchDown(points);
}

void Application::OnTouchUp(const TouchPoints& points)
{
    OnMultitouchUp(points);
}

void Application::OnTouchMove(const TouchPoints& points)
{
    OnMultitouchMove(points);
}

void Application::OnAccelerometer(float x, float y, float z)
{
    HandleAccelerometer(x, y, z);
}

void Application::HandleAccelerometer(float x, float y, float z)
{
    if (InputState* input = GetInputState())
        input->OnAccelerometer(x, y, z);
    Substatable::OnAccelerometer(x, y, z);
}

InputState* Application::GetInputState()
{
    return InputState::GetInstance();
}

Settings* Application::GetSettings()
{
    return Settings::GetInstance();
}

} // namespace Quor
