// Loads arbitrary bytes as a registry file, then checks that whatever was read saves to a file
// that is well-formed XML 1.0 and loads back to the same text.
#include "engine/core/NarrowString.h"
#include "engine/registry/Registry.h"

#include <expat.h>

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
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool wellFormed = XML_Parse(parser, saved.data(), static_cast<int>(saved.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    if (!wellFormed)
        std::abort();
    Tarv::Registry reloaded;
    if (!reloaded.LoadString(saved, false, "/"))
        std::abort();
    if (reloaded.ToXml("/") != saved)
        std::abort();
    return 0;
}
