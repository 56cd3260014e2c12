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

    // XML escapes for element text ("&", "<", ">", CR and other control bytes) and attribute
    // values (those and the double quote, tab and line feed, which attribute reading would
    // otherwise turn into spaces).
    static void AppendText(NarrowString& out, const NarrowString& text);
    static void AppendAttribute(NarrowString& out, const NarrowString& value);
};

} // namespace Tarv
