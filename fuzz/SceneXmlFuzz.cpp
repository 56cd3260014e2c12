// Fuzzes the scene's two file readers, the tiled-sprite file and the animation file, and then
// drives the animation that came out of it (steps, navigation, offsets, rate reload).
#include "engine/vfs/Vfs.h"
#include "framework/ProcessManager.h"
#include "scene/AnimatedSprite.h"
#include "scene/TiledSprite.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

namespace
{

// A private folder mounted at the root of the file system, made once.
const std::string& Folder()
{
    static const std::string s_folder = [] {
        char pattern[] = "/tmp/brashwick-scenefuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        const std::string folder = made != nullptr ? std::string(made) + "/" : std::string("/tmp/");
        Tarv::VfsInit();
        Tarv::VfsMountNative(folder, "", 0);
        return folder;
    }();
    return s_folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 16))
        return 0;
    std::ofstream(Folder() + "f.xml", std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                              static_cast<std::streamsize>(size));
    Vund::TiledSprite grid("f.xml", Vund::Vector3D(1, 2, 3), size % 2 ? "ck" : "", 1.5f);
    grid.SetTransformed(false);

    Tarv::SmartPtr<Vund::AnimatedSprite> sprite(new Vund::AnimatedSprite("f.xml", Vund::Vector3D(), "", 1.0f));
    Quor::ProcessManager manager("fuzz");
    manager.AddProcess(sprite.Get());
    sprite->mirrorMode = 2;
    for (int i = 0; i < 8; ++i) {
        manager.Tick(0.05f * static_cast<float>(i));
        sprite->GetOffset();
        sprite->GetSurface();
        sprite->PreviousFrame();
        sprite->NextAnimation();
        sprite->SetFps(sprite->GetAnimationName(), i - 2);
        sprite->GetFps(sprite->GetAnimationName());
    }
    sprite->PreviousAnimation();
    sprite->ReloadFps();
    sprite->Play("walk");
    manager.Tick(1.0f);
    sprite->Kill();
    manager.Tick(0.0f);
    return 0;
}
