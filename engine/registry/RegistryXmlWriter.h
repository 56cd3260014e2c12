// Tarv::RegistryXmlWriter: the registry file text for one node, byte for byte as the settings
// file is stored: tab indentation, a line feed after every line, keys before child nodes.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstddef>

namespace Tarv
{

class RegistryNode;

class RegistryXmlWriter
{
public:
    // The whole file: declaration, "<registry>", node under the name given (the base path it
    // was found at), "</registry>". Unset keys are left out; names and string values are
    // escaped so that every file written loads back to the same values.
    static NarrowString Write(const RegistryNode& node, const NarrowString& name);

    // XML escapes for element text ("&", "<", ">", CR and DEL as character references) and
    // attribute values (those and the double quote, tab and line feed, which attribute reading
    // would otherwise turn into spaces). The other bytes below 0x20, NUL included, have no
    // form in XML 1.0: each is stored as CONTROL_ESCAPE followed by the byte plus 0x40 ("@" to
    // "_"), and a CONTROL_ESCAPE of the text itself is stored twice, so the file stays
    // well-formed and RegistryXmlReader::Decode gives back the same bytes.
    static void AppendText(NarrowString& out, const NarrowString& text);
    static void AppendAttribute(NarrowString& out, const NarrowString& value);

    // U+E000, a private-use character, in UTF-8.
    static constexpr char CONTROL_ESCAPE[] = "\xEE\x80\x80";
    static constexpr std::size_t CONTROL_ESCAPE_SIZE = sizeof CONTROL_ESCAPE - 1;
};

} // namespace Tarv
