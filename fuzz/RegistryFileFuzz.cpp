// Loads arbitrary bytes as a registry file, then checks that whatever was read saves to a file
// that loads back to the same text.
#include "engine/core/NarrowString.h"
#include "engine/registry/Registry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Tarv::NarrowString text(reinterpret_cast<const char*>(data), size);
    Tarv::Registry registry;
    registry.SetInt("/quor/existing", 1);
    if (!registry.LoadString(text, true, "") && !registry.LoadString(text, false, "/quor"))
        return 0;

    const Tarv::NarrowString saved = registry.ToXml("/");
    Tarv::Registry reloaded;
    if (!reloaded.LoadString(saved, false, "/"))
        std::abort();
    if (reloaded.ToXml("/") != saved)
        std::abort();
    return 0;
}
