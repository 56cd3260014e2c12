// Reading registry files into the node tree.
#include "engine/registry/RegistryXmlReader.h"

#include "engine/core/XmlIterator.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"
#include "engine/registry/RegistryXmlWriter.h"

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

// Sets key from the element's text by the declared type; a text that doesn't read as that
// type, or an unknown type, sets nothing.
void SetFromText(const XmlIterator& element, const char* type, RegistryKey& key)
{
    if (std::strcmp(type, "bool") == 0) {
        bool value = false;
        if (element.GetTextBool(value))
            key.SetBool(value);
    } else if (std::strcmp(type, "int") == 0) {
        int value = 0;
        if (element.GetTextInt(value))
            key.SetInt(value);
    } else if (std::strcmp(type, "string") == 0) {
        if (const char* text = element.GetText())
            key.SetString(RegistryXmlReader::Decode(text));
    }
}

// Whether the element's text reads as the declared type (any text is a string).
bool ReadsAs(const XmlIterator& element, const char* type)
{
    bool flag = false;
    int number = 0;
    if (std::strcmp(type, "bool") == 0)
        return element.GetTextBool(flag);
    if (std::strcmp(type, "int") == 0)
        return element.GetTextInt(number);
    return std::strcmp(type, "string") == 0;
}

void ReadKeys(const XmlIterator& element, RegistryNode& node, const NarrowString& path, bool readOnly,
              std::vector<RegistryXmlReader::Change>& changes)
{
    for (XmlIterator key(element, "key"); key.IsValid(); key.Next()) {
        const char* stored = key.GetAttribute("name");
        const char* type = key.GetAttribute("type");
        if (stored == nullptr || type == nullptr)
            continue;
        const NarrowString name = RegistryXmlReader::Decode(stored);
        RegistryKey* target = node.FindKey(name);
        if (target == nullptr && !readOnly)
            target = node.CreateKey(name);
        if (target == nullptr)
            continue;
        // Protected keys refuse by themselves; plain keys under "/machine" stay as they are too.
        if (!readOnly)
            SetFromText(key, type, *target);
        const bool unreadable = !readOnly && !ReadsAs(key, type);
        changes.push_back(RegistryXmlReader::Change{KeyPath(path, name), target, unreadable});
    }
}

// Whether a node lies under "/machine" is carried down the walk rather than read off the path
// text: nodes with empty names make paths that look like the root's ("/" + "" is "/").
void ReadInto(const XmlIterator& element, RegistryNode& node, const NarrowString& path, int depth,
              bool machine, std::vector<RegistryXmlReader::Change>& changes)
{
    ReadKeys(element, node, path, machine, changes);
    for (XmlIterator child(element, "node"); child.IsValid(); child.Next()) {
        const char* stored = child.GetAttribute("name");
        if (stored == nullptr)
            continue;
        const NarrowString name = RegistryXmlReader::Decode(stored);
        const NarrowString childPath = ChildPath(path, name);
        const bool childMachine = machine || (depth == 0 && name == "machine");
        const bool create = !childMachine && depth < Registry::MAX_DEPTH;
        RegistryNode* childNode = node.FindChild(name, create);
        // The depth limit also bounds this recursion for nodes that already exist.
        if (childNode != nullptr && depth < Registry::MAX_DEPTH)
            ReadInto(child, *childNode, childPath, depth + 1, childMachine, changes);
    }
}

// An upper-case hex digit, as the writer makes them.
bool HexValue(char c, int& value)
{
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else
        return false;
    return true;
}

} // namespace

NarrowString RegistryXmlReader::Decode(const char* stored)
{
    const NarrowString text = stored != nullptr ? stored : "";
    const NarrowString escape = RegistryXmlWriter::BYTE_ESCAPE;
    NarrowString out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(escape); at != NarrowString::npos; at = text.find(escape, from)) {
        out.append(text, from, at - from);
        from = at + escape.size();
        int high = 0;
        int low = 0;
        if (text.compare(from, escape.size(), escape) == 0) {
            out += escape;
            from += escape.size();
        } else if (from + 1 < text.size() && HexValue(text[from], high) && HexValue(text[from + 1], low)) {
            out += static_cast<char>(high * 16 + low);
            from += 2;
        } else {
            out += escape;
        }
    }
    out.append(text, from, NarrowString::npos);
    return out;
}

void RegistryXmlReader::Read(const XmlIterator& element, RegistryNode& node, const NarrowString& path,
                             std::vector<Change>& changes)
{
    ReadInto(element, node, path, DepthOf(path), Registry::IsMachinePath(path), changes);
}

} // namespace Tarv
