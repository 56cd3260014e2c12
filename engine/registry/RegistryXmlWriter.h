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
    // escaped so that every file written is valid UTF-8 XML 1.0 and loads back to the same
    // values, except for what XML can't carry at all (invalid UTF-8, control characters other
    // than tab, LF and CR, U+FFFE, U+FFFF), which is written as U+FFFD.
    static NarrowString Write(const RegistryNode& node, const NarrowString& name);

    // XML escapes for element text ("&", "<", ">", CR) and attribute values (those and the
    // double quote, tab and line feed, which attribute reading would otherwise turn into
    // spaces), with the replacements Write states.
    static void AppendText(NarrowString& out, const NarrowString& text);
    static void AppendAttribute(NarrowString& out, const NarrowString& value);
};

} // namespace Tarv
