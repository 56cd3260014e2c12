// tarvxm: writes modules.
//   tarvxm <folder> [name...]          the generated test set (or the named modules) as <name>.xm
//   tarvxm compose <in.tune> <out.xm>  a song written as text (tools/xm/XmTune.h)
//   tarvxm render <in.tune> <in.xm> <out.wav>
//                                      exactly one pass of the song's order list, played by the
//                                      game's own module player: 16-bit mono 22050 Hz
#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"
#include "tools/HelpOption.h"
#include "tools/xm/XmFixtures.h"
#include "tools/xm/XmTune.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{

bool ReadFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    out = text.str();
    return static_cast<bool>(in);
}

bool WriteFile(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int Compose(const std::string& in, const std::string& out)
{
    std::string text, error;
    Tarv::XmModuleDesc module;
    if (!ReadFile(in, text) || !Tarv::ComposeTune(text, module, error)) {
        std::fprintf(stderr, "tarvxm: %s: %s\n", in.c_str(), error.empty() ? "cannot read" : error.c_str());
        return 1;
    }
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> bytes = writer.Write(module);
    if (!WriteFile(out, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "tarvxm: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

// One loop of a song at one tempo: its rows times the ticks of a row times the samples of a tick.
long LoopSamples(const Tarv::XmModuleDesc& module)
{
    long rows = 0;
    for (std::uint8_t order : module.orders)
        rows += order < module.patterns.size() ? module.patterns[order].rows : 0;
    return rows * module.defaultTempo * Tarv::ModulePlayer::ModulePlayer::ComputeSamplesPerTick(module.defaultBpm);
}

int Render(const std::string& tune, const std::string& in, const std::string& out)
{
    std::string text, error, xm;
    Tarv::XmModuleDesc module;
    Tarv::ModulePlayer::CModuleSong song;
    if (!ReadFile(tune, text) || !Tarv::ComposeTune(text, module, error) || !ReadFile(in, xm)
        || !song.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(xm.data()), xm.size())) {
        std::fprintf(stderr, "tarvxm: cannot load %s with %s\n", in.c_str(), tune.c_str());
        return 1;
    }
    // The first pass starts from silence; the second already holds the notes that ring over
    // the loop point, so it is the one kept and its end joins its start sample for sample.
    const long loop = LoopSamples(module);
    Tarv::ModulePlayer::ModulePlayer player;
    player.SetSong(&song);
    player.SetPlayRange(-1, -1);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(loop));
    if (loop <= 0 || !player.Render(samples.data(), static_cast<int>(loop))
        || !player.Render(samples.data(), static_cast<int>(loop))) {
        std::fprintf(stderr, "tarvxm: %s does not play\n", in.c_str());
        return 1;
    }
    std::vector<std::uint8_t> wav;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    PutLe(wav, 36 + dataBytes, 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 1, 2);
    PutLe(wav, Tarv::ModulePlayer::ModulePlayer::RATE, 4);
    PutLe(wav, Tarv::ModulePlayer::ModulePlayer::RATE * 2, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    PutLe(wav, dataBytes, 4);
    for (std::int16_t sample : samples)
        PutLe(wav, static_cast<std::uint16_t>(sample), 2);
    if (!WriteFile(out, wav.data(), wav.size())) {
        std::fprintf(stderr, "tarvxm: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int WriteSet(int argc, char** argv)
{
    std::vector<std::string> names(argv + 2, argv + argc);
    if (names.empty())
        names = Tarv::GetXmFixtureNames();
    Tarv::XmWriter writer;
    for (const std::string& name : names) {
        Tarv::XmModuleDesc module;
        if (!Tarv::MakeXmFixture(name, module)) {
            std::fprintf(stderr, "tarvxm: no module named %s\n", name.c_str());
            return 1;
        }
        const std::vector<std::uint8_t> bytes = writer.Write(module);
        const std::string path = std::string(argv[1]) + "/" + name + ".xm";
        if (!WriteFile(path, bytes.data(), bytes.size())) {
            std::fprintf(stderr, "tarvxm: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

constexpr const char* USAGE = "usage: tarvxm <folder> [name...] | compose <in.tune> <out.xm> | "
                              "render <in.tune> <in.xm> <out.wav>\n";

} // namespace

int main(int argc, char** argv)
{
    if (Tarv::AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "compose" && argc == 4)
        return Compose(argv[2], argv[3]);
    if (command == "render" && argc == 5)
        return Render(argv[2], argv[3], argv[4]);
    if (argc < 2 || command == "compose" || command == "render") {
        std::fputs(USAGE, stderr);
        return 2;
    }
    return WriteSet(argc, argv);
}
