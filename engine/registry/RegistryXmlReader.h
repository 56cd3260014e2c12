// Tarv::RegistryXmlReader: merges the "node" and "key" elements of a registry file into a
// registry node. The registry calls it under its lock and runs callbacks afterwards.
#pragma once

#include "engine/core/NarrowString.h"

#include <vector>

namespace Tarv
{

class RegistryKey;
class RegistryNode;
class XmlIterator;

class RegistryXmlReader
{
public:
    // A key the file named: its full path, the key, and whether its text failed to read as
    // its declared type (or the type is unknown), so that its value is not the file's.
    struct Change
    {
        NarrowString path;
        RegistryKey* key;
        bool unreadable = false;
    };

    // Reads element (a "node" element) into node, whose full path is path: keys first, then
    // child nodes, each in document order. Keys present overwrite and retype, absent ones stay.
    // Elements without a name and keys without a type are skipped; a key of an unknown type is
    // created unset; a text that doesn't read as its type still runs the key's setter, with the
    // key's own value when it has one of that type, else false or 0. Nodes and keys are created
    // below "/machine" too (its protected keys refuse by themselves); nothing deeper than the
    // registry's depth limit is created.
    // Names and string values are taken as the XML layer gives them. Every key the file
    // reached is appended to changes.
    static void Read(const XmlIterator& element, RegistryNode& node, const NarrowString& path,
                     std::vector<Change>& changes);
};

} // namespace Tarv
