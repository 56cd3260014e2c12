// Writing registry nodes as registry file text.
#include "engine/registry/RegistryXmlWriter.h"

#include "engine/core/Any.h"
#include "engine/core/Utf8.h"
#include "engine/registry/RegistryKey.h"
#include "engine/registry/RegistryNode.h"

#include <set>

namespace Tarv
{

namespace
{

// What stands in the file for anything XML 1.0 can't carry: U+FFFD, the replacement character.
constexpr const char* REPLACEMENT = "\xEF\xBF\xBD";

// Escapes one ASCII byte, or returns false when it may stand as it is. Tab, line feed and
// carriage return are the only control characters XML allows: as character references where
// a parser would change them (CR everywhere, tab and LF in attributes). The other control
// characters, NUL among them, can't be written at all and become the replacement character.
bool AppendEscaped(NarrowString& out, char c, bool attribute)
{
    switch (c) {
    case '&':
        out += "&amp;";
        return true;
    case '<':
        out += "&lt;";
        return true;
    case '>':
        out += "&gt;";
        return true;
    case '"':
        if (!attribute)
            return false;
        out += "&quot;";
        return true;
    case '\r':
        out += "&#13;";
        return true;
    case '\t':
    case '\n':
        if (!attribute)
            return false;
        out += c == '\t' ? "&#9;" : "&#10;";
        return true;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) >= 0x20)
        return false;
    out += REPLACEMENT;
    return true;
}

// The text as valid UTF-8 XML: each byte that doesn't start a valid UTF-8 sequence, and each
// U+FFFE or U+FFFF, becomes the replacement character, so a value read back differs from the
// one saved only there.
void AppendEscapedText(NarrowString& out, const NarrowString& text, bool attribute)
{
    std::size_t at = 0;
    while (at < text.size()) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8Char(text.data() + at, text.size() - at, codePoint);
        if (length == 0 || codePoint == 0xFFFE || codePoint == 0xFFFF) {
            out += REPLACEMENT;
            at += length == 0 ? 1 : length;
        } else if (length == 1) {
            if (!AppendEscaped(out, text[at], attribute))
                out += text[at];
            ++at;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
}

// name is already escaped.
void AppendKey(NarrowString& out, const NarrowString& name, const RegistryKey& key, int depth)
{
    const Any value = key.GetValue();
    NarrowString type;
    NarrowString text;
    if (const bool* b = value.Get<bool>()) {
        type = "bool";
        text = *b ? "true" : "false";
    } else if (const int* i = value.Get<int>()) {
        type = "int";
        text.AppendInt(*i);
    } else if (const NarrowString* s = value.Get<NarrowString>()) {
        type = "string";
        text = *s;
    } else {
        // An unset key has nothing to write; leaving it out keeps the file loadable.
        return;
    }
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "<key name=\"" + name + "\" type=\"" + type + "\">";
    RegistryXmlWriter::AppendText(out, text);
    out += "</key>\n";
}

// The escaped name; false when an earlier sibling of the same kind was written under the same
// name: names that differ only in what was replaced would otherwise load back as one.
bool UniqueName(const NarrowString& name, std::set<NarrowString>& written, NarrowString& escaped)
{
    RegistryXmlWriter::AppendAttribute(escaped, name);
    return written.insert(escaped).second;
}

// Recursion is bounded by the registry's depth limit on node creation. name is escaped.
void AppendNode(NarrowString& out, const NarrowString& name, const RegistryNode& node, int depth)
{
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "<node name=\"" + name + "\">\n";
    std::set<NarrowString> written;
    for (const auto& key : node.GetKeys()) {
        NarrowString keyName;
        if (UniqueName(key.first, written, keyName))
            AppendKey(out, keyName, *key.second, depth + 1);
    }
    written.clear();
    for (const auto& child : node.GetChildren()) {
        NarrowString childName;
        if (UniqueName(child.first, written, childName))
            AppendNode(out, childName, *child.second, depth + 1);
    }
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "</node>\n";
}

} // namespace

void RegistryXmlWriter::AppendText(NarrowString& out, const NarrowString& text)
{
    AppendEscapedText(out, text, false);
}

void RegistryXmlWriter::AppendAttribute(NarrowString& out, const NarrowString& value)
{
    AppendEscapedText(out, value, true);
}

NarrowString RegistryXmlWriter::Write(const RegistryNode& node, const NarrowString& name)
{
    NarrowString out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<registry>\n";
    NarrowString escaped;
    AppendAttribute(escaped, name);
    AppendNode(out, escaped, node, 1);
    out += "</registry>\n";
    return out;
}

} // namespace Tarv
