// Fuzzes a level: the scene file and its code map (the input's two parts, split at its first NUL
// byte), then the World built from it with a hero: tracking steps, item placement and removal,
// the layout check and a grid reset.
#include "engine/registry/Registry.h"
#include "engine/vfs/Vfs.h"
#include "framework/ProcessManager.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/GameLog.h"
#include "game/Level.h"
#include "game/Pirrock.h"
#include "game/World.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

namespace
{

class Silent : public Pirrock::MessageSink
{
public:
    void Print(const Tarv::NarrowString&) override {}
};

// A private folder mounted at the root of the file system, and the registries, made once.
const std::string& Folder()
{
    static Silent s_silent;
    static const std::string s_folder = [] {
        char pattern[] = "/tmp/brashwick-levelfuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        const std::string folder = made != nullptr ? std::string(made) + "/" : std::string("/tmp/");
        Tarv::VfsInit();
        Tarv::VfsMountNative(folder, "", 0);
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        Pirrock::SetGameLog(&s_silent);
        Quor::Settings::GetInstance()->SetBool("dev/enable_cheats", true);
        Quor::Settings::GetInstance()->SetBool("dev/selection_indicator", true);
        return folder;
    }();
    return s_folder;
}

void WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    std::ofstream(Folder() + name, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                           static_cast<std::streamsize>(size));
}

void Exercise(Pirrock::World& world, const std::uint8_t* data, std::size_t size)
{
    Quor::ProcessManager tools("tool animator");
    const Pirrock::WorldGeometry& grid = world.GetGeometry();
    for (std::size_t i = 0; i + 3 < size && i < 64; i += 4) {
        const Pirrock::Cell cell{data[i] % (grid.width + 2) - 1, data[i + 1] % (grid.height + 2) - 1};
        world.PlaceItem(data[i + 2] % 52 - 1, cell, &tools);
        world.FindSurface(cell);
        if (data[i + 3] & 1)
            world.RemoveItemAt(cell);
        Pirrock::Pirrock& hero = *Pirrock::Pirrock::GetInstance();
        hero.lastDisplacement = Vund::Vector3D(static_cast<float>(static_cast<std::int8_t>(data[i + 3])) * 40.0f,
                                               static_cast<float>(static_cast<std::int8_t>(data[i + 2])) * 40.0f, 0.0f);
        hero.SetPosition(hero.GetPosition() + hero.lastDisplacement, false);
        bool more = true;
        for (int steps = 0; more && steps <= Pirrock::World::MAX_SUB_STEPS; ++steps)
            world.Update(more);
        world.TouchPlacedToolBehind(data[i] % 50);
        tools.Tick(0.1f);
    }
    Silent silent;
    world.ValidateLevel(8, size % 2 == 0, silent);
    world.ResetGrid(grid.height, grid.width);
    while (!tools.GetItems().empty())
        tools.RemoveItem(tools.GetItems().front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 16))
        return 0;
    const std::uint8_t* split = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t sceneSize = split != nullptr ? static_cast<std::size_t>(split - data) : size;
    WriteFile("l.xml", data, sceneSize);
    WriteFile("m.xml", data + sceneSize + (split != nullptr), size - sceneSize - (split != nullptr));

    Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
    const Tarv::SmartPtr<Pirrock::Level> level = Pirrock::Level::Load("l.xml");
    // Large grids are read, but only small ones are built, to keep each run short.
    if (level && level->GetCodeMap().width * level->GetCodeMap().height <= (1 << 14)) {
        Quor::ProcessManager animator("level animator");
        if (level->CreateWorld(&animator)) {
            Exercise(*Pirrock::World::Instance, data, size);
            animator.Tick(0.1f);
            while (!animator.GetItems().empty())
                animator.RemoveItem(animator.GetItems().front());
        }
    }
    Pirrock::World::Instance.Reset();
    Pirrock::Pirrock::SetInstance(Tarv::SmartPtr<Pirrock::Pirrock>());
    return 0;
}
