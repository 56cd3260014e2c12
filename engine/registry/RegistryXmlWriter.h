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
    // was found at), "</registry>". Unset keys are left out. Names and string values are
    // written as they are, but for the XML escapes below, so every file written loads back to
    // the same values through RegistryXmlReader (the registry holds no NUL byte, which no XML
    // reader can carry).
    static NarrowString Write(const RegistryNode& node, const NarrowString& name);

    // XML escapes for element text ("&", "<", ">", CR and DEL as character references) and
    // attribute values (those and the double quote, tab and line feed, which attribute reading
    // would otherwise turn into spaces). Every other byte stands as it is.
    static void AppendText(NarrowString& out, const NarrowString& text);
    static void AppendAttribute(NarrowString& out, const NarrowString& value);
};

} // namespace Tarv
