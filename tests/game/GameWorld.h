// Shared by the game tests: a temporary folder and the fixtures mounted in the file system, a service
// registry, a registry and the game log collected; and grids written as text, one character
// per cell, built into Worlds.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/registry/Registry.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/GameLog.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "tests/engine/registry/FakeMachine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace GameTest
{

class GameFiles
{
public:
    GameFiles()
    {
        static std::atomic<int> s_count{0};
        dir = std::filesystem::temp_directory_path() /
              ("brashwick-game-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
        Tarv::VfsInit();
        // The last mount is searched first: files the test writes, then the fixtures.
        Tarv::VfsMountNative(std::string(BRASHWICK_SOURCE_DIR) + "/tests/game/", "", 0);
        Tarv::VfsMountNative(dir.string() + "/", "", Tarv::VFS_MOUNT_FALL_THROUGH);
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>(&machine);
        Pirrock::SetGameLog(&log);
    }

    ~GameFiles()
    {
        Pirrock::World::Instance.Reset();
        Pirrock::Pirrock::SetInstance({});
        Pirrock::SetGameLog(nullptr);
        Quor::System::Destroy();
        Tarv::Registry::Instance.Reset();
        Tarv::VfsShutdown();
        std::filesystem::remove_all(dir);
    }

    void Write(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << text;
    }

    Quor::Settings& Settings() { return *Quor::Settings::GetInstance(); }

    // The device's 800 x 480 screen behind the "/machine" keys (read-only: tests change it here).
    FakeMachine machine;
    Pirrock::MessageList log;
    std::filesystem::path dir;
};

// Publishes the level size that the World reads, then builds the World.
inline Tarv::SmartPtr<Pirrock::World> CreateWorld(const Pirrock::WorldGeometry& geometry,
                                                 const std::vector<Pirrock::LevelItem>& items,
                                                 const Pirrock::Cell& heroStart, Quor::ProcessManager* manager,
                                                 const Tarv::SmartPtr<Pirrock::Pirrock>& hero)
{
    Quor::Settings& settings = *Quor::Settings::GetInstance();
    settings.SetInt("runtime/level_width", geometry.width);
    settings.SetInt("runtime/level_height", geometry.height);
    settings.SetInt("runtime/level_cell_width", geometry.cellWidth);
    settings.SetInt("runtime/level_cell_height", geometry.cellHeight);
    return Pirrock::World::Create(items, heroStart, manager, hero);
}

// Cells of 32 units, one character each: '.' empty, '#' flat, '/' up, 'M' magic ground,
// '~' water, 'F' fire, '_' trap door, 'R' rock, '*' palling, the tools 'p' pusher, 'b' bridge,
// 'e' extinguisher, 't' trampoline, 'v' boat, 'h' ladder, 'u' parachute, 'k' skates, fruit '1',
// 'd' hair dryer, 'c' carrot, 's' ski, '\\' down, 'E' exit; the hero (may be null) starts in
// heroStart.
inline Tarv::SmartPtr<Pirrock::World> MakeWorld(const std::vector<std::string>& rows,
                                               Quor::ProcessManager* manager = nullptr,
                                               const Pirrock::Cell& heroStart = {0, 0},
                                               const Tarv::SmartPtr<Pirrock::Pirrock>& hero = {})
{
    const std::string chars = ".#/M~F_R*pbetvhuk1dcs\\E";
    const Pirrock::CellCode codes[] = {0,  35, 36, 49, 16, 15, 17, 19, 22, 26, 28,
                                       29, 30, 32, 33, 34, 38, 42, 31, 27, 47, 37, 12};
    std::vector<Pirrock::LevelItem> items;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            if (rows[y][x] != '.')
                items.push_back({codes[chars.find(rows[y][x])], static_cast<int>(x), static_cast<int>(y)});
        }
    }
    const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    return CreateWorld({width, height, 32, 32}, items, heroStart, manager, hero);
}

// The three archives the build packs, mounted over whatever is mounted already.
inline void MountBuiltArchives()
{
    for (const char* pak : {"platform.pak", "common.pak", "atlas.pak"})
        ASSERT_NE(Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/" + pak, "", Tarv::VFS_MOUNT_FALL_THROUGH),
                  nullptr)
            << pak;
}

} // namespace GameTest
