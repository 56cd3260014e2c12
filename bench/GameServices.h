// The services the game sets up at start, over the built archives and a save folder of its
// own, for the benchmarks that load and play the game's states: a state machine stepped and
// drawn as the application does it.
#pragma once

#include "bench/BenchScreen.h"
#include "engine/registry/Registry.h"
#include "engine/registry/TextDict.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/ApplicationState.h"
#include "framework/AssetDict.h"
#include "framework/Settings.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/Game.h"
#include "game/PlayState.h"
#include "graphics/render/GLMachineInfo.h"
#include "graphics/render/Surface.h"
#include "gui/Screen.h"
#include "scene/BasicRenderer.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

// The benchmark's screen, drawn by the GL driver on its own threads as a player's is (the test
// server asks programs for one rendering thread). Null when no screen could be had.
inline Tarv::MaemoSurface* PlayerScreen()
{
    setenv("LP_NUM_THREADS", std::to_string(std::thread::hardware_concurrency()).c_str(), 0);
    return BenchScreen::Get().GetScreen();
}

class GameServices
{
public:
    static constexpr int LOAD_TIMEOUT_STEPS = 20000;

    // Level is the one a play state loads; it counts as won before, so no hints hold the hero.
    explicit GameServices(int level = 1)
    {
        if (chdir(BRASHWICK_OUTPUT_DIR) != 0 || !MakeSaveFolder())
            return;
        Tarv::VfsInit();
        m_mounted = Tarv::VfsMountPak("platform.pak", "", 0) != nullptr &&
                    Tarv::VfsMountPak("common.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH) != nullptr &&
                    Tarv::VfsMountPak("atlas.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH) != nullptr &&
                    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES) !=
                        nullptr;
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Tarv::TextDict::Instance = Tarv::MakeSmart<Tarv::TextDict>();
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&Tarv::GLMachineInfo::Get());
        Quor::System::Create(nullptr);
        Quor::Settings& settings = *Quor::Settings::GetInstance();
        m_mounted = m_mounted && settings.Init("quor", "save/settings.xml", "config/defaults.xml", true) &&
                    Tarv::TextDict::Instance->Load("l10n/" + settings.GetString("language") + ".xml");
        m_step = Pirrock::Game::SetUpServices(&settings);
        Plim::Screen::InstallFactory();
        SetLevel(level);
        settings.SetBool("sfx_on", false);
        settings.SetBool("music_on", false);
    }
    ~GameServices()
    {
        m_machine.ReleaseStates();
        Quor::System::Destroy();
        if (Tarv::AssetDict::Instance)
            Tarv::AssetDict::Instance->ReleaseHeld();
        Tarv::AssetDict::Instance.Reset();
        Vund::Renderer::Instance.Reset();
        Tarv::VfsShutdown();
        Tarv::Registry::Instance.Reset();
        Tarv::TextDict::Instance.Reset();
        RemoveSaveFolder();
    }
    GameServices(const GameServices&) = delete;
    GameServices& operator=(const GameServices&) = delete;

    // False when the archives, the save folder, the defaults or the texts could not be had.
    bool IsReady() const { return m_mounted; }
    Quor::ApplicationState* GetCurrent() const { return m_machine.GetCurrent(); }

    // True when a play state is current with its level loaded (one whose files did not load has
    // no HUD) and nothing holding play.
    bool IsPlaying() const
    {
        const auto* play = dynamic_cast<const Pirrock::PlayState*>(m_machine.GetCurrent());
        return play != nullptr && play->GetHud() != nullptr && play->GetPauseReasons() == 0;
    }

    // The level the next play state loads, won before.
    static void SetLevel(int level)
    {
        Quor::Settings& settings = *Quor::Settings::GetInstance();
        settings.SetInt(Pirrock::PlayState::LEVEL_KEY, level);
        settings.SetInt(Pirrock::Game::LevelKey(level), 2);
    }

    // Changes to state behind the loading screen and steps until it is current; false when that
    // takes more than the bound.
    bool SwitchTo(Quor::ApplicationState* state)
    {
        const Tarv::NarrowString name = state->GetName();
        m_machine.ChangeState(state, true);
        for (int step = 0; step < LOAD_TIMEOUT_STEPS; ++step) {
            Step();
            if (m_machine.GetCurrent() != nullptr && m_machine.GetCurrent()->GetName() == name)
                return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

    // One logic step, as the application makes it.
    void Step()
    {
        Quor::System::GetInstance()->UpdateManagers(m_step);
        m_machine.Update(m_step);
    }

    void Render(Tarv::Surface* screen)
    {
        static const std::uint8_t black[4] = {0, 0, 0, 255};
        screen->ClearColor(black);
        m_machine.Render(screen);
        Quor::System::GetInstance()->RenderAll(screen);
    }

private:
    // A fresh folder stands in for the player's configuration folder, so the saves made when a
    // state is left land there and go with it.
    bool MakeSaveFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "brashwick-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return false;
        m_saveFolder = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_hadConfigHome = true;
            m_oldConfigHome = old;
        }
        setenv("XDG_CONFIG_HOME", m_saveFolder.c_str(), 1);
        return true;
    }

    void RemoveSaveFolder()
    {
        if (m_saveFolder.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(m_saveFolder, ignored);
        if (m_hadConfigHome)
            setenv("XDG_CONFIG_HOME", m_oldConfigHome.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    Quor::Substatable m_machine{"bench"};
    bool m_mounted = false;
    float m_step = 0.0f;
    std::string m_saveFolder;
    bool m_hadConfigHome = false;
    std::string m_oldConfigHome;
};
