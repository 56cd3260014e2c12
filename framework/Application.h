// Quor::Application: the framework's application and the root of the state tree. It owns the
// engine-wide singletons, runs the start-up sequence (file system, atlases, settings, texts,
// audio, then the game), steps the world at a fixed logic rate and renders the state tree.
#pragma once

#include "audio/Mixer.h"
#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "framework/ApplicationHooks.h"
#include "framework/Process.h"
#include "framework/Substatable.h"
#include "platform/MaemoApplication.h"

namespace Tarv
{
class Registry;
}

namespace Quor
{

class InputState;
class Settings;

// Lets the process-wide engine services go, in the order they depend on each other, once the
// states and the framework's services are gone: the mixer (uninstalled when it is the installed
// one), the asset dictionary's held assets (GL textures: the context must still exist) and the
// dictionary, the file system when this run started it, the registry and the texts.
void ReleaseEngineServices(Tarv::SmartPtr<Tarv::Mixer>& mixer, bool vfsStarted);

// The count of the object is the one of its Tarv::AbstractApp part: hold it as a
// Tarv::SmartPtr<Tarv::MaemoApplication> (the state tree never counts its root).
class Application : public Tarv::MaemoApplication, public Substatable, public Process
{
public:
    // What "/application/version" holds; a settings file with another "version" is migrated.
    static constexpr const char* VERSION = "1.0.0";
    static constexpr const char* VERSION_KEY = "/application/version";
    // The settings subtree's name and files.
    static constexpr const char* SETTINGS_NAME = "quor";
    static constexpr const char* USER_SETTINGS_FILE = "save/settings.xml";
    static constexpr const char* DEFAULT_SETTINGS_FILE = "config/defaults.xml";
    // The language the framework loads at start-up.
    static constexpr const char* DEFAULT_LANGUAGE = "en";
    // The longest step Step hands on, in seconds.
    static constexpr float MAX_STEP = 0.125f;

    // Where the settings came from at start-up.
    enum class SettingsSource { NONE, USER_FILE, DEFAULTS_FILE };

    // Builds the shell (window and GL screen), then, when the shell is ready, the asset
    // dictionary, text dictionary, registry, mixer and service registry with its settings
    // service, and sets "/application/version". A shell that failed creates none of them.
    Application();
    // Releases the state tree (waiting for a running load), then the service registry with
    // its services and managers (System::Destroy; their fonts, sounds and effects need the
    // mixer and the GL context), takes its hooks off the shell, stops the mixer, releases the
    // assets while the GL context is alive, then the file system, the registry and the text
    // dictionary, and last of all services the console (through the hooks); after that only
    // the queue of pending script errors is emptied. The window goes with the shell's
    // destructor.
    ~Application() override;

    // The start-up sequence; every step runs whatever the others did.
    void Init() override;
    // StopGame, the settings saved (a failed save is reported on standard error and makes
    // the exit status 1), then the state tree released (a running load waited for) while the
    // file system and GL context still exist.
    void Shutdown() override;
    // Script errors of the frame, the mixer's time skew, then the logic process's tick: a step
    // for every whole interval accumulated, however many that is, within the bound every
    // process keeps on its catch-up (Process::DEFAULT_MAX_CATCH_UP).
    void Update(const float& seconds) override;
    // Black, the state tree, then the service registry's renderables.
    void Render(Tarv::Surface* screen) override;
    // Input: recorded in the input state first, then passed down the state tree.
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    void OnMultitouchDown(const std::vector<Tarv::TouchPoint>& points) override;
    void OnMultitouchUp(const std::vector<Tarv::TouchPoint>& points) override;
    void OnMultitouchMove(const std::vector<Tarv::TouchPoint>& points) override;
    void OnAccelerometer(const float& x, const float& y, const float& z) override;
    // The state-tree form of the same handlers. The shell's one-point handlers of the same
    // names are left as the shell has them, and named here so that they stay in view.
    void OnTouchDown(const TouchPoints& points) override;
    void OnTouchUp(const TouchPoints& points) override;
    void OnTouchMove(const TouchPoints& points) override;
    using Tarv::MaemoApplication::OnTouchDown;
    using Tarv::MaemoApplication::OnTouchUp;
    using Tarv::MaemoApplication::OnTouchMove;
    void OnAccelerometer(float x, float y, float z) override;
    void UpdateState(const float& dt) override { Update(dt); }
    void RenderState(Tarv::Surface* surface) override { Render(surface); }

    // One logic step: the managers in name order, then the state tree, with the process's
    // step capped at MAX_STEP.
    virtual void Step();
    // The last start-up step: the game builds its first states here.
    virtual void StartGame() {}
    // The first step of Shutdown.
    virtual void StopGame() {}
    // Mounts the archives and the save folder; a missing or damaged archive is reported by
    // name on standard error.
    virtual void MountFiles();
    virtual void LoadAtlases();
    // Loads "l10n/en.xml".
    virtual void LoadLocalisation();
    // The settings subtree from the user file or the defaults; a user file that was not used is
    // reported with the reason, a loaded one gains the default keys it lacks at every start and
    // its keys take their defaults' types (its own values stay where they convert), each key
    // whose value didn't read is reported, and a file of another version is rewritten at once.
    virtual void LoadSettings();
    virtual void ApplyAudioSettings();
    // Writes "/application/version" as the settings' "version" and saves the settings file;
    // false, reported on standard error with the file's path and the reason, when it wasn't.
    virtual bool SaveVersion();
    virtual void LoadStartupAtlases();
    virtual void LoadGameAtlases();

    static InputState* GetInputState();
    static Settings* GetSettings();

    SettingsSource GetSettingsSource() const { return m_settingsSource; }
    // Makes hooks (borrowed, outliving the application; null: the application's own, which
    // know no console) the shell's links to the console and the mixer. The destructor removes
    // them and has them release the console last.
    void InstallHooks(ApplicationHooks* hooks);
    // Whether Shutdown's save went through.
    bool AreSettingsSaved() const { return m_settingsSaved; }
    // Keys added from the defaults by the last version migration (0 when none ran).
    int GetMigratedKeyCount() const { return m_migratedKeys; }
    // The language file LoadLanguage loaded last, or "" when none loaded.
    const Tarv::NarrowString& GetLanguageFile() const { return m_languageFile; }

protected:
    ApplicationHooks& GetHooks() { return *m_activeHooks; }

    // Loads "l10n/" + language + ".xml" into the text dictionary, whatever the language's
    // text; when that file doesn't load, the dictionary is emptied (every text then shows its
    // id) and the result is false.
    bool LoadLanguage(const Tarv::NarrowString& language);
    // Logic steps are run by the process through here.
    void Update() override { Step(); }
    // The display is gone: the settings, which need neither window nor GL, are saved as they
    // stand (SaveVersion) before the program ends.
    void OnDisplayLost() override;

private:
    static void ReportUnreadableKeys(const Settings& settings, const Tarv::Registry& registry);
    void HandleAccelerometer(float x, float y, float z);

    ApplicationHooks m_hooks;
    ApplicationHooks* m_activeHooks = &m_hooks;
    Tarv::SmartPtr<Tarv::Mixer> m_mixer;
    SettingsSource m_settingsSource = SettingsSource::NONE;
    int m_migratedKeys = 0;
    bool m_settingsSaved = false;
    Tarv::NarrowString m_languageFile;
    bool m_vfsStarted = false;
};

} // namespace Quor
