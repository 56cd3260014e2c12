// Reading registry files into the node tree.
#include "engine/registry/RegistryXmlReader.h"

#include "engine/core/XmlIterator.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"

#include <cstring>

namespace Tarv
{

namespace
{

// Components of an absolute node path ("/" has none; "/a//b" has three).
int DepthOf(const NarrowString& path)
{
    if (path == "/")
        return 0;
    int depth = 0;
    for (char c : path)
        depth += c == '/' ? 1 : 0;
    return depth;
}

NarrowString KeyPath(const NarrowString& nodePath, const NarrowString& name)
{
    // The root's keys are "//name", as paths split at their last slash.
    return nodePath + "/" + name;
}

NarrowString ChildPath(const NarrowString& nodePath, const NarrowString& name)
{
    return nodePath == "/" ? NarrowString("/") + name : nodePath + "/" + name;
}

// Sets key from the element's text by the declared type. A text that doesn't read as that type
// still sets the key, to the value it already holds when that is of the type (a damaged entry
// merged over a good value changes nothing), else to false or 0; the caller learns of it and
// decides what value the key should have. An unknown type sets nothing. False when the text did
// not read as the declared type.
bool SetFromText(const XmlIterator& element, const char* type, RegistryKey& key)
{
    if (std::strcmp(type, "bool") == 0) {
        bool value = false;
        const bool read = element.GetTextBool(value);
        if (!read && !key.GetValue().Read(value))
            value = false;
        key.SetBool(value);
        return read;
    }
    if (std::strcmp(type, "int") == 0) {
        int value = 0;
        const bool read = element.GetTextInt(value);
        if (!read && !key.GetValue().Read(value))
            value = 0;
        key.SetInt(value);
        return read;
    }
    if (std::strcmp(type, "string") == 0) {
        const char* text = element.GetText();
        key.SetString(text != nullptr ? text : "");
        return true;
    }
    return false;
}

void ReadKeys(const XmlIterator& element, RegistryNode& node, const NarrowString& path,
              std::vector<RegistryXmlReader::Change>& changes)
{
    for (XmlIterator key(element, "key"); key.IsValid(); key.Next()) {
        const char* stored = key.GetAttribute("name");
        const char* type = key.GetAttribute("type");
        if (stored == nullptr || type == nullptr)
            continue;
        const NarrowString name = stored;
        RegistryKey* target = node.FindKey(name);
        if (target == nullptr)
            target = node.CreateKey(name);
        // Protected keys (the machine keys) refuse by themselves.
        const bool unreadable = !SetFromText(key, type, *target);
        changes.push_back(RegistryXmlReader::Change{KeyPath(path, name), target, unreadable});
    }
}

void ReadInto(const XmlIterator& element, RegistryNode& node, const NarrowString& path, int depth,
              std::vector<RegistryXmlReader::Change>& changes)
{
    ReadKeys(element, node, path, changes);
    for (XmlIterator child(element, "node"); child.IsValid(); child.Next()) {
        const char* stored = child.GetAttribute("name");
        if (stored == nullptr)
            continue;
        const NarrowString name = stored;
        RegistryNode* childNode = node.FindChild(name, depth < Registry::MAX_DEPTH);
        // The depth limit also bounds this recursion for nodes that already exist.
        if (childNode != nullptr && depth < Registry::MAX_DEPTH)
            ReadInto(child, *childNode, ChildPath(path, name), depth + 1, changes);
    }
}

} // namespace

void RegistryXmlReader::Read(const XmlIterator& element, RegistryNode& node, const NarrowString& path,
                             std::vector<Change>& changes)
{
    ReadInto(element, node, path, DepthOf(path), changes);
}

} // namespace Tarv
