// Tarv::RegistryXmlWriter: the registry file text for one node, byte for byte as the settings
// file is stored: tab indentation, a line feed after every line, keys before child nodes.
#pragma once

#include "engine/core/NarrowString.h"

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
    // would otherwise turn into spaces). Bytes that XML 1.0 can't hold at all (those below 0x20
    // other than tab, line feed and CR, NUL included, and bytes that are not part of a valid
    // UTF-8 character of XML's range) are each stored as BYTE_ESCAPE and two upper-case hex
    // digits; a BYTE_ESCAPE of the text itself is stored twice. So the file stays well-formed
    // and RegistryXmlReader::Decode gives back the same bytes.
    static void AppendText(NarrowString& out, const NarrowString& text);
    static void AppendAttribute(NarrowString& out, const NarrowString& value);

    // U+E000, a private-use character, in UTF-8.
    static constexpr char BYTE_ESCAPE[] = "\xEE\x80\x80";
};

} // namespace Tarv
