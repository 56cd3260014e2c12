// Shared by the game tests: a temporary folder mounted in the file system with a service
// registry, a registry and the game log collected; and grids written as text, one character
// per cell, turned into level items and Worlds.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/registry/Registry.h"
#include "engine/vfs/Vfs.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/GameLog.h"
#include "game/Pirrock.h"
#include "game/World.h"

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
        m_dir = std::filesystem::temp_directory_path() /
                ("brashwick-game-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
        std::filesystem::create_directories(m_dir);
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.string() + "/", "", 0);
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Pirrock::SetGameLog(&log);
    }

    ~GameFiles()
    {
        Pirrock::World::Instance.Reset();
        Pirrock::Pirrock::SetInstance(Tarv::SmartPtr<Pirrock::Pirrock>());
        Pirrock::SetGameLog(nullptr);
        Quor::System::Destroy();
        Tarv::Registry::Instance.Reset();
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_dir);
    }

    void Write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = m_dir / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    Quor::Settings& Settings() { return *Quor::Settings::GetInstance(); }

    Pirrock::MessageList log;
    std::filesystem::path m_dir;
};

// '.' empty, '#' flat, '/' up, '\' down, 'M' magic ground, '~' water, 'W' water fall, 'F' fire,
// '_' trap door, 'X' snare, 'R' rock, '*' palling, 'E' exit, '@' the hero's marker, the tools
// 'p' pusher, 'c' carrot, 'b' bridge, 'e' extinguisher, 't' trampoline, 'd' hair dryer,
// 'v' boat, 'h' ladder, 'u' parachute, 'k' skates, 's' ski, and the fruit '1' to '5'.
inline Pirrock::CellCode CodeOf(char c)
{
    const std::string chars = ".#/\\M~WF_XR*E@pcbetdvhuks12345";
    const Pirrock::CellCode codes[] = {0,  35, 36, 37, 49, 16, 14, 15, 17, 18, 19, 22, 12, 11, 26,
                                       27, 28, 29, 30, 31, 32, 33, 34, 38, 47, 42, 43, 44, 45, 46};
    const std::size_t at = chars.find(c);
    return at == std::string::npos ? -1 : codes[at];
}

inline std::vector<Pirrock::LevelItem> GridItems(const std::vector<std::string>& rows)
{
    std::vector<Pirrock::LevelItem> items;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            if (CodeOf(rows[y][x]) != 0)
                items.push_back({CodeOf(rows[y][x]), static_cast<int>(x), static_cast<int>(y)});
        }
    }
    return items;
}

inline Tarv::SmartPtr<Pirrock::World> MakeWorld(const std::vector<std::string>& rows, int cellWidth = 32,
                                               int cellHeight = 32, Quor::ProcessManager* manager = nullptr,
                                               const Tarv::SmartPtr<Pirrock::Pirrock>& hero = {},
                                               Pirrock::Cell heroStart = {0, 0})
{
    const Pirrock::WorldGeometry geometry{static_cast<int>(rows.front().size()), static_cast<int>(rows.size()),
                                          cellWidth, cellHeight};
    return Pirrock::World::Create(geometry, GridItems(rows), heroStart, manager, hero);
}

} // namespace GameTest
