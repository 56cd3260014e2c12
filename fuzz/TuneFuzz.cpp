// Parses arbitrary text as a song (.tune) and writes the module of every song it accepts.
#include "tools/xm/XmTune.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Tarv::XmModuleDesc module;
    std::string error;
    if (Tarv::ComposeTune(std::string(reinterpret_cast<const char*>(data), size), module, error)) {
        Tarv::XmWriter writer;
        writer.Write(module);
    }
    return 0;
}
