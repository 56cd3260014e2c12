// Reads arbitrary bytes as a GUI layout with its representation files (the input split at NUL
// bytes: the layout, then "r0.xml", "r1.xml", "r2.xml"), then draws, updates, measures,
// hit-tests and dumps what was built.
#include "engine/vfs/Vfs.h"
#include "graphics/render/Surface.h"
#include "gui/Control.h"
#include "gui/Layout.h"
#include "gui/Messages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

const std::string& Folder()
{
    static const std::string folder = [] {
        char name[] = "/tmp/brashwick-guifuzz-XXXXXX";
        const char* made = mkdtemp(name);
        return std::string(made != nullptr ? made : "/tmp") + "/";
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = [] {
        Tarv::VfsInit();
        Tarv::VfsMountNative(Folder(), "", 0);
        Plim::SetMessageHook([](const Tarv::NarrowString&) {});
        return true;
    }();
    (void)ready;
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() < 4)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    parts.resize(4);
    for (int i = 0; i < 3; ++i)
        WriteFile(Folder() + "r" + std::to_string(i) + ".xml", parts[i + 1]);

    Plim::Layout layout;
    layout.Load(Tarv::Xml::CreateFromString(parts[0]));
    Tarv::Surface nowhere(nullptr);
    layout.Draw(nowhere);
    layout.FindTouchableControl(10, 10);
    std::size_t dumped = 0;
    layout.Dump([&dumped](const Tarv::NarrowString& line) { dumped += line.size(); });
    for (const auto& layer : layout.GetLayers())
        layer->VisitDrawn([](Plim::Control& control) {
            control.Update(0.016f);
            control.GetScreenRect();
            control.IsVisibleInTree();
            for (const auto& representation : control.GetRepresentations())
                control.SelectRepresentation(representation.first);
        });
    return 0;
}
